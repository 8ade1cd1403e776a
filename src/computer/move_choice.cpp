// SPDX-License-Identifier: GPL-3.0-or-later
#include "computer/move_choice.h"

#include <string_view>

#include "computer/capture_search.h"

namespace zelbo {
namespace {

// A plain move leaving the player more than this to take is never played.
constexpr uint8_t kHighestAcceptedScore = 12;

constexpr std::string_view kBlockedTitle = "Congratulation";
constexpr std::string_view kBlockedMessage =
    "because all my player is blocked \rCongratulation you have WIN 1";

bool IsComputerPiece(CellCode code) { return code == kComputerMan || code == kComputerKing; }

bool IsEmpty(const Board& board, SquareRef s) { return ReadCell(board, s) == kEmpty; }

// The player's capture chances after the chain that `state` has just played, the chain's
// promotion in place.
uint8_t ThreatsAfterChain(Board& board, const ChainState& chain) {
  if (!IsNoSquare(chain.final_square)) Promote(board, chain.final_square);
  return CounterThreatCount(board);
}

// Visits the plain moves of side +1 in the order they are tried: the bottom row of the screen
// first, columns left to right; a man down-right then down-left; a king in directions 1 to 4, the
// nearest square first, up to the first square that is not empty. `visit(s, d, n)` returns false
// to stop.
template <typename Visit>
void ForEachPlainMove(const Board& board, Visit visit) {
  for (int row = 8; row >= 1; --row) {
    for (int column = 1; column <= 8; ++column) {
      const SquareRef s = MakeSquare(column, row);
      const CellCode code = board.Code(column, row);
      if (code == kComputerMan) {
        for (Direction d = 1; d <= 2; ++d) {
          if (IsEmpty(board, Neighbour(s, d, 1)) && !visit(s, d, uint8_t{1})) return;
        }
      } else if (code == kComputerKing) {
        for (Direction d = 1; d <= 4; ++d) {
          for (uint8_t n = 1; IsEmpty(board, Neighbour(s, d, n)); ++n) {
            if (!visit(s, d, n)) return;
          }
        }
      }
    }
  }
}

}  // namespace

// Every chain of side +1 is played once from the position of the start of the turn. The longest
// one wins; among the longest, the one after which the player has the fewest capture chances;
// among those, the last one in the scan, columns 1 to 8 and rows 1 to 8 within a column.
SquareRef ChooseCapture(GameState& state, bool& move_played) {
  Board& board = state.board;
  Board start;
  CopyBoard(start, board);
  Board best{};
  SquareRef best_square = 0;
  uint8_t best_count = 0;
  uint8_t best_threats = 0;
  for (int column = 1; column <= 8; ++column) {
    for (int row = 1; row <= 8; ++row) {
      if (!IsComputerPiece(board.Code(column, row))) continue;
      Board trial;
      CopyBoard(trial, board);
      ChainState chain;
      PlayCaptureChain(board, MakeSquare(column, row), chain, true);
      if (chain.capture_count > 0 && chain.capture_count >= best_count) {
        const uint8_t threats = ThreatsAfterChain(board, chain);
        if (chain.capture_count > best_count || threats <= best_threats) {
          best_count = chain.capture_count;
          best_threats = threats;
          best_square = MakeSquare(column, row);
          CopyBoard(best, board);
        }
      }
      CopyBoard(board, trial);
    }
  }
  if (best_count == 0) {
    CopyBoard(board, start);
    return 0;
  }
  state.side_to_move = static_cast<int8_t>(-state.side_to_move);
  CopyBoard(board, best);
  move_played = true;
  return best_square;
}

// Each attacked piece counts one; the attacker is then moved two squares toward its landing
// square, the attacked piece left in place, and if the piece on the landing square found again
// could take at once, one more.
uint8_t CounterThreatCount(Board& board) {
  uint8_t n = 0;
  AttackInfo info;
  for (int column = 1; column <= 8; ++column) {
    for (int row = 1; row <= 8; ++row) {
      const SquareRef p = MakeSquare(column, row);
      if (!IsComputerPiece(board.Code(column, row))) continue;
      FindAttacker(board, p, kPlayerMan, info);
      if (!info.found) continue;
      ++n;
      Board saved;
      CopyBoard(saved, board);
      MovePiece(board, info.attacker, DirectionBetween(info.attacker, info.landing).direction, 2);
      FindAttacker(board, p, kPlayerMan, info);
      if (PlayerCanCaptureFrom(board, info.landing)) ++n;
      CopyBoard(board, saved);
    }
  }
  return n;
}

bool PlayerCanCaptureFrom(const Board& board, SquareRef s) {
  const CellCode code = ReadCell(board, s);
  if (code == kPlayerKing) {
    for (Direction d = 1; d <= 4; ++d) {
      for (const CellCode e : {kComputerMan, kComputerKing}) {
        const SquareRef r = ScanLine(board, s, d, e);
        if (!IsNoSquare(r) && IsEmpty(board, Neighbour(r, d, 1))) return true;
      }
    }
    return false;
  }
  if (code == kPlayerMan) {
    for (Direction d = 3; d <= 4; ++d) {
      if (IsComputerPiece(ReadCell(board, Neighbour(s, d, 1))) &&
          IsEmpty(board, Neighbour(s, d, 2))) {
        return true;
      }
    }
  }
  return false;
}

// Each candidate is scored once by what the player could take after it; the first candidate with
// the lowest score wins, so a score of 0 ends the search at once.
PlainMove ChoosePlainMove(GameState& state, bool& move_played, Board& chosen) {
  Board& board = state.board;
  uint8_t best_score = kHighestAcceptedScore + 1;
  PlainMove best;
  ForEachPlainMove(board, [&](SquareRef s, Direction d, uint8_t n) {
    Board before;
    CopyBoard(before, board);
    MovePieceAndPromote(board, s, d, n);
    const uint8_t p = CaptureScore(board, kPlayerSide);
    if (p < best_score) {
      best_score = p;
      best = {s, Neighbour(s, d, n)};
      CopyBoard(chosen, board);
    }
    CopyBoard(board, before);
    return p != 0;
  });
  if (best_score <= kHighestAcceptedScore) move_played = true;
  state.computer_capture_score = CaptureScore(board, kComputerSide);
  state.player_capture_score = CaptureScore(board, kPlayerSide);
  return move_played ? best : PlainMove{};
}

// A computer without a move loses; once the game is over there is nobody left to tell.
PlainMove PlayPlainMove(GameState& state, BoardWindowPort& port, bool& move_played) {
  Board chosen{};
  const PlainMove move = ChoosePlainMove(state, move_played, chosen);
  if (move_played) {
    CopyBoard(state.board, chosen);
    port.DrawBoard();
    state.side_to_move = static_cast<int8_t>(-state.side_to_move);
    return move;
  }
  if (state.game_over) return move;
  port.SetApplicationTitle(kBlockedTitle);
  port.ShowMessage(kBlockedMessage);
  state.game_over = true;
  port.SetPanelVisible(true);
  return move;
}

}  // namespace zelbo
