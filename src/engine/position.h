// SPDX-License-Identifier: GPL-3.0-or-later
// The engine's position: the pieces of both sides, the kings among them and the walls, as
// bitboards of the playable squares, with the side to move and a Zobrist key. It is made from the
// 192-byte board at the start of a search and never written back: only the one move played is.
//
// A board may hold any bytes. The codes -2, -1, 0, 1 and 2 on the playable squares are the
// position; any other code there is a wall, a square that is neither empty nor a piece: nothing
// lands on it, and a king's path passes over it as the move rules let it. Codes on the unusable
// squares are no part of the position.
#pragma once

#include <cstdint>

#include "engine/squares.h"
#include "game/board.h"

namespace zelbo::engine {

// 0 for side -1, 1 for side +1.
constexpr int SideIndex(int side) { return side > 0 ? 1 : 0; }

struct Position {
  Bitboard pieces[2] = {0, 0};  // by SideIndex
  Bitboard kings = 0;           // of either side
  Bitboard walls = 0;
  int8_t side = -1;  // to move
  uint64_t key = 0;

  Bitboard Own() const { return pieces[SideIndex(side)]; }
  Bitboard Enemy() const { return pieces[SideIndex(-side)]; }
  Bitboard Empty() const { return kPlayable & ~(pieces[0] | pieces[1] | walls); }
};

// The position of a board with `side` to move.
Position PositionOf(const Board& board, int side);

// `board` with the position's pieces written on its playable squares: the board a position
// stands for. Walls, unusable squares and every cell's other bytes stay as `board` has them.
Board BoardOfPosition(const Position& position, Board board);

// The key of a position from scratch; the moves keep it up to date.
uint64_t ComputeKey(const Position& position);

// Zobrist numbers: one per side, kind and square, one per wall square, one for side +1 to move,
// drawn from a fixed SplitMix64 sequence so that keys are the same in every run.
struct ZobristKeys {
  uint64_t piece[2][2][kSquareBits];  // [side index][king][square]
  uint64_t wall[kSquareBits];
  uint64_t side;
};
inline constexpr ZobristKeys kZobristKeys = [] {
  ZobristKeys keys{};
  uint64_t state = 0x5A454C424Full;
  const auto next = [&state] {
    uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  };
  for (auto& side : keys.piece) {
    for (auto& kind : side) {
      for (auto& square : kind) square = next();
    }
  }
  for (auto& square : keys.wall) square = next();
  keys.side = next();
  return keys;
}();
inline const ZobristKeys& Zobrist() { return kZobristKeys; }

}  // namespace zelbo::engine
