// SPDX-License-Identifier: GPL-3.0-or-later
// `zelbo-cli experience FILE.exp`: the records of an experience store, each with its index, its
// move and its pattern as a grid; the trailing bytes of a partial record are counted, not listed.
#pragma once

#include <filesystem>
#include <ostream>

namespace zelbo {

// Prints the listing and returns 0, or prints the run-time's text of the failure on `errors` and
// returns 1.
int RunExperienceListing(const std::filesystem::path& file, std::ostream& out,
                         std::ostream& errors);

}  // namespace zelbo
