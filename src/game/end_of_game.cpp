// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/end_of_game.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "game/move_rules.h"

namespace zelbo {
namespace {

constexpr int kGaugeMax = 120;

constexpr std::string_view kGameEndTitle = "Fin de partie";
constexpr std::string_view kDrawTitle = "Partie nulle";
constexpr std::string_view kRepetitionMessage =
    "Partie nulle : la même position se présente pour la troisième fois.";
constexpr std::string_view kKingMovesMessage =
    "Partie nulle : 25 coups de chaque côté sans prise, où seules les dames ont joué.";
constexpr std::string_view kComputerAcceptsMessage = "L'ordinateur accepte la nulle.";
constexpr std::string_view kPlayersAgreeMessage = "Nulle acceptée : partie nulle.";
constexpr std::string_view kDrawRefusedTitle = "Nulle refusée";
constexpr std::string_view kComputerRefusesMessage =
    "L'ordinateur refuse la nulle : la partie continue.";
constexpr std::string_view kPlayerRefusesMessage = "Nulle refusée : la partie continue.";

bool HasFreeStep(const Board& board, SquareRef s, Direction first, Direction last) {
  for (Direction d = first; d <= last; ++d) {
    if (ReadCell(board, Neighbour(s, d, 1)) == kEmpty) return true;
  }
  return false;
}

// The sentence's first letter in capitals: the side names are written in lower case.
std::string Capitalized(std::string_view text) {
  std::string sentence(text);
  if (!sentence.empty()) sentence[0] = static_cast<char>(sentence[0] - 'a' + 'A');
  return sentence;
}

void EndGame(GameState& state, BoardWindowPort& port, std::string_view title,
             std::string_view message) {
  port.SetApplicationTitle(title);
  port.ShowMessage(message);
  state.game_over = true;
  port.SetPanelVisible(true);
}

// The ends that the designed game does not have: the record takes the result first.
void EndGameWith(GameState& state, BoardWindowPort& port, GameResult result, std::string_view title,
                 std::string_view message) {
  state.record.set_result(result);
  EndGame(state, port, title, message);
}

// In two-player mode both sides are played at the mouse: a side to move with pieces and no legal
// move has lost.
void CheckSideToMoveCanMove(GameState& state, BoardWindowPort& port) {
  const int side = state.side_to_move;
  if (PieceCount(state.board, side) == 0 || HasLegalMove(state.board, side)) return;
  EndGameWith(state, port, WinFor(-side), kGameEndTitle,
              Capitalized(SideName(side)) + " n'ont plus aucun coup possible : " +
                  std::string(SideName(-side)) + " gagnent.");
}

}  // namespace

bool IsBlocked(const Board& board, SquareRef s) {
  switch (ReadCell(board, s)) {
    case kPlayerKing:
      return !HasFreeStep(board, s, 1, 4);
    case kPlayerMan:
      return !HasFreeStep(board, s, 3, 4);
    default:
      return true;
  }
}

void CheckPlayerBlocked(GameState& state, BoardWindowPort& port) {
  uint8_t pieces = 0;
  uint8_t blocked = 0;
  for (int column = 1; column <= 8; ++column) {
    for (int row = 1; row <= 8; ++row) {
      const CellCode code = state.board.Code(column, row);
      if (code != kPlayerMan && code != kPlayerKing) continue;
      ++pieces;
      if (IsBlocked(state.board, MakeSquare(column, row))) ++blocked;
    }
  }
  if (blocked != pieces || pieces == 0 || state.player_capture_score != 0) return;
  port.SetApplicationTitle("Sorry ");
  port.ShowErrorDialog("because all your player is blocked sorry\r YOU ARE LOST");
  state.game_over = true;
  port.SetPanelVisible(true);
}

void CheckMaterial(GameState& state, BoardWindowPort& port) {
  uint8_t computer_pieces = 0;
  uint8_t player_pieces = 0;
  for (int column = 1; column <= 8; ++column) {
    for (int row = 1; row <= 8; ++row) {
      const CellCode code = state.board.Code(column, row);
      if (code == kComputerMan || code == kComputerKing) ++computer_pieces;
      if (code == kPlayerMan || code == kPlayerKing) ++player_pieces;
    }
  }
  // A gauge keeps the value it is given within its range.
  port.SetGauges(std::min(10 * player_pieces, kGaugeMax),
                 std::min(10 * computer_pieces, kGaugeMax));
  if (player_pieces == 0) EndGame(state, port, "Sorry", " -  YOU have LOST  - ");
  if (computer_pieces == 0) EndGame(state, port, "Congratulation", " * * *  you have WIN  * * * ");
}

int PieceCount(const Board& board, int side) {
  int count = 0;
  for (int column = 1; column <= 8; ++column) {
    for (int row = 1; row <= 8; ++row) {
      if (IsOwnPiece(board, side, MakeSquare(column, row))) ++count;
    }
  }
  return count;
}

std::string_view SideName(int side) {
  return side == kPlayerSide ? "les blancs (en bas)" : "les noirs (en haut)";
}

void NoteResult(GameState& state) {
  if (!state.game_over || state.record.result() != GameResult::kUnfinished) return;
  if (PieceCount(state.board, kPlayerSide) == 0) {
    state.record.set_result(WinFor(kComputerSide));
  } else if (PieceCount(state.board, kComputerSide) == 0) {
    state.record.set_result(WinFor(kPlayerSide));
  } else {
    state.record.set_result(WinFor(-state.side_to_move));
  }
}

void CheckGameEnds(GameState& state, BoardWindowPort& port) {
  NoteResult(state);
  if (state.game_over) return;
  switch (DrawRuleReached(state.record)) {
    case DrawRule::kThirdRepetition:
      return EndGameWith(state, port, GameResult::kDraw, kDrawTitle, kRepetitionMessage);
    case DrawRule::kKingMovesOnly:
      return EndGameWith(state, port, GameResult::kDraw, kDrawTitle, kKingMovesMessage);
    case DrawRule::kNone:
      break;
  }
  if (!port.IsComputerChecked()) CheckSideToMoveCanMove(state, port);
}

void Resign(GameState& state, BoardWindowPort& port) {
  if (state.game_over) return;
  DropMoveUnderWay(state);
  const int side = state.side_to_move;
  EndGameWith(
      state, port, WinFor(-side), kGameEndTitle,
      Capitalized(SideName(side)) + " abandonnent : " + std::string(SideName(-side)) + " gagnent.");
}

void EndByAgreedDraw(GameState& state, BoardWindowPort& port, bool by_computer) {
  if (state.game_over) return;
  DropMoveUnderWay(state);
  EndGameWith(state, port, GameResult::kDraw, kDrawTitle,
              by_computer ? kComputerAcceptsMessage : kPlayersAgreeMessage);
}

void RefuseDraw(BoardWindowPort& port, bool by_computer) {
  port.SetApplicationTitle(kDrawRefusedTitle);
  port.ShowMessage(by_computer ? kComputerRefusesMessage : kPlayerRefusesMessage);
}

}  // namespace zelbo
