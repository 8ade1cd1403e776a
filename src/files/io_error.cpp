// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/io_error.h"

#include <cerrno>

namespace zelbo {

std::string IoErrorText(int error_number) {
  switch (error_number) {
    case ENOENT:
    case ENOTDIR:
      return std::string(kFileNotFoundText);
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
      return std::string(kAccessDeniedText);
    case ENOSPC:
    case EDQUOT:
      return std::string(kDiskFullText);
    default:
      return "Erreur E/S " + std::to_string(error_number);
  }
}

IoError SystemIoError(int error_number) { return IoError(IoErrorText(error_number)); }

IoError ReadPastEndError() { return IoError(std::string(kReadPastEndText)); }

}  // namespace zelbo
