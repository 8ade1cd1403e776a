// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/evaluation.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdlib>

namespace zelbo::engine {
namespace {

// The squares a man of side index s on a square could ever reach: its forward cone.
constexpr auto kCones = [] {
  std::array<std::array<Bitboard, kSquareBits>, 2> cone{};
  for (int s = 0; s < 2; ++s) {
    const int side = s == 0 ? -1 : 1;
    for (int square = 0; square < kSquareBits; ++square) {
      if (!((kPlayable >> square) & 1)) continue;
      for (int d = FirstForward(side); d < FirstForward(side) + 2; ++d) {
        if (Next(square, d) >= 0) cone[s][square] |= Bit(Next(square, d));
      }
    }
    // Close the cones: each square's cone holds the cones of the squares it steps to.
    for (int pass = 0; pass < 8; ++pass) {
      for (int square = 0; square < kSquareBits; ++square) {
        Bitboard all = cone[s][square];
        for (Bitboard b = cone[s][square]; b;) all |= cone[s][PopFirst(b)];
        cone[s][square] = all;
      }
    }
  }
  return cone;
}();

// The long diagonal A1-H8 and the centre, where a king commands most.
constexpr Bitboard kKingSquares = [] {
  Bitboard b = 0;
  for (int i = 1; i <= 8; ++i) b |= Bit(SquareOf(i, i));
  for (int column = 3; column <= 6; ++column) {
    for (int row = 3; row <= 6; ++row) {
      if ((column + row) % 2 == 0) b |= Bit(SquareOf(column, row));
    }
  }
  return b;
}();

// Rows still to go for a man of side index s: side -1 crowns on row 1, side +1 on row 8.
constexpr auto kRowsToGo = [] {
  std::array<std::array<int8_t, kSquareBits>, 2> rows{};
  for (int square = 0; square < kSquareBits; ++square) {
    rows[0][square] = static_cast<int8_t>(RowOf(square) - 1);
    rows[1][square] = static_cast<int8_t>(8 - RowOf(square));
  }
  return rows;
}();
// How far a man on a square has come, as an index of EvalWeights::advance.
constexpr auto kAdvance = [] {
  std::array<std::array<int8_t, kSquareBits>, 2> advance{};
  for (int s = 0; s < 2; ++s) {
    for (int square = 0; square < kSquareBits; ++square) {
      advance[s][square] = static_cast<int8_t>(std::clamp(7 - kRowsToGo[s][square], 0, 6));
    }
  }
  return advance;
}();

// The squares at most r king steps from a square (r from 0 to 7), for the distance to the
// nearest of a set.
constexpr auto kWithin = [] {
  std::array<std::array<Bitboard, 8>, kSquareBits> within{};
  for (int a = 0; a < kSquareBits; ++a) {
    for (int b = 0; b < kSquareBits; ++b) {
      if (!((kPlayable >> a) & 1) || !((kPlayable >> b) & 1)) continue;
      const int columns =
          ColumnOf(a) > ColumnOf(b) ? ColumnOf(a) - ColumnOf(b) : ColumnOf(b) - ColumnOf(a);
      const int rows = RowOf(a) > RowOf(b) ? RowOf(a) - RowOf(b) : RowOf(b) - RowOf(a);
      for (int r = std::max(columns, rows); r < 8; ++r) within[a][r] |= Bit(b);
    }
  }
  return within;
}();

// The distance in king steps from `square` to the nearest of `pieces`; 8 when there is none.
int NearestDistance(int square, Bitboard pieces) {
  int r = 1;
  while (r < 8 && !(kWithin[square][r] & pieces)) ++r;
  return r;
}

// The plain steps of side index s: men forward, kings one square any way.
[[gnu::always_inline]] inline int PlainSteps(const Position& p, int s, Bitboard empty) {
  const int side = s == 0 ? -1 : 1;
  const Bitboard men = p.pieces[s] & ~p.kings;
  const Bitboard kings = p.pieces[s] & p.kings;
  int steps = 0;
  for (int d = 0; d < 4; ++d) {
    const bool forward = d >= FirstForward(side) && d < FirstForward(side) + 2;
    steps += BitCount(Shifted(kings | (forward ? men : 0), kShift[d]) & empty);
  }
  return steps;
}

// The terms of one side, from its own point of view.
[[gnu::always_inline]] inline int SideScore(const Position& p, int s, const EvalWeights& w,
                                            Bitboard empty) {
  const int side = s == 0 ? -1 : 1;
  const int them = 1 - s;
  const Bitboard men = p.pieces[s] & ~p.kings;
  const Bitboard kings = p.pieces[s] & p.kings;
  const bool enemy_kings = (p.pieces[them] & p.kings) != 0;
  int score = w.man * BitCount(men) + w.king * BitCount(kings);
  score += w.king_centre * BitCount(kings & kKingSquares);
  score += w.mobility * PlainSteps(p, s, empty);
  const Bitboard back_row = CrownRow(-side);
  if (p.pieces[them] & ~p.kings) score += w.back_row * BitCount(men & back_row);
  for (Bitboard b = men; b;) score += w.advance[kAdvance[s][PopFirst(b)]];
  if (enemy_kings) return score;
  for (Bitboard b = men; b;) {
    const int square = PopFirst(b);
    if ((kCones[s][square] & p.pieces[them]) == 0) {
      score += std::max(0, w.runaway - 8 * kRowsToGo[s][square]);
    }
  }
  return score;
}

// The leader's push in the ending: fewer pieces on the board, its kings near the other side's.
[[gnu::always_inline]] inline int Progress(const Position& p, int leader, const EvalWeights& w) {
  const int other = 1 - leader;
  int score = w.trade * (24 - BitCount(p.pieces[0] | p.pieces[1]));
  int total = 0;
  int kings_counted = 0;
  for (Bitboard k = p.pieces[leader] & p.kings; k && kings_counted < 4; ++kings_counted) {
    total += 8 - NearestDistance(PopFirst(k), p.pieces[other]);
  }
  return score + w.chase * total;
}

uint64_t Mix(uint64_t z) {
  z = (z ^ (z >> 33)) * 0xFF51AFD7ED558CCDull;
  z = (z ^ (z >> 33)) * 0xC4CEB9FE1A85EC53ull;
  return z ^ (z >> 33);
}

}  // namespace

ZELBO_BIT_COUNT_CLONES int Evaluate(const Position& p, const EvalWeights& w) {
  const Bitboard empty = p.Empty();
  const int white = SideScore(p, 1, w, empty);
  const int black = SideScore(p, 0, w, empty);
  int score = white - black;  // for side +1
  const int material =
      (w.man * BitCount(p.pieces[1] & ~p.kings) + w.king * BitCount(p.pieces[1] & p.kings)) -
      (w.man * BitCount(p.pieces[0] & ~p.kings) + w.king * BitCount(p.pieces[0] & p.kings));
  if (material >= w.man && p.pieces[0]) score += Progress(p, 1, w);
  if (material <= -w.man && p.pieces[1]) score -= Progress(p, 0, w);
  if (w.noise > 0) {
    score += static_cast<int>(Mix(p.key) % static_cast<uint64_t>(2 * w.noise + 1)) - w.noise;
  }
  return p.side > 0 ? score : -score;
}

}  // namespace zelbo::engine
