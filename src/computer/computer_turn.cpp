// SPDX-License-Identifier: GPL-3.0-or-later
#include "computer/computer_turn.h"

#include "computer/experience_matching.h"
#include "computer/move_choice.h"
#include "game/end_of_game.h"
#include "game/take_back.h"

namespace zelbo {

// The player-blocked check trusts the capture scores of the last plain-move choice. Neither check
// runs once the game is over: a computer that has just declared itself blocked has lost, and the
// player must not be told the opposite.
void ComputerTurn(GameState& state, BoardWindowPort& port) {
  bool move_played = false;
  if (port.IsExperienceChecked()) PlayExperience(state, port, move_played);
  if (move_played) {
    port.DrawBoard();
    return;
  }
  state.backup_board = state.board;
  ChooseCapture(state, move_played);
  if (!move_played) {
    PlayPlainMove(state, port, move_played);
  } else {
    port.DrawBoard();
  }
  if (!state.game_over && state.computer_capture_score == 0) CheckPlayerBlocked(state, port);
  if (!state.game_over) CheckMaterial(state, port);
}

void ComputerReply(GameState& state, BoardWindowPort& port) {
  if (!port.IsComputerChecked() || state.side_to_move != kComputerSide || state.game_over) return;
  ComputerTurn(state, port);
  AppendHistory(state, port);
}

}  // namespace zelbo
