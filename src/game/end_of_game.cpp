// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/end_of_game.h"

#include <algorithm>
#include <cstdint>

namespace zelbo {
namespace {

constexpr int kGaugeMax = 120;

bool HasFreeStep(const Board& board, SquareRef s, Direction first, Direction last) {
  for (Direction d = first; d <= last; ++d) {
    if (ReadCell(board, Neighbour(s, d, 1)) == kEmpty) return true;
  }
  return false;
}

void EndGame(GameState& state, BoardWindowPort& port, std::string_view title,
             std::string_view message) {
  port.SetApplicationTitle(title);
  port.ShowMessage(message);
  state.game_over = true;
  port.SetPanelVisible(true);
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

}  // namespace zelbo
