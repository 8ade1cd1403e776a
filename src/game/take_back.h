// SPDX-License-Identifier: GPL-3.0-or-later
// The take-back list and its button: each computer reply appends its position, and the button
// goes back to the position after the computer's previous reply. The game's record goes back with
// it; and the record can take the game back to any of its positions.
#pragma once

#include <cstddef>

#include "game/game_state.h"

namespace zelbo {

// After a reply of the computer: its position joins the take-back list and the button shows the
// new count.
void AppendHistory(GameState& state, BoardWindowPort& port);

// With more than one position in History and the game not over, forgets the last one and puts the
// one before it on the board; the record loses the moves made since. The oldest entry is never
// removed; the side to move and the gauges stay as they are.
void TakeBack(GameState& state, BoardWindowPort& port);

// Goes back to the position after the first `plies` moves of the record (0: its start), to play on
// from there: the later moves are dropped, and so are the take-back entries taken after that
// position; a move under way is given up. A finished game goes on again, unless `plies` is its
// last position, which changes nothing. The gauges are set and the board drawn. False, changing
// nothing, when the record has fewer moves.
bool GoToPly(GameState& state, BoardWindowPort& port, std::size_t plies);

}  // namespace zelbo
