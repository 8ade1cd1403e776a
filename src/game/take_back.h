// SPDX-License-Identifier: GPL-3.0-or-later
// The take-back list and its button: each computer reply appends its position, and the button
// goes back to the position after the computer's previous reply.
#pragma once

#include "game/game_state.h"

namespace zelbo {

// After a reply of the computer: its position joins the take-back list and the button shows the
// new count.
void AppendHistory(GameState& state, BoardWindowPort& port);

// With more than one position in History and the game not over, forgets the last one and puts the
// one before it on the board. The oldest entry is never removed; the side to move and the gauges
// stay as they are.
void TakeBack(GameState& state, BoardWindowPort& port);

}  // namespace zelbo
