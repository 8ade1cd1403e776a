// SPDX-License-Identifier: GPL-3.0-or-later
// `zelbo-cli tables build [DIR]` builds the endgame tables into DIR/endgame.tables (by default
// where the game reads them: beside a portable program, in the user's data folder for an installed
// one), with a progress line on the error stream. `zelbo-cli tables [FILE]` tells what a tables
// file holds (by default the one the game reads): each material's positions, wins, draws and
// losses, and the longest win and loss.
#pragma once

#include <filesystem>
#include <optional>
#include <ostream>

#include "engine/tables/table_build.h"

namespace zelbo {

// Builds the tables of `scope` into `folder`; 0, or 1 with the failure on `errors`.
int RunTablesBuild(const std::filesystem::path& folder, const engine::TableScope& scope,
                   std::ostream& out, std::ostream& errors);

// Lists a tables file; 0, or 1 when it cannot be read or is refused.
int RunTablesListing(const std::filesystem::path& file, std::ostream& out, std::ostream& errors);

}  // namespace zelbo
