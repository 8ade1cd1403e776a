// SPDX-License-Identifier: GPL-3.0-or-later
// How a mouse-button release over the board window's client area becomes a player's click. The
// window adds what only it can do (the yellow ring on the selected piece) and then lets the
// computer reply.
#pragma once

#include "game/board.h"
#include "game/game_state.h"

namespace zelbo {

enum class MouseButton { kLeft, kRight, kMiddle };

// The square under a pixel of the client area, or 0 off the board.
SquareRef PixelToSquare(const GameState& state, int x, int y);

// The square under the pointer is taken as a click: the left button ends a move, the right and
// middle buttons land the middle steps of a chain (and redraw). Returns false, doing nothing,
// once the game is over.
bool BoardMouseUp(GameState& state, BoardWindowPort& port, SquareRef s, MouseButton button);

}  // namespace zelbo
