// SPDX-License-Identifier: GPL-3.0-or-later
// A slow, independent generator of the player's moves, built on the game's own step check
// (CheckMove) over the 192-byte board, square by square: every landing square is tried for every
// step, steps are applied as the click protocol applies them, and the positions a move can leave
// are collected in a set. The engine's bitboard generator must agree with it.
#pragma once

#include <cstdint>
#include <set>
#include <string>

#include "game/board.h"
#include "game/game_state.h"
#include "game/move_rules.h"

namespace zelbo::testing {

// A board reduced to what a move can change: the 32 playable squares' codes.
inline std::string PlayableCodes(const Board& board) {
  std::string codes;
  for (int column = 1; column <= 8; ++column) {
    for (int row = 1; row <= 8; ++row) {
      if ((column + row) % 2 == 0) codes += static_cast<char>(board.Code(column, row));
    }
  }
  return codes;
}

inline bool IsPieceOf(CellCode code, int side) { return code == side || code == 2 * side; }

inline int PlayablePieces(const Board& board, int side) {
  int count = 0;
  for (int column = 1; column <= 8; ++column) {
    for (int row = 1; row <= 8; ++row) {
      count += (column + row) % 2 == 0 && IsPieceOf(board.Code(column, row), side);
    }
  }
  return count;
}

struct ReferenceMoves {
  std::set<std::string> seen;
  std::vector<Board> boards;  // one per distinct position, in the order found
};

// Every step of the piece on `from` (the position in state.board): each one ends a move; a
// capture may also go on while the other side has pieces left.
inline void ReferenceSteps(GameState& state, SquareRef from, ReferenceMoves& out) {
  const int side = state.side_to_move;
  for (int column = 1; column <= 8; ++column) {
    for (int row = 1; row <= 8; ++row) {
      const SquareRef to = MakeSquare(column, row);
      const MoveCheckResult r = CheckMove(state, from, to);
      if (!r.ok || ReadCell(state.board, to) != kEmpty) continue;
      const Board before = state.board;
      WriteCell(state.board, to, ReadCell(state.board, from));
      WriteCell(state.board, from, kEmpty);
      Promote(state.board, to);
      const bool takes = ReadCell(state.board, r.captured) != kUnusable;
      if (takes) WriteCell(state.board, r.captured, kEmpty);
      if (out.seen.insert(PlayableCodes(state.board)).second) out.boards.push_back(state.board);
      if (takes && PlayablePieces(state.board, -side) > 0) ReferenceSteps(state, to, out);
      state.board = before;
    }
  }
}

// The distinct positions that the moves of `side` leave.
inline ReferenceMoves ReferenceMovesOf(const Board& board, int side) {
  GameState state;
  state.board = board;
  state.side_to_move = static_cast<int8_t>(side);
  ReferenceMoves out;
  for (int column = 1; column <= 8; ++column) {
    for (int row = 1; row <= 8; ++row) {
      const SquareRef s = MakeSquare(column, row);
      if ((column + row) % 2 == 0 && IsPieceOf(ReadCell(board, s), side)) {
        ReferenceSteps(state, s, out);
      }
    }
  }
  return out;
}

inline uint64_t ReferencePerft(const Board& board, int side, int depth) {
  if (depth <= 0) return 1;
  const ReferenceMoves moves = ReferenceMovesOf(board, side);
  if (depth == 1) return moves.boards.size();
  uint64_t count = 0;
  for (const Board& next : moves.boards) count += ReferencePerft(next, -side, depth - 1);
  return count;
}

}  // namespace zelbo::testing
