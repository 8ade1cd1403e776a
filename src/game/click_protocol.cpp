// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/click_protocol.h"

#include "game/move_rules.h"

namespace zelbo {

SquareRef PixelToSquare(const GameState& state, int x, int y) {
  const int origin = state.board_origin;
  const int size = state.square_size;
  const int end = origin + 8 * size;
  if (size <= 0 || x < origin || x >= end || y < origin || y >= end) return 0;
  return MakeSquare((x - origin) / size + 1, (y - origin) / size + 1);
}

bool BoardMouseUp(GameState& state, BoardWindowPort& port, SquareRef s, MouseButton button) {
  if (state.game_over) return false;
  if (button == MouseButton::kLeft) {
    PlayerClick(state, port, s, true);
  } else {
    PlayerClick(state, port, s, false);
    port.DrawBoard();
  }
  return true;
}

}  // namespace zelbo
