// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/game_state.h"

namespace zelbo {

void NewGame(GameState& state, BoardWindowPort& port) {
  state.execution_time = 50;
  state.game_over = false;
  state.no_square = 0;
  state.selected_square = 0;
  state.target_square = 0;
  SetupInitialPosition(state.board);
  state.board_origin = 40;
  state.square_size = 32;
  state.side_to_move = kPlayerSide;
  state.history_count = 0;
  state.history.clear();
  state.history_plies.clear();
  state.record.Restart({state.board, state.side_to_move});
  port.SetTakeBackCaption("0");
}

}  // namespace zelbo
