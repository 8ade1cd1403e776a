// SPDX-License-Identifier: GPL-3.0-or-later
// The run-time's input/output errors: every failed file operation becomes one IoError carrying the
// French text that the windows show in a message box and zelbo-cli prints.
#pragma once

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
  explicit IoError(const std::string& text) : std::runtime_error(text), text_(text) {}

  // The text as the user sees it.
  const std::string& text() const { return text_; }

 private:
  std::string text_;
};

// The text of a system error number: a missing file or folder, refused access (a folder where a
// file is expected counts as refused), a full disk, and "Erreur E/S N" for anything else.
std::string IoErrorText(int error_number);

// The error of a system error number, as a failed open, read, write or close reports it.
IoError SystemIoError(int error_number);

// A file shorter than the record being read.
IoError ReadPastEndError();

}  // namespace zelbo
