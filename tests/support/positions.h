// SPDX-License-Identifier: GPL-3.0-or-later
// Fixtures in the board notation of zelbo-cli: rows 1 to 8 separated by '/', columns A to H.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "game/board.h"
#include "game/game_state.h"
#include "game/notation.h"
#include "support/recording_port.h"

namespace zelbo::testing {

inline constexpr std::string_view kInitialLine =
    "cxcxcxcx/xcxcxcxc/cxcxcxcx/x.x.x.x./.x.x.x.x/xpxpxpxp/pxpxpxpx/xpxpxpxp";
inline constexpr std::string_view kEmptyLine =
    ".x.x.x.x/x.x.x.x./.x.x.x.x/x.x.x.x./.x.x.x.x/x.x.x.x./.x.x.x.x/x.x.x.x.";

// The board of a notation line; fails the test on a malformed line.
inline Board BoardOf(std::string_view line) {
  auto board = ParseBoardLine(line);
  EXPECT_TRUE(board.has_value()) << "bad board line: " << line;
  return board.value_or(Board{});
}

// An empty board with pieces placed by name, as in Place({{"D6", kPlayerMan}, {"E5", 1}}).
struct Placed {
  const char* square;
  CellCode code;
};
inline Board BoardWith(std::initializer_list<Placed> pieces) {
  Board board = BoardOf(kEmptyLine);
  for (const auto& p : pieces) {
    auto s = ParseSquareName(p.square);
    EXPECT_TRUE(s.has_value()) << p.square;
    if (s) WriteCell(board, *s, p.code);
  }
  return board;
}

inline SquareRef Sq(std::string_view name) {
  auto s = ParseSquareName(name);
  EXPECT_TRUE(s.has_value()) << name;
  return s.value_or(0);
}

// A game just reset by NewGame, then given `board`.
inline GameState GameAt(const Board& board, int side_to_move = kPlayerSide) {
  RecordingPort port;
  GameState state;
  NewGame(state, port);
  state.board = board;
  state.side_to_move = static_cast<int8_t>(side_to_move);
  return state;
}

}  // namespace zelbo::testing
