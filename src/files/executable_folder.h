// SPDX-License-Identifier: GPL-3.0-or-later
// Where the files beside the program are looked up: the folder of the running executable, never
// the current folder.
#pragma once

#include <filesystem>

namespace zelbo {

// The folder that holds the running executable, read from /proc/self/exe; the current folder when
// the system does not tell (no /proc mounted), and "." when even that is unknown.
std::filesystem::path ExecutableFolder();

}  // namespace zelbo
