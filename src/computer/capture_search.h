// SPDX-License-Identifier: GPL-3.0-or-later
// What the computer knows about captures: whether a piece can be taken and by whom, the next step
// of a chain, the board after a piece has played out its whole chain, and how much a side could
// take right now. Men move and take forward only, kings along whole diagonals landing right behind
// the piece they take, a king never turns back between two captures of a chain, taken pieces leave
// the board at once and a man is promoted only after its chain.
//
// Everything works on one board in place: a trial saves the board, changes it, measures and copies
// the saved image back, so that every measurement leaves the board byte for byte as it was.
#pragma once

#include <array>
#include <cstdint>

#include "game/board.h"

namespace zelbo {

// Who could jump over a threatened piece. `attacker` and `landing` are written only when an attack
// is found: a search that finds nothing leaves the last attack in place.
struct AttackInfo {
  bool found = false;
  SquareRef attacker = 0;
  SquareRef landing = 0;  // the square right behind the threatened piece
};

// One step of a chain: the piece it removes (none for a king's slide) and where the piece lands
// (none when there is no step).
struct CaptureStep {
  SquareRef taken = 0;
  SquareRef landing = 0;
};

// One chain being played. The capture search's own simulations keep a state of their own, so
// that measuring in the middle of a real chain never disturbs it.
struct ChainState {
  Direction last_direction = kNoDirection;  // of the chain's last capture by a king
  uint8_t capture_count = 0;                // pieces taken so far; wraps at 256
  SquareRef final_square = 0;               // landing square of the chain's last step
};

// The steps of a chain as it is played, for the game's record: each landing and the piece it took
// (none for a king's slide step), and the run of an exposed king as one last step. A chain takes
// at most one piece a step and slides only before a capture, so it never has more steps than this.
struct ChainLog {
  std::array<CaptureStep, 64> steps;
  uint8_t count = 0;
};

// Copies the whole 192-byte image, the meaningless bytes included.
void CopyBoard(Board& destination, const Board& source);

// Moves the code on `s` `n` squares along `d`, emptying `s` unless it is unusable. No promotion.
void MovePiece(Board& board, SquareRef s, Direction d, uint8_t n);

// A plain move of the computer: the piece moves and a man reaching its last row becomes a king.
void MovePieceAndPromote(Board& board, SquareRef s, Direction d, uint8_t n);

// The first occupied square along `d` from `s` (never `s` itself) when it holds `c`, else 0.
SquareRef ScanLine(const Board& board, SquareRef s, Direction d, CellCode c);

// Whether a piece of the side whose man is `b` could jump over the piece on `s`. Of all the
// attacks, the last one in the order direction 1 man, direction 1 king, ... direction 4 king wins.
void FindAttacker(const Board& board, SquareRef s, CellCode b, AttackInfo& info);

// The next step of the chain of the piece on `s`; a king's step may change `last_direction`.
CaptureStep NextCaptureStep(const Board& board, SquareRef s, ChainState& state);

// Plays the whole chain of the piece on `s` on the board. With `retreat`, a king of side +1 that
// took something then runs on along its line while it stays exposed to the player. With a `log`,
// every step is written down in it.
void PlayCaptureChain(Board& board, SquareRef s, ChainState& state, bool retreat,
                      ChainLog* log = nullptr);

// How much `side` could take now: every chain that a threatened piece's attacker could play, plus
// 2 for each threatened king. The board is left as it was found; the score wraps at 256.
uint8_t CaptureScore(Board& board, int side);

}  // namespace zelbo
