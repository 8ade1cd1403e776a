// SPDX-License-Identifier: GPL-3.0-or-later
// The computer's reply at the chosen level, through the same game path as the designed turn: the
// experience store first when "Experience" is checked, then the move, the drawing, the
// end-of-game checks, and the position appended to the take-back list. Level 1 is the designed
// turn itself. The search may run elsewhere (a worker thread): ComputerReplyDue and
// PlayExperienceReply decide whether it is needed, PlaySearchedReply plays what it found.
#pragma once

#include <optional>

#include "engine/levels.h"
#include "game/board_window_port.h"
#include "game/game_state.h"

namespace zelbo {

// The computer is checked, side +1 is to move and the game is still on.
bool ComputerReplyDue(const GameState& state, const BoardWindowPort& port);

// With "Experience" checked and a record matching the board: its message, its move, the drawing,
// then the take-back list, as the designed turn plays it. True when it played.
bool PlayExperienceReply(GameState& state, BoardWindowPort& port);

// Plays a searched move for side +1. No move: the computer is blocked and the player has won.
// A move: applied and drawn, side -1 to move; a player left with pieces but no legal move has
// lost; then the material check while the game is on. Last, the take-back list.
void PlaySearchedReply(GameState& state, BoardWindowPort& port,
                       const std::optional<LevelMove>& move);

// The whole reply, on this thread: the designed ComputerReply at level 1; at a searching level
// the due check, the experience, a search of at most state.execution_time ms, and the move.
void LevelReply(GameState& state, BoardWindowPort& port, Engine& engine);

}  // namespace zelbo
