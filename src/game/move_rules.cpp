// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/move_rules.h"

#include "game/end_of_game.h"

namespace zelbo {
namespace {

constexpr std::string_view kIllegalMove = "illegal move !!!!!!";
constexpr std::string_view kIllegalMove2 = "illegal move 2 !!!!!!";

// A man goes one square forward, or jumps two forward over a piece of the other side.
MoveCheckResult CheckManStep(const Board& board, SquareRef from, SquareRef to, DiagonalStep step,
                             int side) {
  const bool forward = side == kPlayerSide ? step.direction >= 3 : step.direction <= 2;
  if (!forward || step.distance > 2) return {false, 0};
  if (step.distance == 1) return {true, 0};
  const SquareRef middle = Midpoint(from, to);
  const CellCode jumped = ReadCell(board, middle);
  if (jumped == -side || jumped == -2 * side) return {true, middle};
  return {false, 0};
}

// A king flies along the diagonal; it may not pass its own pieces nor two enemy pieces in a row,
// and takes the last enemy piece of its path.
MoveCheckResult CheckKingStep(const Board& board, SquareRef from, DiagonalStep step,
                              CellCode king) {
  MoveCheckResult result{true, 0};
  const CellCode man = static_cast<CellCode>(king / 2);
  bool enemy_seen = false;
  for (int i = 1; i < step.distance; ++i) {
    const SquareRef q = Neighbour(from, step.direction, static_cast<uint8_t>(i));
    const CellCode c = ReadCell(board, q);
    if (c == king || c == man) return {false, result.captured};
    if (c == -king || c == -man) {
      if (enemy_seen) return {false, result.captured};
      enemy_seen = true;
      result.captured = q;
    } else {
      enemy_seen = false;
    }
  }
  return result;
}

void Refuse(GameState& state, BoardWindowPort& port, std::string_view message, bool restore) {
  state.record.CancelMove();
  state.selected_square = ClearedSquare(state.selected_square);
  if (restore) state.board = state.backup_board;
  port.DrawBoard();
  port.SetApplicationTitle("Error");
  port.ShowMessage(message);
}

// Each landing joins the move under way in the record; the move starts with its first landing.
void RecordStep(GameState& state, SquareRef landing, SquareRef taken) {
  if (!state.record.MoveUnderWay()) {
    state.record.BeginMove({state.board, state.side_to_move}, state.selected_square);
  }
  state.record.AddStep({landing, taken});
}

// A move ends when its last step passes the turn, or when one of its captures ended the game.
void EndPlayerMove(GameState& state, BoardWindowPort& port) {
  state.record.EndMove(state.board);
  CheckGameEnds(state, port);
}

}  // namespace

MoveCheckResult CheckMove(const GameState& state, SquareRef from, SquareRef to) {
  MoveCheckResult result = CheckStep(state.board, from, to);
  if (IsNoSquare(result.captured)) result.captured = state.no_square;
  return result;
}

MoveCheckResult CheckStep(const Board& board, SquareRef from, SquareRef to) {
  const DiagonalStep step = DirectionBetween(from, to);
  if (step.direction == kNoDirection) return {false, 0};
  const CellCode code = ReadCell(board, from);
  switch (code) {
    case kComputerMan:
      return CheckManStep(board, from, to, step, kComputerSide);
    case kPlayerMan:
      return CheckManStep(board, from, to, step, kPlayerSide);
    case kComputerKing:
    case kPlayerKing:
      return CheckKingStep(board, from, step, code);
    default:
      return {false, 0};
  }
}

bool HasLegalMove(const Board& board, int side) {
  for (int column = 1; column <= 8; ++column) {
    for (int row = 1; row <= 8; ++row) {
      const SquareRef from = MakeSquare(column, row);
      if (!IsOwnPiece(board, side, from)) continue;
      for (Direction d = 1; d <= 4; ++d) {
        for (uint8_t n = 1; n <= 7; ++n) {
          const SquareRef to = Neighbour(from, d, n);
          if (ReadCell(board, to) == kEmpty && CheckStep(board, from, to).ok) return true;
        }
      }
    }
  }
  return false;
}

void ApplyMove(GameState& state, BoardWindowPort& port, bool continue_chain) {
  WriteCell(state.board, state.target_square, ReadCell(state.board, state.selected_square));
  WriteCell(state.board, state.selected_square, kEmpty);
  Promote(state.board, state.target_square);
  if (!IsNoSquare(state.captured_square)) {
    WriteCell(state.board, state.captured_square, kEmpty);
    CheckMaterial(state, port);
  }
  state.captured_square = ClearedSquare(state.captured_square);
  if (continue_chain) {
    state.selected_square = state.target_square;
  } else {
    state.side_to_move = static_cast<int8_t>(-state.side_to_move);
    state.selected_square = 0;
  }
  port.DrawBoard();
}

void DropMoveUnderWay(GameState& state) {
  if (const GamePosition* before = state.record.BeforeMoveUnderWay()) state.board = before->board;
  state.record.CancelMove();
  state.selected_square = 0;
}

void PlayerClick(GameState& state, BoardWindowPort& port, SquareRef s, bool final) {
  const bool players_turn = state.side_to_move == kPlayerSide ||
                            (state.side_to_move == kComputerSide && !port.IsComputerChecked());
  if (!players_turn) return;

  // A refused click never changes the game: with no move under way there is nothing to undo.
  const bool move_under_way = !IsNoSquare(state.selected_square);
  bool captured_a_piece = false;
  bool refused = false;
  if (!move_under_way) {
    const CellCode code = ReadCell(state.board, s);
    if (IsOwnPiece(state.board, state.side_to_move, s) && code != kEmpty && code != kUnusable) {
      state.backup_board = state.board;
      state.selected_square = s;
    } else {
      state.selected_square = ClearedSquare(state.selected_square);
    }
  } else {
    const MoveCheckResult r = CheckMove(state, state.selected_square, s);
    if (r.ok && ReadCell(state.board, s) == kEmpty) {
      state.target_square = s;
      if (ReadCell(state.board, r.captured) != kUnusable) {
        captured_a_piece = true;
        state.captured_square = r.captured;
      }
      RecordStep(state, s, captured_a_piece ? r.captured : SquareRef{0});
      if (final) state.backup_board = state.board;
      ApplyMove(state, port, !final);
      if (final || state.game_over) EndPlayerMove(state, port);
    } else {
      Refuse(state, port, kIllegalMove, true);
      refused = true;
    }
  }
  if (!final && !captured_a_piece && !refused) Refuse(state, port, kIllegalMove2, move_under_way);
}

}  // namespace zelbo
