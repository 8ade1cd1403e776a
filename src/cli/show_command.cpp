// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/show_command.h"

#include "cli/board_grid.h"
#include "files/io_error.h"
#include "savegame/saved_game.h"

namespace zelbo {

int RunShow(const std::filesystem::path& file, std::ostream& out, std::ostream& errors) {
  try {
    out << BoardGrid(ReadSavedGame(file));
    return 0;
  } catch (const IoError& error) {
    errors << error.text() << '\n';
    return 1;
  }
}

}  // namespace zelbo
