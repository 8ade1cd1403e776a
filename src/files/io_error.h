// SPDX-License-Identifier: GPL-3.0-or-later
// The run-time's input/output errors: every failed file operation becomes one IoError carrying the
// French text that the windows show in a message box and zelbo-cli prints. The failures the
// run-time has words for keep them, as they are ("Fichier introuvable"); any other says in plain
// words what is wrong and names the file it concerns.
#pragma once

#include <cstddef>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

namespace zelbo {

inline constexpr std::string_view kFileNotFoundText = "Fichier introuvable";
inline constexpr std::string_view kAccessDeniedText = "Accès au fichier refusé";
inline constexpr std::string_view kReadPastEndText = "Lecture au-delà de la fin de fichier";
inline constexpr std::string_view kDiskFullText = "Disque plein";

class IoError : public std::runtime_error {
 public:
  // A failure in the run-time's own words, which name no file.
  explicit IoError(const std::string& text) : IoError(text, text) {}
  // What is wrong, and the file it concerns.
  IoError(const std::string& reason, const std::filesystem::path& file)
      : IoError(reason, reason + " : \"" + file.string() + "\"") {}

  // The text as the user sees it.
  const std::string& text() const { return text_; }
  // The text without the file's name, for a message that names the file itself.
  const std::string& reason() const { return reason_; }

 private:
  IoError(const std::string& reason, const std::string& text)
      : std::runtime_error(text), reason_(reason), text_(text) {}

  std::string reason_;
  std::string text_;
};

// The run-time's text of a system error number: a missing file or folder, refused access (a
// folder where a file is expected counts as refused), a full disk, and "Erreur E/S N" for anything
// else.
std::string IoErrorText(int error_number);

// The error of a system error number, as a failed open, read, write or close of `file` reports it:
// the run-time's text where it has one, else what is wrong ("Boucle de liens symboliques") with
// the file's name.
IoError SystemIoError(int error_number, const std::filesystem::path& file);

// A file shorter than the record being read.
IoError ReadPastEndError();

// A file larger than the `max_bytes` that the program reads of it.
IoError TooLargeError(std::size_t max_bytes, const std::filesystem::path& file);

// A saved game that changed on the disk since this run opened or saved it, and was therefore not
// replaced; `file` as the user named it.
IoError ChangedOnDiskError(const std::filesystem::path& file);

// The folder of a file to save stayed locked by another program (another copy of this one, stopped
// in the middle of a save) for longer than a save waits: nothing was written.
IoError FolderBusyError(const std::filesystem::path& folder);

}  // namespace zelbo
