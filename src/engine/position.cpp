// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/position.h"

namespace zelbo::engine {
namespace {

// SplitMix64: a fixed sequence, so keys are the same in every run.
uint64_t NextRandom(uint64_t& state) {
  uint64_t z = (state += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

ZobristKeys MakeZobrist() {
  ZobristKeys keys{};
  uint64_t state = 0x5A454C424Full;
  for (auto& side : keys.piece) {
    for (auto& kind : side) {
      for (auto& square : kind) square = NextRandom(state);
    }
  }
  for (auto& square : keys.wall) square = NextRandom(state);
  keys.side = NextRandom(state);
  return keys;
}

}  // namespace

const ZobristKeys& Zobrist() {
  static const ZobristKeys keys = MakeZobrist();
  return keys;
}

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
