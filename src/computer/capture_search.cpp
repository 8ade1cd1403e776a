// SPDX-License-Identifier: GPL-3.0-or-later
#include "computer/capture_search.h"

namespace zelbo {
namespace {

bool IsEmpty(const Board& board, SquareRef s) { return ReadCell(board, s) == kEmpty; }

bool IsPieceOf(CellCode code, int side) { return code == side || code == 2 * side; }

// A man takes forward only: over an adjacent enemy piece onto the empty square right behind it.
// Of its two forward directions the second one wins when both can take.
CaptureStep NextManStep(const Board& board, SquareRef s, int side) {
  CaptureStep step;
  const Direction first = side == kComputerSide ? 1 : 3;
  for (Direction d = first; d <= first + 1; ++d) {
    const SquareRef over = Neighbour(s, d, 1);
    const SquareRef behind = Neighbour(s, d, 2);
    if (IsPieceOf(ReadCell(board, over), -side) && IsEmpty(board, behind)) {
      step.taken = over;
      step.landing = behind;
    }
  }
  return step;
}

// The enemy piece that a king could take along `d` from `s`, landing right behind it; 0 if none.
// The enemy's man is looked for before its king.
SquareRef KingTarget(const Board& board, SquareRef s, Direction d, CellCode king) {
  const auto enemy_man = static_cast<CellCode>(-king / 2);
  const auto enemy_king = static_cast<CellCode>(-king);
  SquareRef target = 0;
  for (const CellCode e : {enemy_man, enemy_king}) {
    const SquareRef r = ScanLine(board, s, d, e);
    if (!IsNoSquare(r) && IsEmpty(board, Neighbour(r, d, 1))) target = r;
  }
  return target;
}

// A king that has already taken and finds nothing more runs on along its line to the farthest
// empty square from which it could take sideways.
SquareRef KingSlide(const Board& board, SquareRef s, Direction last, CellCode king) {
  SquareRef landing = 0;
  for (SquareRef t = Neighbour(s, last, 1); IsEmpty(board, t); t = Neighbour(t, last, 1)) {
    for (Direction d = 1; d <= 4; ++d) {
      if (d == last || d == Reverse(last)) continue;
      if (!IsNoSquare(KingTarget(board, t, d, king))) landing = t;
    }
  }
  return landing;
}

// A king takes in any direction but the reverse of its last capture, which it learns as soon as a
// capture is found: the last capture found in the order of directions is the step.
CaptureStep NextKingStep(const Board& board, SquareRef s, ChainState& state, CellCode king) {
  CaptureStep step;
  bool found = false;
  for (Direction d = 1; d <= 4; ++d) {
    if (d == Reverse(state.last_direction)) continue;
    const SquareRef r = KingTarget(board, s, d, king);
    if (IsNoSquare(r)) continue;
    found = true;
    state.last_direction = d;
    step.taken = r;
    step.landing = Neighbour(r, d, 1);
  }
  if (!found && state.last_direction != kNoDirection) {
    step.landing = KingSlide(board, s, state.last_direction, king);
  }
  return step;
}

// The king of side +1, having taken, runs along its last line while the next square is empty and
// the player could still take something.
SquareRef Retreat(Board& board, SquareRef s, Direction last) {
  while (IsEmpty(board, Neighbour(s, last, 1)) && CaptureScore(board, kPlayerSide) != 0) {
    WriteCell(board, s, kEmpty);
    s = Neighbour(s, last, 1);
    WriteCell(board, s, kComputerKing);
  }
  return s;
}

}  // namespace

void CopyBoard(Board& destination, const Board& source) { destination = source; }

void MovePiece(Board& board, SquareRef s, Direction d, uint8_t n) {
  const CellCode code = ReadCell(board, s);
  WriteCell(board, Neighbour(s, d, n), code);
  if (ReadCell(board, s) != kUnusable) WriteCell(board, s, kEmpty);
}

void MovePieceAndPromote(Board& board, SquareRef s, Direction d, uint8_t n) {
  MovePiece(board, s, d, n);
  Promote(board, Neighbour(s, d, n));
}

SquareRef ScanLine(const Board& board, SquareRef s, Direction d, CellCode c) {
  SquareRef q = 0;
  for (uint8_t k = 1;; ++k) {
    q = Neighbour(s, d, k);
    if (ReadCell(board, q) != kEmpty) break;
  }
  return ReadCell(board, q) == c ? q : 0;
}

void FindAttacker(const Board& board, SquareRef s, CellCode b, AttackInfo& info) {
  info.found = false;
  const auto king = static_cast<CellCode>(2 * b);
  for (Direction d = 1; d <= 4; ++d) {
    const SquareRef behind = Neighbour(s, Reverse(d), 1);
    if (!IsEmpty(board, behind)) continue;
    // A man of side -1 stands below the piece it jumps (directions 1, 2), of side +1 above it.
    const bool man_jumps_from_d = b == kPlayerMan ? d <= 2 : b == kComputerMan && d >= 3;
    if (man_jumps_from_d && ReadCell(board, Neighbour(s, d, 1)) == b) {
      info = {true, Neighbour(s, d, 1), behind};
    }
    const SquareRef a = ScanLine(board, s, d, king);
    if (!IsNoSquare(a)) info = {true, a, behind};
  }
}

CaptureStep NextCaptureStep(const Board& board, SquareRef s, ChainState& state) {
  const CellCode code = ReadCell(board, s);
  switch (code) {
    case kComputerMan:
      return NextManStep(board, s, kComputerSide);
    case kPlayerMan:
      return NextManStep(board, s, kPlayerSide);
    case kComputerKing:
    case kPlayerKing:
      return NextKingStep(board, s, state, code);
    default:
      return {};
  }
}

void PlayCaptureChain(Board& board, SquareRef s, ChainState& state, bool retreat, ChainLog* log) {
  for (;;) {
    const CaptureStep step = NextCaptureStep(board, s, state);
    if (IsNoSquare(step.landing)) break;
    if (!IsNoSquare(step.taken)) ++state.capture_count;
    WriteCell(board, step.landing, ReadCell(board, s));
    if (!IsNoSquare(step.taken)) WriteCell(board, step.taken, kEmpty);
    WriteCell(board, s, kEmpty);
    state.final_square = step.landing;
    s = step.landing;
    if (log != nullptr && log->count < log->steps.size()) log->steps[log->count++] = step;
  }
  if (retreat && ReadCell(board, s) == kComputerKing && state.capture_count > 0) {
    const SquareRef end = Retreat(board, s, state.last_direction);
    if (log != nullptr && end != s && log->count < log->steps.size()) {
      log->steps[log->count++] = {0, end};
    }
  }
}

uint8_t CaptureScore(Board& board, int side) {
  uint8_t score = 0;
  const auto attacker_man = static_cast<CellCode>(side);
  const auto enemy_king = static_cast<CellCode>(-2 * side);
  AttackInfo info;
  for (int column = 1; column <= 8; ++column) {
    for (int row = 1; row <= 8; ++row) {
      const CellCode code = board.Code(column, row);
      if (!IsPieceOf(code, -side)) continue;
      FindAttacker(board, MakeSquare(column, row), attacker_man, info);
      if (!info.found) continue;
      Board saved;
      CopyBoard(saved, board);
      ChainState scratch;
      PlayCaptureChain(board, info.attacker, scratch, false);
      CopyBoard(board, saved);
      score = static_cast<uint8_t>(score + scratch.capture_count);
      if (code == enemy_king) score = static_cast<uint8_t>(score + 2);
    }
  }
  return score;
}

}  // namespace zelbo
