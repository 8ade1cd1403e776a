// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/take_back.h"

#include <algorithm>
#include <charconv>
#include <string>
#include <string_view>

#include "game/end_of_game.h"
#include "game/move_rules.h"

namespace zelbo {
namespace {

void ShowHistoryCount(const GameState& state, BoardWindowPort& port) {
  char caption[16];
  const auto end = std::to_chars(caption, caption + sizeof caption, state.history_count).ptr;
  port.SetTakeBackCaption(std::string_view(caption, static_cast<std::size_t>(end - caption)));
}

// The record goes back with the board, to the length it had when the entry now last was taken.
// Should the two still disagree (the side to move stays as it was through a take-back), the record
// starts again from the position on the board.
void TakeBackRecord(GameState& state) {
  state.record.CancelMove();
  if (state.history_plies.size() > state.history_count) {
    state.history_plies.resize(state.history_count);
    state.record.Truncate(state.history_plies.back());
  }
  const GamePosition on_board{state.board, state.side_to_move};
  if (!(state.record.Current() == on_board)) state.record.Restart(on_board);
}

}  // namespace

void AppendHistory(GameState& state, BoardWindowPort& port) {
  ++state.history_count;
  state.history.resize(state.history_count);
  state.history.back() = state.board;
  state.history_plies.resize(state.history_count - 1);
  state.history_plies.push_back(state.record.size());
  ShowHistoryCount(state, port);
}

void TakeBack(GameState& state, BoardWindowPort& port) {
  if (state.history_count <= 1 || state.game_over) return;
  --state.history_count;
  state.history.resize(state.history_count);
  state.board = state.history.back();
  TakeBackRecord(state);
  port.SetTakeBackCaption(std::to_string(state.history_count));
  port.DrawBoard();
}

bool GoToPly(GameState& state, BoardWindowPort& port, std::size_t plies) {
  if (plies > state.record.size()) return false;
  if (state.game_over && plies == state.record.size()) return true;
  DropMoveUnderWay(state);
  state.record.Truncate(plies);
  const GamePosition position = state.record.Current();
  state.board = position.board;
  state.side_to_move = position.side;
  const auto kept = std::upper_bound(state.history_plies.begin(), state.history_plies.end(), plies);
  state.history_count = static_cast<uint32_t>(
      std::min<std::size_t>(state.history.size(), kept - state.history_plies.begin()));
  state.history.resize(state.history_count);
  state.history_plies.resize(state.history_count);
  ShowHistoryCount(state, port);
  if (state.game_over) {
    state.game_over = false;
    port.SetPanelVisible(false);
  }
  CheckMaterial(state, port);
  NoteResult(state);
  port.DrawBoard();
  return true;
}

}  // namespace zelbo
