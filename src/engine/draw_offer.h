// SPDX-License-Identifier: GPL-3.0-or-later
// "Proposer la nulle": the player offers a draw and the computer answers. The designed computer
// (level 1) counts pieces: it accepts when it has no more than the player. A searching level
// searches the position as it would for a move of its own, and accepts when its score for its
// side, +1, is not above zero. In two-player mode the two players at the mouse agree by the offer
// itself, and the game ends drawn.
#pragma once

#include <atomic>
#include <cstdint>
#include <span>

#include "engine/levels.h"
#include "game/board_window_port.h"
#include "game/game_state.h"

namespace zelbo {

// The designed computer's answer, which needs no search: yes when it has no more pieces than the
// player.
bool DesignedComputerAcceptsDraw(const Board& board);

// The computer's answer to a draw offered on `board` with `side_to_move` to move, at `level`,
// thinking at most `milliseconds` (or the engine's fixed node budget). It touches nothing but its
// arguments and the engine, so a worker thread may run it; `stop`, once set, ends the search at
// once (the answer is then that of whatever the search had found, or the pieces' count). `history`
// is as Engine::Choose takes it.
bool ComputerAcceptsDraw(Engine& engine, const Board& board, int8_t side_to_move, int level,
                         int32_t milliseconds, std::span<const Board> history = {},
                         const std::atomic<bool>* stop = nullptr);

// The game after the answer: ended drawn with the computer's acceptance, or the refusal shown.
void AnswerDrawOffer(GameState& state, BoardWindowPort& port, bool accepted);

// The whole offer on this thread: nothing once the game is over; in two-player mode the game ends
// drawn; else the computer answers, thinking for the execution time (a minute at most).
void OfferDraw(GameState& state, BoardWindowPort& port, Engine& engine);

}  // namespace zelbo
