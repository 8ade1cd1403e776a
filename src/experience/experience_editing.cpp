// SPDX-License-Identifier: GPL-3.0-or-later
#include "experience/experience_editing.h"

#include <algorithm>

namespace zelbo {
namespace {

bool IsPlayerCode(CellCode code) {
  return code == kPlayerMan || code == kPlayerKing || code == kAnyPlayerPiece;
}

bool IsComputerCode(CellCode code) {
  return code == kComputerMan || code == kComputerKing || code == kAnyComputerPiece;
}

// A man, or "any piece", steps one square forward (towards row 8) or jumps a piece of side -1.
PatternMove CheckManMove(const Board& pattern, SquareRef from, SquareRef to, DiagonalStep step) {
  const bool forward = step.direction == 1 || step.direction == 2;
  if (!forward || step.distance > 2) return {};
  if (step.distance == 1) return {true, 0};
  const SquareRef middle = Midpoint(from, to);
  if (!IsPlayerCode(PatternCell(middle, pattern))) return {};
  return {true, middle};
}

// A king flies along the diagonal: its own pieces and two pieces of side -1 in a row stop it.
PatternMove CheckKingMove(const Board& pattern, SquareRef from, DiagonalStep step) {
  PatternMove move{true, 0};
  bool after_player_piece = false;
  for (int i = 1; i < step.distance; ++i) {
    const SquareRef s = Neighbour(from, step.direction, static_cast<uint8_t>(i));
    const CellCode code = PatternCell(s, pattern);
    if (code == kComputerMan || code == kComputerKing) return {};
    if (code == kPlayerMan || code == kPlayerKing) {
      if (after_player_piece) return {};
      after_player_piece = true;
      move.captured = s;
    } else {
      after_player_piece = false;
    }
  }
  return move;
}

}  // namespace

CellCode PatternCell(SquareRef s, const Board& pattern) { return ReadCell(pattern, s); }

PatternMove CheckPatternMove(const Board& pattern, SquareRef from, SquareRef to) {
  const DiagonalStep step = DirectionBetween(from, to);
  if (step.direction == kNoDirection) return {};
  const CellCode code = PatternCell(from, pattern);
  if (code == kComputerMan || code == kAnyComputerPiece) {
    return CheckManMove(pattern, from, to, step);
  }
  if (code == kComputerKing) return CheckKingMove(pattern, from, step);
  return {};
}

void SetPatternCode(ExperienceRecord& record, SquareRef s, CellCode code) {
  WriteCell(record.pattern, s, code);
  if (s == record.from) {
    record.from = ClearedSquare(record.from);
    record.to = ClearedSquare(record.to);
  }
}

bool ChooseMoveFrom(ExperienceRecord& record, SquareRef s) {
  if (!IsComputerCode(PatternCell(s, record.pattern))) return false;
  if (HasMoveFrom(record)) {
    record.to = ClearedSquare(record.to);
    record.captured = ClearedSquare(record.captured);
  }
  record.from = s;
  return true;
}

MoveToOutcome ChooseMoveTo(ExperienceRecord& record, SquareRef s) {
  if (!HasMoveFrom(record) || PatternCell(s, record.pattern) != kEmpty) {
    return MoveToOutcome::kIgnored;
  }
  const PatternMove move = CheckPatternMove(record.pattern, record.from, s);
  if (!move.legal) return MoveToOutcome::kIllegal;
  record.captured = ClearedSquare(record.captured);
  record.to = s;
  if (PatternCell(move.captured, record.pattern) != kUnusable) record.captured = move.captured;
  return MoveToOutcome::kChosen;
}

PopupItems PopupItemsOver(const ExperienceRecord& record, SquareRef s) {
  const CellCode code = PatternCell(s, record.pattern);
  PopupItems items;
  items.visible = code != kUnusable;
  items.to_enabled = code == kEmpty && HasMoveFrom(record);
  items.from_enabled = code > 0;
  return items;
}

void AddExperienceRecord(GameState& state) {
  state.experience_list.push_back(state.edit_record);
  state.experience_count = static_cast<uint32_t>(state.experience_list.size());
  state.experience_index = state.experience_count - 1;
}

bool PageExperience(GameState& state, bool forward) {
  const uint32_t count = state.experience_count;
  if (count == 0) return false;
  uint32_t& index = state.experience_index;
  if (forward) {
    index = index < count - 1 ? index + 1 : 0;
  } else {
    index = index > 0 ? index - 1 : count - 1;
  }
  // An index left past the end by a hand-set state still shows a record.
  index = std::min(index, count - 1);
  state.edit_record = state.experience_list[index];
  return true;
}

bool DeleteExperienceRecord(GameState& state) {
  if (state.experience_count == 0) return false;
  auto& list = state.experience_list;
  const uint32_t removed = std::min(state.experience_index, state.experience_count - 1);
  list.erase(list.begin() + removed);
  state.experience_count = static_cast<uint32_t>(list.size());
  if (state.experience_index > 0) --state.experience_index;
  if (!list.empty())
    state.edit_record = list[std::min<std::size_t>(state.experience_index, list.size() - 1)];
  return true;
}

}  // namespace zelbo
