// SPDX-License-Identifier: GPL-3.0-or-later
// The rules of the experience editor, apart from its pixels: what a pattern square reads, which
// moves of side +1 a pattern allows, how the working record's move is chosen and forgotten, what
// the pop-up menu offers over a square, and how the list is paged, added to and deleted from.
//
// The move check is the editor's own and is looser than the game's: a man steps or jumps forward
// only, over a piece of side -1 (or "any piece of side -1"); a king flies along any diagonal over
// empty, "not important" and wildcard squares and over pieces of side -1 that are not next to one
// another, the last of them being the piece it captures.
#pragma once

#include "experience/experience_record.h"
#include "game/board.h"
#include "game/game_state.h"

namespace zelbo {

// The code of a square of a pattern; 3 when its column or row lies outside 1..8.
CellCode PatternCell(SquareRef s, const Board& pattern);

// True when the record names a chosen piece: its From lies on the board.
inline bool HasMoveFrom(const ExperienceRecord& record) {
  return PatternCell(record.from, record.pattern) != kUnusable;
}

struct PatternMove {
  bool legal = false;
  SquareRef captured = 0;  // the square the move takes, or 0 for a plain move
};

// Whether the piece of side +1 on `from` (code 1, 2 or 4) may go to the empty square `to` on the
// pattern, and what it captures on the way. A piece of any other code moves nowhere.
PatternMove CheckPatternMove(const Board& pattern, SquareRef from, SquareRef to);

// Writes `code` on square `s` of the pattern. Writing on the From square forgets the move (the low
// bytes of From and To are cleared) but keeps Captured.
void SetPatternCode(ExperienceRecord& record, SquareRef s, CellCode code);

// "From": a piece of side +1 (code 1, 2 or 4) on `s` becomes the piece to move, forgetting the
// destination and capture of an earlier choice. False, changing nothing, on any other square.
bool ChooseMoveFrom(ExperienceRecord& record, SquareRef s);

enum class MoveToOutcome {
  kIgnored,  // no piece chosen, or `s` is not drawn empty
  kChosen,   // To (and Captured) now hold the move
  kIllegal,  // the move is refused; the record is unchanged
};

// "TO": the empty square `s` becomes the destination of the chosen piece when the move check
// allows it, with the captured square it names.
MoveToOutcome ChooseMoveTo(ExperienceRecord& record, SquareRef s);

// What the pop-up menu offers over square `s`: every item only over a playable square; "From"
// over a piece of side +1; "TO" over an empty square once a piece is chosen.
struct PopupItems {
  bool visible = false;
  bool from_enabled = false;
  bool to_enabled = false;
};
PopupItems PopupItemsOver(const ExperienceRecord& record, SquareRef s);

// Appends the working record, whatever its move holds, and makes it the shown one.
void AddExperienceRecord(GameState& state);

// Shows the next record (`forward`) or the previous one, wrapping at both ends; one past the end,
// as after loading, next gives the first record and previous the last. The shown record becomes
// the working record. False, changing nothing, while the list is empty.
bool PageExperience(GameState& state, bool forward);

// Removes the shown record (the last one when the index lies past the end) and shows the one
// before it, which becomes the working record while records remain. False, changing nothing,
// when the list is empty.
bool DeleteExperienceRecord(GameState& state);

}  // namespace zelbo
