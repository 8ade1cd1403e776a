// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/level_turn.h"

#include <algorithm>
#include <vector>

#include "computer/computer_turn.h"
#include "computer/experience_matching.h"
#include "engine/move_gen.h"
#include "game/end_of_game.h"
#include "game/take_back.h"
#include "record/played_moves.h"

namespace zelbo {
namespace {

// The designed computer's words when it cannot move, and the player's when they cannot.
constexpr std::string_view kComputerBlockedTitle = "Congratulation";
constexpr std::string_view kComputerBlockedMessage =
    "because all my player is blocked \rCongratulation you have WIN 1";
constexpr std::string_view kPlayerBlockedTitle = "Sorry ";
constexpr std::string_view kPlayerBlockedMessage =
    "because all your player is blocked sorry\r YOU ARE LOST";

void EndByBlockedComputer(GameState& state, BoardWindowPort& port) {
  if (state.game_over) return;
  port.SetApplicationTitle(kComputerBlockedTitle);
  port.ShowMessage(kComputerBlockedMessage);
  state.game_over = true;
  port.SetPanelVisible(true);
}

// A player with pieces and not one legal move by the move rules has lost; one without pieces is
// left to the material check.
void CheckPlayerHasMove(GameState& state, BoardWindowPort& port) {
  const engine::Position position = engine::PositionOf(state.board, kPlayerSide);
  if (position.Own() == 0) return;
  engine::MoveList moves;
  engine::GenerateMoves(position, moves);
  if (!moves.empty()) return;
  port.SetApplicationTitle(kPlayerBlockedTitle);
  port.ShowErrorDialog(kPlayerBlockedMessage);
  state.game_over = true;
  port.SetPanelVisible(true);
}

// The searched move joins the record as the clicks that would play it; then the end-of-game rules
// that follow a move.
void RecordLevelMove(GameState& state, BoardWindowPort& port, const GamePosition& before,
                     const std::optional<LevelMove>& move) {
  if (move) {
    const int count = std::min<int>(move->landing_count, LevelMove::kMaxLandings);
    const std::vector<SquareRef> landings(move->landings.begin(), move->landings.begin() + count);
    RecordedMove recorded = MoveOfLandings(before, move->from, landings);
    recorded.after = state.board;
    state.record.Append(before, std::move(recorded));
  }
  CheckGameEnds(state, port);
}

}  // namespace

bool ComputerReplyDue(const GameState& state, const BoardWindowPort& port) {
  return port.IsComputerChecked() && state.side_to_move == kComputerSide && !state.game_over;
}

bool PlayExperienceReply(GameState& state, BoardWindowPort& port) {
  if (!port.IsExperienceChecked()) return false;
  const GamePosition before{state.board, state.side_to_move};
  bool move_played = false;
  const ExperienceRecord* record = PlayExperience(state, port, move_played);
  if (!move_played) return false;
  port.DrawBoard();
  RecordTurn(state, port, before,
             {TurnMove::Kind::kExperience, record->from, record->to, record->captured});
  AppendHistory(state, port);
  return true;
}

void PlaySearchedReply(GameState& state, BoardWindowPort& port,
                       const std::optional<LevelMove>& move) {
  state.backup_board = state.board;
  const GamePosition before{state.board, state.side_to_move};
  if (!move) {
    EndByBlockedComputer(state, port);
  } else {
    ApplyLevelMove(state.board, *move);
    port.DrawBoard();
    state.side_to_move = kPlayerSide;
    CheckPlayerHasMove(state, port);
    if (!state.game_over) CheckMaterial(state, port);
  }
  RecordLevelMove(state, port, before, move);
  AppendHistory(state, port);
}

void LevelReply(GameState& state, BoardWindowPort& port, Engine& engine) {
  if (state.level <= 1) return ComputerReply(state, port);
  if (!ComputerReplyDue(state, port) || PlayExperienceReply(state, port)) return;
  PlaySearchedReply(state, port,
                    engine.Choose(state.board, kComputerSide, state.level, state.execution_time,
                                  nullptr, state.history));
}

}  // namespace zelbo
