// SPDX-License-Identifier: GPL-3.0-or-later
// The 32 playable squares as bits of a 64-bit word. Square (column c, row r), both from 1, has
// bit (9 * (r - 1) + (c - 1)) / 2: every row pair takes nine bits, one of them a ghost that no
// square uses (bits 4, 13, 22 and 31). With the ghosts, each diagonal direction is one shift for
// every square: down-right +5, down-left +4, up-right -4, up-left -5, and a step off the board
// lands on a ghost or outside bits 0..35.
#pragma once

#include <array>
#include <bit>
#include <cstdint>

#include "game/board.h"

namespace zelbo::engine {

using Bitboard = uint64_t;

inline constexpr int kSquareBits = 36;
inline constexpr Bitboard kPlayable = ((Bitboard{1} << kSquareBits) - 1) & ~(Bitboard{1} << 4) &
                                      ~(Bitboard{1} << 13) & ~(Bitboard{1} << 22) &
                                      ~(Bitboard{1} << 31);
// Row 1 (side -1 crowns there) and row 8 (side +1 crowns there).
inline constexpr Bitboard kRow1 = 0xFull;
inline constexpr Bitboard kRow8 = Bitboard{0xF} << 32;

// The board's directions 1..4 as indexes 0..3, and the shift of each.
inline constexpr std::array<int, 4> kShift = {5, 4, -4, -5};
// Side -1's men go up (directions 3 and 4), side +1's down (directions 1 and 2).
constexpr int FirstForward(int side) { return side < 0 ? 2 : 0; }

constexpr Bitboard Bit(int square) { return Bitboard{1} << square; }
constexpr Bitboard Shifted(Bitboard b, int shift) {
  return (shift > 0 ? b << shift : b >> -shift) & kPlayable;
}
constexpr Bitboard CrownRow(int side) { return side < 0 ? kRow1 : kRow8; }

// The square of a board column and row (both 1..8, column + row even).
constexpr int SquareOf(int column, int row) { return (9 * (row - 1) + (column - 1)) / 2; }
constexpr int ColumnOf(int square) { return (2 * square) % 9 + 1; }
constexpr int RowOf(int square) { return (2 * square) / 9 + 1; }
inline SquareRef RefOf(int square) { return MakeSquare(ColumnOf(square), RowOf(square)); }

// The next square along direction index d, or -1 off the board.
constexpr int Next(int square, int d) {
  const int next = square + kShift[d];
  if (next < 0 || next >= kSquareBits) return -1;
  return (kPlayable >> next) & 1 ? next : -1;
}

// The number of pieces on a set of squares. Where a function that counts in the search's inner
// loops is marked ZELBO_BIT_COUNT_CLONES, it is compiled twice, with the processor's bit-count
// instruction and without, and the loader picks the one the processor has (a GNU indirect
// function): the program still runs on any x86-64. What such a function calls must be inlined
// into it to be counted by the instruction.
inline int BitCount(Bitboard b) { return std::popcount(b); }
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define ZELBO_BIT_COUNT_CLONES __attribute__((target_clones("popcnt", "default")))
#else
#define ZELBO_BIT_COUNT_CLONES
#endif

constexpr int PopFirst(Bitboard& b) {
  const int square = std::countr_zero(b);
  b &= b - 1;
  return square;
}

}  // namespace zelbo::engine
