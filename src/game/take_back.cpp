// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/take_back.h"

#include <charconv>
#include <string>
#include <string_view>

namespace zelbo {

void AppendHistory(GameState& state, BoardWindowPort& port) {
  ++state.history_count;
  state.history.resize(state.history_count);
  state.history.back() = state.board;
  char caption[16];
  const auto end = std::to_chars(caption, caption + sizeof caption, state.history_count).ptr;
  port.SetTakeBackCaption(std::string_view(caption, static_cast<std::size_t>(end - caption)));
}

void TakeBack(GameState& state, BoardWindowPort& port) {
  if (state.history_count <= 1 || state.game_over) return;
  --state.history_count;
  state.history.resize(state.history_count);
  state.board = state.history.back();
  port.SetTakeBackCaption(std::to_string(state.history_count));
  port.DrawBoard();
}

}  // namespace zelbo
