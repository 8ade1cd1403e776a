// SPDX-License-Identifier: GPL-3.0-or-later
// Matches between the levels, and the top level against the designed computer through the window's
// own path.
//
//   zelbo_match levels [--ms MS | --nodes N] [--openings N] [--pairs 2:1,3:2,4:3]
//                      [--set NAME=VALUE,...]
//     Each pair A:B plays every opening twice, A with each colour; a game that has not ended after
//     150 moves of each side is a draw. Every reply of a searching level is checked against the
//     move rules. Level 1 plays side -1 on the board turned round. Level 5 is the top level with
//     the weights of --set (for tuning). With --nodes every searching level searches that many
//     nodes instead of thinking MS: the games no longer depend on the machine's load. Prints
//     wins, draws and losses of A, and A's score.
//   zelbo_match hint [--ms MS | --nodes N] [--openings N]
//     The top level plays the player's side through hint, its moves clicked through the click
//     protocol, against the designed ComputerReply, from N openings (100 by default).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "computer/computer_turn.h"
#include "corpus.h"
#include "engine/level_turn.h"
#include "game/click_protocol.h"
#include "game/notation.h"
#include "match_support.h"

namespace zelbo::bench {
namespace {

constexpr int kMaxPlies = 300;

struct Options {
  int ms = 50;
  uint64_t nodes =
      0;  // when set, every searching level searches this many nodes, whatever the time
  int openings = 12;
  std::vector<std::pair<int, int>> pairs = {{2, 1}, {3, 2}, {4, 3}};
  engine::EvalWeights challenger;
};

int* WeightNamed(engine::EvalWeights& w, std::string_view name) {
  static const std::map<std::string_view, int engine::EvalWeights::*> fields = {
      {"man", &engine::EvalWeights::man},
      {"king", &engine::EvalWeights::king},
      {"back_row", &engine::EvalWeights::back_row},
      {"mobility", &engine::EvalWeights::mobility},
      {"runaway", &engine::EvalWeights::runaway},
      {"king_centre", &engine::EvalWeights::king_centre},
      {"trade", &engine::EvalWeights::trade},
      {"chase", &engine::EvalWeights::chase}};
  const auto it = fields.find(name);
  return it == fields.end() ? nullptr : &(w.*(it->second));
}

enum class Outcome { kFirstWins, kDraw, kSecondWins, kIllegal };

// One reply of `level` for `side`; no value when it has no move (or the designed computer
// declares itself blocked). A searching level's illegal reply sets `illegal`.
std::optional<Board> Reply(Engine& engine, const Options& options, int level, const Board& board,
                           int side, const std::vector<Board>& history, bool& illegal) {
  if (level == 1) return DesignedReply(board, side);
  std::optional<LevelMove> move;
  if (level > LevelCount()) {
    engine::SearchLimits limits;
    limits.milliseconds = options.nodes > 0 ? 0 : options.ms;
    limits.nodes = options.nodes;
    move = Engine::ToLevelMove(
        board, static_cast<int8_t>(side),
        engine.Search(board, static_cast<int8_t>(side), limits, options.challenger, history));
  } else {
    move = engine.Choose(board, static_cast<int8_t>(side), level, options.ms, nullptr, history);
  }
  if (!move) {
    if (HasMove(board, side)) illegal = true;
    return std::nullopt;
  }
  auto after = CheckedReply(board, side, *move);
  if (!after) illegal = true;
  return after;
}

// A game from `opening`, side -1 (to move) played by `first`.
Outcome PlayGame(Engine& engine, const Options& options, const Board& opening, int first,
                 int second) {
  Board board = opening;
  int side = kPlayerSide;
  std::vector<Board> history;  // the positions with side -1 to move, as the take-back list
  for (int ply = 0; ply < kMaxPlies; ++ply) {
    const int level = side == kPlayerSide ? first : second;
    bool illegal = false;
    const auto next = Reply(engine, options, level, board, side, history, illegal);
    if (illegal) return Outcome::kIllegal;
    if (!next) return side == kPlayerSide ? Outcome::kSecondWins : Outcome::kFirstWins;
    board = *next;
    side = -side;
    if (side == kPlayerSide) history.push_back(board);
  }
  if (std::getenv("ZELBO_MATCH_VERBOSE") != nullptr) {
    std::printf("draw %d vs %d: %s\n", first, second, FormatBoardLine(board).c_str());
  }
  return Outcome::kDraw;
}

int RunLevels(const Options& options) {
  const std::vector<Board> openings = Openings(2, options.openings);
  Engine engine;
  engine.SetFixedNodes(options.nodes);
  std::printf("%d openings, two games each, %s a reply\n", static_cast<int>(openings.size()),
              options.nodes > 0 ? (std::to_string(options.nodes) + " nodes").c_str()
                                : (std::to_string(options.ms) + " ms").c_str());
  int failures = 0;
  for (const auto& [a, b] : options.pairs) {
    int wins = 0, draws = 0, losses = 0, illegal = 0;
    for (const Board& opening : openings) {
      for (int colour = 0; colour < 2; ++colour) {
        const int first = colour == 0 ? a : b;
        const int second = colour == 0 ? b : a;
        const Outcome outcome = PlayGame(engine, options, opening, first, second);
        if (outcome == Outcome::kIllegal) {
          ++illegal;
        } else if (outcome == Outcome::kDraw) {
          ++draws;
        } else if ((outcome == Outcome::kFirstWins) == (colour == 0)) {
          ++wins;
        } else {
          ++losses;
        }
      }
    }
    const int games = wins + draws + losses;
    const double score = games == 0 ? 0 : (wins + 0.5 * draws) / games * 100;
    std::printf("level %d vs level %d: %d wins, %d draws, %d losses, score %.1f%%%s\n", a, b, wins,
                draws, losses, score,
                illegal ? (" ILLEGAL REPLIES: " + std::to_string(illegal)).c_str() : "");
    std::fflush(stdout);
    failures += illegal;
  }
  return failures == 0 ? 0 : 1;
}

// A port that keeps the end-of-game words to tell who won.
class OutcomePort : public SilentPort {
 public:
  void ShowMessage(std::string_view text) override { messages += std::string(text) + "\n"; }
  void ShowErrorDialog(std::string_view text) override { messages += std::string(text) + "\n"; }
  std::string messages;
};

std::string EscapeMessages(std::string text) {
  for (char& c : text) {
    if (c == '\r' || c == '\n') c = '|';
  }
  return text;
}

int RunHint(const Options& options) {
  const std::vector<Board> openings = Openings(4, options.openings);
  Engine engine;
  engine.SetFixedNodes(options.nodes);
  int wins = 0, draws = 0, losses = 0, refused = 0;
  for (const Board& opening : openings) {
    OutcomePort port;
    GameState state;
    NewGame(state, port);
    state.board = opening;
    state.execution_time = options.ms;
    for (int move = 0; move < kMaxPlies / 2 && !state.game_over; ++move) {
      const auto hint = engine.Hint(state.board, kPlayerSide, options.ms, nullptr, state.history);
      if (!hint) break;
      BoardMouseUp(state, port, hint->from, MouseButton::kLeft);
      for (int i = 0; i < hint->landing_count && !state.game_over; ++i) {
        const bool last = i + 1 == hint->landing_count;
        BoardMouseUp(state, port, hint->landings[i],
                     last ? MouseButton::kLeft : MouseButton::kRight);
      }
      if (port.messages.find("illegal") != std::string::npos) {
        ++refused;
        break;
      }
      ComputerReply(state, port);
    }
    if (std::getenv("ZELBO_MATCH_VERBOSE") != nullptr && !state.game_over) {
      std::printf("unfinished: %s\n", FormatBoardLine(state.board).c_str());
    }
    const bool won = port.messages.find("WIN") != std::string::npos;
    const bool lost = port.messages.find("LOST") != std::string::npos ||
                      (!state.game_over && !HasMove(state.board, kPlayerSide));
    if (won && !lost) {
      ++wins;
    } else if (lost) {
      ++losses;
      std::printf("lost from opening %d: %s; %s\n", static_cast<int>(&opening - openings.data()),
                  FormatBoardLine(state.board).c_str(), EscapeMessages(port.messages).c_str());
    } else {
      ++draws;
    }
  }
  std::printf(
      "top level through hint and clicks vs the designed computer, %d openings, %d ms: "
      "%d wins, %d draws, %d losses, %d refused clicks\n",
      static_cast<int>(openings.size()), options.ms, wins, draws, losses, refused);
  return losses == 0 && refused == 0 && wins * 100 >= 95 * static_cast<int>(openings.size()) ? 0
                                                                                             : 1;
}

}  // namespace
}  // namespace zelbo::bench

