// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/executable_folder.h"

#include <system_error>

namespace zelbo {

std::filesystem::path ExecutableFolder() {
  std::error_code error;
  const auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
  if (!error && executable.has_parent_path()) return executable.parent_path();
  auto current = std::filesystem::current_path(error);
  if (!error) return current;
  return ".";
}

}  // namespace zelbo
