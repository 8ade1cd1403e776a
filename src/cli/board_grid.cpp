// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/board_grid.h"

#include "game/notation.h"

namespace zelbo {

std::string BoardGrid(const Board& board) {
  std::string grid = "  A B C D E F G H\n";
  for (int row = 1; row <= 8; ++row) {
    grid += static_cast<char>('0' + row);
    for (int column = 1; column <= 8; ++column) {
      grid += ' ';
      grid += CodeCharacter(board.Code(column, row));
    }
    grid += '\n';
  }
  return grid;
}

}  // namespace zelbo
