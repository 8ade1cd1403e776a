#include "game/take_back.h"

#include <string>

namespace zelbo {

void TakeBack(GameState& state, BoardWindowPort& port) {
  if (state.history_count <= 1 || state.game_over) return;
  --state.history_count;
  state.history.resize(state.history_count);
  state.board = state.history.back();
  port.SetTakeBackCaption(std::to_string(state.history_count));
  port.DrawBoard();
}

}  // namespace zelbo
