// SPDX-License-Identifier: GPL-3.0-or-later
// `zelbo-cli perft DEPTH [--position FILE.KRP] [--side -1|1]`: the move generator's count of
// positions one to DEPTH moves deep, one line "perft D N" a depth.
#pragma once

#include <filesystem>
#include <optional>
#include <ostream>

namespace zelbo {

struct PerftOptions {
  int depth = 1;
  std::optional<std::filesystem::path> position;  // a saved game; the opening without it
  int side = -1;                                  // the side to move first
};

// Prints the counts and returns 0, or prints the run-time's text of a failed read on `errors`
// and returns 1.
int RunPerft(const PerftOptions& options, std::ostream& out, std::ostream& errors);

}  // namespace zelbo
