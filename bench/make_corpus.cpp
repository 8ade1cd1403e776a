// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the benchmark corpus to standard output: the opening, games of a seeded random player
// against the computer, and random positions of the kinds that stress the computer (king endgames
// with long chains and slides, a player who could take a lot, a computer with no move, crowds of
// kings), with a few positions written by hand. The same program always writes the same file:
//   build/bench/zelbo_make_corpus > bench/corpus.txt
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "computer/capture_search.h"
#include "computer/computer_turn.h"
#include "computer/move_choice.h"
#include "corpus.h"
#include "game/move_rules.h"
#include "game/notation.h"

namespace zelbo::bench {
namespace {

constexpr const char* kEmptyLine =
    ".x.x.x.x/x.x.x.x./.x.x.x.x/x.x.x.x./.x.x.x.x/x.x.x.x./.x.x.x.x/x.x.x.x.";

// xorshift64*: the same numbers on every machine, unlike the standard distributions.
class Random {
 public:
  explicit Random(uint64_t seed) : state_(seed) {}
  int Below(int n) {
    state_ ^= state_ >> 12;
    state_ ^= state_ << 25;
    state_ ^= state_ >> 27;
    return static_cast<int>((state_ * 2685821657736338717ull >> 33) % static_cast<uint64_t>(n));
  }
  int Between(int low, int high) { return low + Below(high - low + 1); }

 private:
  uint64_t state_;
};

void Section(const char* title) { std::printf("# %s\n", title); }
void Emit(const Board& board) { std::printf("%s\n", FormatBoardLine(board).c_str()); }

// Pieces placed at random on empty playable squares; no man stands on its promotion row.
struct Mix {
  int computer_men, computer_kings, player_men, player_kings;
};
Board RandomBoard(Random& random, const Mix& mix) {
  Board board = *ParseBoardLine(kEmptyLine);
  const auto place = [&](CellCode code, int count) {
    while (count > 0) {
      const int column = random.Between(1, 8);
      const int row = random.Between(1, 8);
      if ((column + row) % 2 != 0 || board.Code(column, row) != kEmpty) continue;
      if ((code == kComputerMan && row == 8) || (code == kPlayerMan && row == 1)) continue;
      board.SetCode(column, row, code);
      --count;
    }
  };
  place(kComputerMan, mix.computer_men);
  place(kComputerKing, mix.computer_kings);
  place(kPlayerMan, mix.player_men);
  place(kPlayerKing, mix.player_kings);
  return board;
}

// Captures and slides of the longest chain side +1 could play.
struct ChainShape {
  int captures = 0;
  int slides = 0;
};
ChainShape LongestComputerChain(const Board& start) {
  ChainShape longest;
  for (int column = 1; column <= 8; ++column) {
    for (int row = 1; row <= 8; ++row) {
      const CellCode code = start.Code(column, row);
      if (code != kComputerMan && code != kComputerKing) continue;
      Board board = start;
      ChainState chain;
      ChainShape shape;
      SquareRef s = MakeSquare(column, row);
      for (;;) {
        const CaptureStep step = NextCaptureStep(board, s, chain);
        if (IsNoSquare(step.landing)) break;
        ++(IsNoSquare(step.taken) ? shape.slides : shape.captures);
        WriteCell(board, step.landing, ReadCell(board, s));
        WriteCell(board, step.taken, kEmpty);
        WriteCell(board, s, kEmpty);
        s = step.landing;
      }
      if (shape.captures > longest.captures) longest = shape;
    }
  }
  return longest;
}

bool ComputerIsBlocked(const Board& board) {
  GameState state;
  SetUpTurn(state, board);
  bool move_played = false;
  ChooseCapture(state, move_played);
  if (move_played) return false;
  Board chosen{};
  ChoosePlainMove(state, move_played, chosen);
  return !move_played;
}

// Writes `count` random positions of `mix` (each count drawn from its range) that `keep` accepts.
void EmitRandom(Random& random, int count, const Mix& low, const Mix& high,
                const std::function<bool(const Board&)>& keep) {
  while (count > 0) {
    const Mix mix{random.Between(low.computer_men, high.computer_men),
                  random.Between(low.computer_kings, high.computer_kings),
                  random.Between(low.player_men, high.player_men),
                  random.Between(low.player_kings, high.player_kings)};
    const Board board = RandomBoard(random, mix);
    if (!keep(board)) continue;
    Emit(board);
    --count;
  }
}

// The legal steps of side -1, as (from, to, captures) triples.
struct Step {
  SquareRef from, to;
  bool captures;
};
std::vector<Step> PlayerSteps(const GameState& state) {
  std::vector<Step> steps;
  for (int fc = 1; fc <= 8; ++fc) {
    for (int fr = 1; fr <= 8; ++fr) {
      const CellCode code = state.board.Code(fc, fr);
      if (code != kPlayerMan && code != kPlayerKing) continue;
      for (int tc = 1; tc <= 8; ++tc) {
        for (int tr = 1; tr <= 8; ++tr) {
          const SquareRef from = MakeSquare(fc, fr), to = MakeSquare(tc, tr);
          if (state.board.Code(tc, tr) != kEmpty) continue;
          const MoveCheckResult check = CheckMove(state, from, to);
          if (check.ok) steps.push_back({from, to, ReadCell(state.board, check.captured) != 3});
        }
      }
    }
  }
  return steps;
}

// A game in which the player makes single steps at random, taking when it can three times in
// four, and the computer replies; every other position with the computer to move is written.
void EmitRandomGame(Random& random, int player_moves) {
  SilentPort port;
  GameState state;
  NewGame(state, port);
  for (int move = 1; move <= player_moves && !state.game_over; ++move) {
    const std::vector<Step> steps = PlayerSteps(state);
    if (steps.empty()) return;
    std::vector<Step> captures;
    for (const Step& step : steps) {
      if (step.captures) captures.push_back(step);
    }
    const auto& pool = !captures.empty() && random.Below(4) != 0 ? captures : steps;
    const Step step = pool[static_cast<std::size_t>(random.Below(static_cast<int>(pool.size())))];
    PlayerClick(state, port, step.from, true);
    PlayerClick(state, port, step.to, true);
    if (state.game_over) return;
    if (move % 2 == 0) Emit(state.board);
    ComputerReply(state, port);
  }
}

void EmitOpening() {
  Section("The opening, and the position after each first move of the player");
  SilentPort port;
  GameState state;
  NewGame(state, port);
  Emit(state.board);
  for (const Step& step : PlayerSteps(state)) {
    GameState after = state;
    PlayerClick(after, port, step.from, true);
    PlayerClick(after, port, step.to, true);
    Emit(after.board);
  }
}

constexpr const char* kHandWritten[] = {
    "# A king that takes, slides and takes again",
    "Cx.x.x.x/xpx.x.x./.x.x.x.x/x.x.xpx./.x.x.xpx/x.x.x.x./.x.x.x.x/x.x.x.x.",
    "# A king that runs on while exposed",
    "Cx.x.x.x/xpx.x.x./.x.x.x.x/xpx.x.x./px.x.x.x/x.x.x.x./.x.x.x.x/x.x.x.x.",
    "# Two chains of equal length; the safer one is played",
    "cx.x.xcx/xpx.xpx./.x.x.x.x/x.x.xpx./.x.x.xpx/x.x.x.x./.x.x.x.x/x.x.x.x.",
    "# A man whose chain ends on row 8",
    ".x.x.x.x/x.x.x.x./.x.x.x.x/x.x.x.x./.x.x.x.x/xcx.x.x./.xpx.x.x/x.x.x.x.",
    "# Every plain move leaves the player 13 or more",
    ".x.xPx.x/x.x.xCx./.xCx.x.x/x.x.x.x./.x.x.x.x/xCx.x.x./px.xCxCx/x.x.xPx.",
    "# A man in the corner, hemmed in",
    "cx.x.x.x/xpx.x.x./.xpx.x.x/x.x.x.x./.x.x.x.x/x.x.x.x./.x.x.x.x/x.x.x.xp",
    "# The computer has nothing left",
    ".x.x.x.x/x.x.x.x./.x.x.x.x/x.x.x.x./.x.x.x.x/xpx.x.x./.x.x.x.x/x.x.x.x.",
    "# The player has nothing left",
    ".x.x.x.x/x.x.x.x./.xcx.x.x/x.x.x.x./.x.x.x.x/x.x.x.x./.x.x.x.x/x.x.x.x.",
};

}  // namespace
}  // namespace zelbo::bench

