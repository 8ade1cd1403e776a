// SPDX-License-Identifier: GPL-3.0-or-later
// Whole games played through the game's own paths, as the window plays them: a side at the mouse
// clicks a move chosen at random among its legal ones (left on the piece, right on each middle
// landing, left on the last), and the computer replies at its level. The games are reproducible
// from their seed.
#pragma once

#include <cstdint>
#include <random>
#include <vector>

#include "computer/computer_turn.h"
#include "engine/level_turn.h"
#include "engine/move_gen.h"
#include "game/click_protocol.h"
#include "game/game_state.h"
#include "support/recording_port.h"

namespace zelbo::testing {

struct SelfPlay {
  int level = 1;
  bool computer = true;
  bool experience = false;
  std::vector<ExperienceRecord> store;
  int most_plies = 300;
  // How often, in percent, the side at the mouse plays the top level's move instead of a random
  // one, so that games reach their endings.
  int hinted_percent = 0;
};

// The clicks of a move chosen at random for the side to move; none when it has no move.
inline std::vector<SquareRef> RandomMoveClicks(const Board& board, int side, std::mt19937& random) {
  const engine::Position position = engine::PositionOf(board, side);
  engine::MoveList moves;
  engine::GenerateMoves(position, moves);
  if (moves.empty()) return {};
  const engine::Move& move = moves[static_cast<int>(random() % moves.size())];
  const engine::MoveSteps steps = engine::StepsOf(position, move);
  std::vector<SquareRef> clicks{engine::RefOf(move.from)};
  for (int i = 0; i < steps.count; ++i) clicks.push_back(engine::RefOf(steps.landings[i]));
  return clicks;
}

// Plays a game from `state` (set up by the caller) until it ends, nobody can move or `most_plies`
// moves were made.
inline void PlayRandomGame(GameState& state, const SelfPlay& play, uint32_t seed) {
  RecordingPort port;
  port.computer_checked = play.computer;
  port.experience_checked = play.experience;
  state.level = play.level;
  state.experience_list = play.store;
  state.experience_count = static_cast<uint32_t>(play.store.size());
  Engine engine(1 << 12);
  engine.SetFixedNodes(500);
  std::mt19937 random(seed);
  while (!state.game_over && state.record.size() < static_cast<std::size_t>(play.most_plies)) {
    std::vector<SquareRef> clicks = RandomMoveClicks(state.board, state.side_to_move, random);
    if (!clicks.empty() && static_cast<int>(random() % 100) < play.hinted_percent) {
      if (const auto hint = engine.Hint(state.board, state.side_to_move, 0)) {
        clicks.assign({hint->from});
        clicks.insert(clicks.end(), hint->landings.begin(),
                      hint->landings.begin() + hint->landing_count);
      }
    }
    if (clicks.empty()) break;
    for (std::size_t i = 0; i < clicks.size() && !state.game_over; ++i) {
      const bool last = i == 0 || i + 1 == clicks.size();
      BoardMouseUp(state, port, clicks[i], last ? MouseButton::kLeft : MouseButton::kRight);
    }
    LevelReply(state, port, engine);
  }
}

}  // namespace zelbo::testing