int main(int argc, char** argv) {
  using namespace zelbo::bench;
  if (argc < 2) {
    std::fprintf(stderr,
                 "usage: zelbo_match levels|hint [--ms MS] [--openings N] [--pairs A:B,...] "
                 "[--set NAME=VALUE,...]\n");
    return 2;
  }
  const std::string_view mode = argv[1];
  Options options;
  if (mode == "hint") options.openings = 100;
  for (int i = 2; i + 1 < argc; i += 2) {
    const std::string_view option = argv[i];
    const std::string value = argv[i + 1];
    if (option == "--ms") {
      options.ms = std::atoi(value.c_str());
    } else if (option == "--nodes") {
      options.nodes = std::strtoull(value.c_str(), nullptr, 10);
    } else if (option == "--openings") {
      options.openings = std::atoi(value.c_str());
    } else if (option == "--pairs") {
      options.pairs.clear();
      for (std::size_t at = 0; at < value.size();) {
        const std::size_t end = std::min(value.find(',', at), value.size());
        const std::string pair = value.substr(at, end - at);
        const std::size_t colon = pair.find(':');
        if (colon == std::string::npos) return 2;
        options.pairs.push_back({std::atoi(pair.c_str()), std::atoi(pair.c_str() + colon + 1)});
        at = end + 1;
      }
    } else if (option == "--set") {
      for (std::size_t at = 0; at < value.size();) {
        const std::size_t end = std::min(value.find(',', at), value.size());
        const std::string setting = value.substr(at, end - at);
        const std::size_t equals = setting.find('=');
        int* field = equals == std::string::npos
                         ? nullptr
                         : WeightNamed(options.challenger, setting.substr(0, equals));
        if (field == nullptr) return 2;
        *field = std::atoi(setting.c_str() + equals + 1);
        at = end + 1;
      }
    } else {
      return 2;
    }
  }
  if (mode == "levels") return RunLevels(options);
  if (mode == "hint") return RunHint(options);
  return 2;
}