int main() {
  using namespace zelbo;
  using namespace zelbo::bench;
  std::printf("# Positions from which the computer (side +1) plays, one board line each, row 1\n");
  std::printf("# first. Written by zelbo_make_corpus; regenerate rather than edit by hand.\n");
  Random random(20240601);
  EmitOpening();
  Section("Games of a seeded random player against the computer");
  for (int game = 0; game < 12; ++game) EmitRandomGame(random, 30);
  Section("King endgames with long chains");
  EmitRandom(random, 20, {0, 1, 3, 0}, {2, 2, 7, 3},
             [](const Board& b) { return LongestComputerChain(b).captures >= 3; });
  Section("King endgames whose chains slide");
  EmitRandom(random, 15, {0, 1, 3, 0}, {2, 2, 7, 3},
             [](const Board& b) { return LongestComputerChain(b).slides >= 1; });
  Section("The player could take a lot");
  EmitRandom(random, 25, {5, 0, 3, 1}, {9, 3, 6, 3}, [](const Board& b) {
    Board board = b;
    return LongestComputerChain(b).captures == 0 && CaptureScore(board, kPlayerSide) >= 10;
  });
  Section("Side +1 has no move");
  EmitRandom(random, 10, {1, 0, 4, 0}, {4, 0, 10, 2}, ComputerIsBlocked);
  Section("Crowds of kings");
  EmitRandom(random, 15, {0, 4, 3, 1}, {3, 8, 8, 4}, [](const Board&) { return true; });
  for (const char* line : kHandWritten) std::printf("%s\n", line);
  return 0;
}
