// SPDX-License-Identifier: GPL-3.0-or-later
#include "computer/computer_turn.h"

#include "computer/experience_matching.h"
#include "computer/move_choice.h"
#include "game/end_of_game.h"
#include "game/take_back.h"
#include "record/played_moves.h"

namespace zelbo {
namespace {

RecordedMove MoveOfTurn(const GamePosition& before, const TurnMove& played) {
  switch (played.kind) {
    case TurnMove::Kind::kExperience:
      return ExperienceMove(before.board, before.side, played.from, played.to, played.captured);
    case TurnMove::Kind::kCapture:
      return DesignedChain(before.board, before.side, played.from);
    case TurnMove::Kind::kPlain:
    case TurnMove::Kind::kNone:
      break;
  }
  return PlainStep(before.board, before.side, played.from, played.to);
}

}  // namespace

// The player-blocked check trusts the capture scores of the last plain-move choice. Neither check
// runs once the game is over: a computer that has just declared itself blocked has lost, and the
// player must not be told the opposite.
TurnMove ComputerTurn(GameState& state, BoardWindowPort& port) {
  bool move_played = false;
  if (port.IsExperienceChecked()) {
    const ExperienceRecord* record = PlayExperience(state, port, move_played);
    if (move_played) {
      port.DrawBoard();
      return {TurnMove::Kind::kExperience, record->from, record->to, record->captured};
    }
  }
  state.backup_board = state.board;
  TurnMove played;
  const SquareRef chain = ChooseCapture(state, move_played);
  if (!move_played) {
    const PlainMove plain = PlayPlainMove(state, port, move_played);
    if (move_played) played = {TurnMove::Kind::kPlain, plain.from, plain.to, 0};
  } else {
    port.DrawBoard();
    played = {TurnMove::Kind::kCapture, chain, 0, 0};
  }
  if (!state.game_over && state.computer_capture_score == 0) CheckPlayerBlocked(state, port);
  if (!state.game_over) CheckMaterial(state, port);
  return played;
}

void ComputerReply(GameState& state, BoardWindowPort& port) {
  if (!port.IsComputerChecked() || state.side_to_move != kComputerSide || state.game_over) return;
  const GamePosition before{state.board, state.side_to_move};
  const TurnMove played = ComputerTurn(state, port);
  RecordTurn(state, port, before, played);
  AppendHistory(state, port);
}

void RecordTurn(GameState& state, BoardWindowPort& port, const GamePosition& before,
                const TurnMove& played) {
  if (played.kind != TurnMove::Kind::kNone) {
    RecordedMove move = MoveOfTurn(before, played);
    move.after = state.board;
    state.record.Append(before, std::move(move));
  }
  CheckGameEnds(state, port);
}

}  // namespace zelbo
