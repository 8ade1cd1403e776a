// SPDX-License-Identifier: GPL-3.0-or-later
// What a table says of a position: won, drawn or lost for the side to move, and in how many plies
// the game ends with best play, the winner winning as soon as it can and the loser lasting as long
// as it can. A side with no legal move (no piece left, or every piece stuck) has lost, in 0 plies.
//
// A table keeps it in one byte: 0 drawn, an odd byte d won in d plies, an even byte e lost in
// e - 2 plies. A win always takes an odd number of plies and a loss an even one.
#pragma once

#include <cstdint>

namespace zelbo::engine {

struct TableValue {
  int result = 0;  // 1 won, 0 drawn, -1 lost
  int plies = 0;   // to the end of the game; 0 when drawn

  friend bool operator==(const TableValue&, const TableValue&) = default;
};

inline constexpr int kLongestTableLine = 252;

constexpr TableValue DecodeTableValue(uint8_t byte) {
  if (byte == 0) return {};
  if (byte % 2 == 1) return {1, byte};
  return {-1, byte - 2};
}

constexpr uint8_t EncodeTableValue(const TableValue& value) {
  if (value.result == 0) return 0;
  return static_cast<uint8_t>(value.result > 0 ? value.plies : value.plies + 2);
}

// The value of a position from the value of the position after a move, for the side that moved.
constexpr TableValue ValueBefore(const TableValue& after) {
  if (after.result == 0) return {};
  return {-after.result, after.plies + 1};
}

// Whether `a` is better than `b` for the side to move: a sooner win, a longer loss.
constexpr bool Better(const TableValue& a, const TableValue& b) {
  if (a.result != b.result) return a.result > b.result;
  if (a.result > 0) return a.plies < b.plies;
  return a.result < 0 && a.plies > b.plies;
}

}  // namespace zelbo::engine
