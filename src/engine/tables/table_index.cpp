// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/tables/table_index.h"

#include <array>
#include <bit>

namespace zelbo::engine {
namespace {

constexpr int kMaxChoose = 8;

// Binomial coefficients C(n, k) for n up to 32 and k up to kMaxChoose.
constexpr auto kChoose = [] {
  std::array<std::array<uint64_t, kMaxChoose + 1>, 33> c{};
  for (int n = 0; n <= 32; ++n) {
    c[n][0] = 1;
    for (int k = 1; k <= kMaxChoose && k <= n; ++k) c[n][k] = c[n - 1][k - 1] + c[n - 1][k];
  }
  return c;
}();

uint64_t Choose(int n, int k) { return n < 0 || k > kMaxChoose ? 0 : kChoose[n][k]; }

// The squares a man of the mover and of the other side may stand on: never its crowning row.
constexpr Bitboard kOwnManSquares = kPlayable & ~kRow1;
constexpr Bitboard kOtherManSquares = kPlayable & ~kRow8;
constexpr int kManSquares = 28;

int RankIn(int square, Bitboard squares) { return std::popcount(squares & (Bit(square) - 1)); }

// The rank of `set` among the subsets of its size of `squares` (colexicographic order).
uint64_t RankSet(Bitboard set, Bitboard squares) {
  uint64_t rank = 0;
  int i = 1;
  for (Bitboard b = set; b; ++i) rank += Choose(RankIn(PopFirst(b), squares), i);
  return rank;
}

// The square of `squares` that has `rank` squares of `squares` below it.
int SquareOfRank(int rank, Bitboard squares) {
  for (int i = 0; i < rank; ++i) squares &= squares - 1;
  return std::countr_zero(squares);
}

// The subset of `count` squares of `squares` whose rank is `rank`.
Bitboard UnrankSet(uint64_t rank, int count, Bitboard squares) {
  Bitboard set = 0;
  int e = std::popcount(squares);
  for (int i = count; i >= 1; --i) {
    do --e;
    while (Choose(e, i) > rank);
    rank -= Choose(e, i);
    set |= Bit(SquareOfRank(e, squares));
  }
  return set;
}

// The numbers of placements of each group, in the order the index nests them.
struct Radix {
  uint64_t own_men, other_men, own_kings, other_kings;
};
Radix RadixOf(const Material& m) {
  const int free = 32 - m.own_men - m.other_men;
  return {Choose(kManSquares, m.own_men), Choose(kManSquares, m.other_men),
          Choose(free, m.own_kings), Choose(free - m.own_kings, m.other_kings)};
}

}  // namespace

Bitboard Turned(Bitboard b) {
  b = ((b >> 1) & 0x5555555555555555ull) | ((b & 0x5555555555555555ull) << 1);
  b = ((b >> 2) & 0x3333333333333333ull) | ((b & 0x3333333333333333ull) << 2);
  b = ((b >> 4) & 0x0F0F0F0F0F0F0F0Full) | ((b & 0x0F0F0F0F0F0F0F0Full) << 4);
  b = ((b >> 8) & 0x00FF00FF00FF00FFull) | ((b & 0x00FF00FF00FF00FFull) << 8);
  b = ((b >> 16) & 0x0000FFFF0000FFFFull) | ((b & 0x0000FFFF0000FFFFull) << 16);
  b = (b >> 32) | (b << 32);
  return b >> (64 - kSquareBits);
}

Position TurnedRound(const Position& position) {
  Position turned;
  turned.pieces[0] = Turned(position.pieces[1]);
  turned.pieces[1] = Turned(position.pieces[0]);
  turned.kings = Turned(position.kings);
  turned.walls = Turned(position.walls);
  turned.side = static_cast<int8_t>(-position.side);
  turned.key = ComputeKey(turned);
  return turned;
}

TablePosition TableView(const Position& position) {
  const Bitboard kings = position.kings;
  if (position.side < 0) {
    return {position.pieces[0] & kings, position.pieces[0] & ~kings, position.pieces[1] & kings,
            position.pieces[1] & ~kings};
  }
  const Bitboard own = Turned(position.pieces[1]);
  const Bitboard other = Turned(position.pieces[0]);
  const Bitboard turned_kings = Turned(kings);
  return {own & turned_kings, own & ~turned_kings, other & turned_kings, other & ~turned_kings};
}

Position PositionOfView(const TablePosition& view) {
  Position position;
  position.pieces[0] = view.own_kings | view.own_men;
  position.pieces[1] = view.other_kings | view.other_men;
  position.kings = view.own_kings | view.other_kings;
  position.side = -1;
  position.key = ComputeKey(position);
  return position;
}

Material MaterialOf(const TablePosition& view) {
  return {std::popcount(view.own_kings), std::popcount(view.own_men),
          std::popcount(view.other_kings), std::popcount(view.other_men)};
}

uint64_t TableSize(const Material& material) {
  const Radix r = RadixOf(material);
  return r.own_men * r.other_men * r.own_kings * r.other_kings;
}

uint64_t IndexOf(const TablePosition& view, const Material& material) {
  const Radix r = RadixOf(material);
  const Bitboard free = kPlayable & ~(view.own_men | view.other_men);
  uint64_t index = RankSet(view.own_men, kOwnManSquares);
  index = index * r.other_men + RankSet(view.other_men, kOtherManSquares);
  index = index * r.own_kings + RankSet(view.own_kings, free);
  return index * r.other_kings + RankSet(view.other_kings, free & ~view.own_kings);
}

std::optional<TablePosition> PositionAt(uint64_t index, const Material& material) {
  const Radix r = RadixOf(material);
  const uint64_t other_kings = index % r.other_kings;
  index /= r.other_kings;
  const uint64_t own_kings = index % r.own_kings;
  index /= r.own_kings;
  TablePosition view;
  view.other_men = UnrankSet(index % r.other_men, material.other_men, kOtherManSquares);
  view.own_men = UnrankSet(index / r.other_men, material.own_men, kOwnManSquares);
  if (view.own_men & view.other_men) return std::nullopt;
  const Bitboard free = kPlayable & ~(view.own_men | view.other_men);
  view.own_kings = UnrankSet(own_kings, material.own_kings, free);
  view.other_kings = UnrankSet(other_kings, material.other_kings, free & ~view.own_kings);
  return view;
}

}  // namespace zelbo::engine
