// The computer's experience: before it searches, the computer looks for a stored position that
// matches the board and plays the move stored with it.
#pragma once

#include "game/board_window_port.h"
#include "game/game_state.h"

namespace zelbo {

// Plays the move of the newest matching experience record and sets `move_played`; does nothing
// when no record matches.
void PlayExperience(GameState& state, BoardWindowPort& port, bool& move_played);

}  // namespace zelbo
