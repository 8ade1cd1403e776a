// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/position.h"

namespace zelbo::engine {

Position PositionOf(const Board& board, int side) {
  Position position;
  position.side = static_cast<int8_t>(side < 0 ? -1 : 1);
  for (int row = 1; row <= 8; ++row) {
    for (int column = 2 - row % 2; column <= 8; column += 2) {
      const Bitboard bit = Bit(SquareOf(column, row));
      switch (board.Code(column, row)) {
        case kEmpty:
          break;
        case kPlayerKing:
          position.kings |= bit;
          [[fallthrough]];
        case kPlayerMan:
          position.pieces[0] |= bit;
          break;
        case kComputerKing:
          position.kings |= bit;
          [[fallthrough]];
        case kComputerMan:
          position.pieces[1] |= bit;
          break;
        default:
          position.walls |= bit;
      }
    }
  }
  position.key = ComputeKey(position);
  return position;
}

Board BoardOfPosition(const Position& position, Board board) {
  for (int row = 1; row <= 8; ++row) {
    for (int column = 2 - row % 2; column <= 8; column += 2) {
      const int square = SquareOf(column, row);
      if ((position.walls >> square) & 1) continue;
      const bool king = (position.kings >> square) & 1;
      CellCode code = kEmpty;
      if ((position.pieces[0] >> square) & 1) code = king ? kPlayerKing : kPlayerMan;
      if ((position.pieces[1] >> square) & 1) code = king ? kComputerKing : kComputerMan;
      board.SetCode(column, row, code);
    }
  }
  return board;
}

uint64_t ComputeKey(const Position& position) {
  const ZobristKeys& z = Zobrist();
  uint64_t key = position.side > 0 ? z.side : 0;
  for (int s = 0; s < 2; ++s) {
    for (Bitboard b = position.pieces[s]; b;) {
      const int square = PopFirst(b);
      key ^= z.piece[s][(position.kings >> square) & 1][square];
    }
  }
  for (Bitboard b = position.walls; b;) key ^= z.wall[PopFirst(b)];
  return key;
}

}  // namespace zelbo::engine
