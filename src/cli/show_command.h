// SPDX-License-Identifier: GPL-3.0-or-later
// `zelbo-cli show FILE.KRP`: a saved position as a grid.
#pragma once

#include <filesystem>
#include <ostream>

namespace zelbo {

// Prints the grid and returns 0, or prints the run-time's text of the failure on `errors` and
// returns 1.
int RunShow(const std::filesystem::path& file, std::ostream& out, std::ostream& errors);

}  // namespace zelbo
