// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/perft_command.h"

#include "engine/perft.h"
#include "files/io_error.h"
#include "savegame/saved_game.h"

namespace zelbo {

int RunPerft(const PerftOptions& options, std::ostream& out, std::ostream& errors) {
  Board board{};
  try {
    if (options.position) {
      board = ReadSavedGame(*options.position);
    } else {
      SetupInitialPosition(board);
    }
  } catch (const IoError& error) {
    errors << error.text() << '\n';
    return 1;
  }
  const engine::Position position = engine::PositionOf(board, options.side);
  for (int depth = 1; depth <= options.depth; ++depth) {
    out << "perft " << depth << ' ' << engine::Perft(position, depth) << '\n' << std::flush;
  }
  return 0;
}

}  // namespace zelbo
