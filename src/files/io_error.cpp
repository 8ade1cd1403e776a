// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/io_error.h"

#include <cerrno>
#include <optional>

namespace zelbo {
namespace {

// The words of the run-time for the failures a user can mend, none for the others.
std::optional<std::string_view> RunTimeText(int error_number) {
  switch (error_number) {
    case ENOENT:
    case ENOTDIR:
      return kFileNotFoundText;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
      return kAccessDeniedText;
    case ENOSPC:
    case EDQUOT:
      return kDiskFullText;
    default:
      return std::nullopt;
  }
}

// What is wrong, in plain words, for the failures the run-time only numbers.
std::string Reason(int error_number) {
  switch (error_number) {
    case ELOOP:
      return "Boucle de liens symboliques";
    case ENAMETOOLONG:
      return "Nom de fichier trop long";
    case EFBIG:
      return "Taille de fichier permise dépassée";
    case EIO:
      return "Erreur de lecture ou d'écriture du disque";
    case EMFILE:
    case ENFILE:
      return "Trop de fichiers ouverts";
    case EBUSY:
    case ETXTBSY:
      return "Fichier occupé";
    case EEXIST:
      return "Un autre fichier porte ce nom";
    default:
      return "Erreur E/S " + std::to_string(error_number);
  }
}

// "64 Mio" for a whole number of mebibytes, else the bytes.
std::string SizeText(std::size_t bytes) {
  constexpr std::size_t kMebibyte = std::size_t{1} << 20;
  if (bytes >= kMebibyte && bytes % kMebibyte == 0) return std::to_string(bytes >> 20) + " Mio";
  return std::to_string(bytes) + " octets";
}

}  // namespace

std::string IoErrorText(int error_number) {
  const auto text = RunTimeText(error_number);
  return text ? std::string(*text) : "Erreur E/S " + std::to_string(error_number);
}

IoError SystemIoError(int error_number, const std::filesystem::path& file) {
  if (const auto text = RunTimeText(error_number)) return IoError(std::string(*text));
  return IoError(Reason(error_number), file);
}

IoError ReadPastEndError() { return IoError(std::string(kReadPastEndText)); }

IoError TooLargeError(std::size_t max_bytes, const std::filesystem::path& file) {
  return IoError("Fichier trop grand (plus de " + SizeText(max_bytes) + ")", file);
}

IoError ChangedOnDiskError(const std::filesystem::path& file) {
  return IoError("Le fichier \"" + file.string() +
                 "\" a été modifié depuis son ouverture ou son dernier enregistrement : il n'a pas "
                 "été remplacé. Enregistrez de nouveau pour le remplacer.");
}

IoError FolderBusyError(const std::filesystem::path& folder) {
  return IoError("Le dossier \"" + folder.string() +
                 "\" est occupé par un autre programme : rien n'a été enregistré. Réessayez dans "
                 "un moment.");
}

}  // namespace zelbo
