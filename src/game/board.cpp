// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/board.h"

#include <cstdlib>

namespace zelbo {

DiagonalStep DirectionBetween(SquareRef from, SquareRef to) {
  const int dc = Column(from) - Column(to);
  const int dr = Row(from) - Row(to);
  if (std::abs(dc) != std::abs(dr) || dc == 0) return {kNoDirection, 0};
  const auto distance = static_cast<uint8_t>(std::abs(dc));
  if (dr < 0) return {static_cast<Direction>(dc < 0 ? 1 : 2), distance};
  return {static_cast<Direction>(dc < 0 ? 3 : 4), distance};
}

void Promote(Board& board, SquareRef s) {
  const CellCode code = ReadCell(board, s);
  if (code == kPlayerMan && Row(s) == 1) WriteCell(board, s, kPlayerKing);
  if (code == kComputerMan && Row(s) == 8) WriteCell(board, s, kComputerKing);
}

void SetupInitialPosition(Board& board) {
  for (int row = 1; row <= 8; ++row) {
    for (int column = 1; column <= 8; ++column) {
      const bool playable = (column + row) % 2 == 0;
      CellCode code = playable ? kEmpty : kUnusable;
      if (playable && row <= 3) code = kComputerMan;
      if (playable && row >= 6) code = kPlayerMan;
      board.SetCode(column, row, code);
    }
  }
}

}  // namespace zelbo
