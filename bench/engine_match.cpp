// SPDX-License-Identifier: GPL-3.0-or-later
// Matches between the levels, the top level against the designed computer through the window's
// own path, and the top level against another program through the match protocol.
//
//   zelbo_match levels [--ms MS | --nodes N] [--openings N] [--pairs 2:1,3:2,4:3]
//                      [--set NAME=VALUE,...]
//     Each pair A:B plays every opening twice, A with each colour. Every reply of a searching
//     level is checked against the move rules. Level 1 plays side -1 on the board turned round.
//     Level 5 is the top level with the weights of --set (for tuning). With --nodes every
//     searching level searches that many nodes instead of thinking MS: the games no longer depend
//     on the machine's load. Prints wins, draws and losses of A, and A's score.
//   zelbo_match engine --program COMMAND [--ms MS | --nodes N] [--openings N] [--plies P]
//                      [--seed S] [--timeout MS] [--set NAME=VALUE,...]
//     The top level (with the weights of --set, when given) against the program that the shell
//     runs from COMMAND, which speaks the match protocol (README). Each of N openings, P moves
//     deep (2 by default) and drawn by the seed, is played with both colours; every answer is
//     checked against the move rules, and an answer that is not a legal move, or none within
//     --timeout, loses the game. Prints every game and a table of the results.
//   zelbo_match hint [--ms MS | --nodes N] [--openings N]
//     The top level plays the player's side through hint, its moves clicked through the click
//     protocol, against the designed ComputerReply, from N openings (100 by default).
//
// A game ends when the side to move has no legal move (it has lost), or drawn by the game's rules,
// when a position comes back a third time with the same side to move or after 25 moves of each
// side in a row that moved a king and took nothing, or after 150 moves of each side.
#include <bit>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
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
#include "outside_engine.h"
#include "record/game_record.h"

namespace zelbo::bench {
namespace {

constexpr int kMaxPlies = 300;
using Clock = std::chrono::steady_clock;

struct Options {
  int ms = 50;
  uint64_t nodes = 0;  // when set, every searching level searches this many nodes
  int openings = 12;
  int plies = 2;  // how deep the openings of `engine` are
  uint64_t seed = 1;
  int timeout_ms = 0;  // 0: ten times the time a move, and five seconds more
  std::vector<std::pair<int, int>> pairs = {{2, 1}, {3, 2}, {4, 3}};
  engine::EvalWeights challenger;
  bool weights_set = false;
  std::string program;
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

// What a player did on its turn: the board after its move, or no move (it has lost), or a
// refused answer (it has lost, and `fault` says why).
struct Turn {
  std::optional<Board> after;
  std::string fault;
};

// A player: its turn for `side` on `board`, given the game's positions with side -1 to move.
using Player = std::function<Turn(const Board& board, int side, const std::vector<Board>& history)>;

// A searching level's turn, checked against the move rules; a level above LevelCount is the top
// level with the challenger's weights.
Turn LevelTurn(Engine& engine, const Options& options, int level, const Board& board, int side,
               const std::vector<Board>& history) {
  if (level == 1) return {DesignedReply(board, side), {}};
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
  if (!move) return {std::nullopt, HasMove(board, side) ? "no move although it had one" : ""};
  auto after = CheckedReply(board, side, *move);
  return {after, after ? "" : "an illegal move"};
}

enum class Outcome { kFirstWins, kDraw, kSecondWins };

struct GameResult {
  Outcome outcome = Outcome::kDraw;
  int plies = 0;
  std::string ending;  // how it ended
  bool fault = false;  // the loser's answer was refused
};

std::string PositionKey(const Board& board, int side) {
  return FormatBoardLine(board) + (side > 0 ? "+" : "-");
}

// Whether the move from `before` to `after` moved a king and took nothing: every man stays where
// it was, and the pieces are as many.
bool KingsAlone(const Board& before, const Board& after) {
  const engine::Position a = engine::PositionOf(before, kPlayerSide);
  const engine::Position b = engine::PositionOf(after, kPlayerSide);
  return ((a.pieces[0] | a.pieces[1]) & ~a.kings) == ((b.pieces[0] | b.pieces[1]) & ~b.kings) &&
         std::popcount(a.pieces[0] | a.pieces[1]) == std::popcount(b.pieces[0] | b.pieces[1]);
}

// A game from `opening`, side -1 (to move) played by `first`.
GameResult PlayGame(const Board& opening, const Player& first, const Player& second) {
  Board board = opening;
  int side = kPlayerSide;
  std::vector<Board> history = {opening};  // the positions with side -1 to move
  std::map<std::string, int> seen;
  int quiet_king_plies = 0;
  for (int ply = 0; ply < kMaxPlies; ++ply) {
    if (++seen[PositionKey(board, side)] == 3) return {Outcome::kDraw, ply, "third repetition"};
    if (quiet_king_plies == kQuietKingMovesForDraw) {
      return {Outcome::kDraw, ply, "25 moves of each side by kings alone"};
    }
    const Outcome loss = side == kPlayerSide ? Outcome::kSecondWins : Outcome::kFirstWins;
    if (!HasMove(board, side)) return {loss, ply, "no legal move"};
    const Turn turn = (side == kPlayerSide ? first : second)(board, side, history);
    if (!turn.fault.empty()) return {loss, ply, turn.fault, true};
    if (!turn.after) return {loss, ply, "declared itself blocked"};
    quiet_king_plies = KingsAlone(board, *turn.after) ? quiet_king_plies + 1 : 0;
    board = *turn.after;
    side = -side;
    if (side == kPlayerSide) history.push_back(board);
  }
  if (std::getenv("ZELBO_MATCH_VERBOSE") != nullptr) {
    std::printf("draw: %s\n", FormatBoardLine(board).c_str());
  }
  return {Outcome::kDraw, kMaxPlies, "150 moves each"};
}

std::string Limit(const Options& options) {
  return options.nodes > 0 ? std::to_string(options.nodes) + " nodes"
                           : std::to_string(options.ms) + " ms";
}

int RunLevels(const Options& options) {
  const std::vector<Board> openings = Openings(2, options.openings);
  Engine engine;
  engine.SetFixedNodes(options.nodes);
  std::printf("%d openings, two games each, %s a reply\n", static_cast<int>(openings.size()),
              Limit(options).c_str());
  int failures = 0;
  for (const auto& [a, b] : options.pairs) {
    int wins = 0, draws = 0, losses = 0, illegal = 0;
    for (const Board& opening : openings) {
      for (int colour = 0; colour < 2; ++colour) {
        const int first = colour == 0 ? a : b;
        const int second = colour == 0 ? b : a;
        const auto player = [&](int level) -> Player {
          return [&, level](const Board& board, int side, const std::vector<Board>& history) {
            return LevelTurn(engine, options, level, board, side, history);
          };
        };
        const GameResult result = PlayGame(opening, player(first), player(second));
        if (result.fault) {
          ++illegal;
        } else if (result.outcome == Outcome::kDraw) {
          ++draws;
        } else if ((result.outcome == Outcome::kFirstWins) == (colour == 0)) {
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

// Wins, draws and losses of one player, and the slowest of its replies.
struct Tally {
  int wins = 0, draws = 0, losses = 0;
  void Add(double points) { points > 0.75 ? ++wins : points > 0.25 ? ++draws : ++losses; }
  int Games() const { return wins + draws + losses; }
  double Score() const { return Games() == 0 ? 0 : (wins + 0.5 * draws) / Games(); }
  // Half the width of the score's 95% interval: 1.96 standard errors of the mean of the games'
  // points (1, 1/2 or 0).
  double Margin() const {
    const int n = Games();
    if (n < 2) return 0;
    const double s = Score();
    const double variance =
        (wins * (1 - s) * (1 - s) + draws * (0.5 - s) * (0.5 - s) + losses * s * s) / n;
    return 1.96 * std::sqrt(variance / n);
  }
};

void PrintTallyRow(const char* label, const Tally& t) {
  std::printf("| %s | %d | %d | %d | %d | %.1f%% ± %.1f |\n", label, t.Games(), t.wins, t.draws,
              t.losses, 100 * t.Score(), 100 * t.Margin());
}

// A turn timed: the slowest so far is kept in `slowest` (ms).
Turn Timed(const Player& player, const Board& board, int side, const std::vector<Board>& history,
           double& slowest) {
  const auto begin = Clock::now();
  Turn turn = player(board, side, history);
  slowest =
      std::max(slowest, std::chrono::duration<double, std::milli>(Clock::now() - begin).count());
  return turn;
}

int RunEngine(const Options& options) {
  if (options.program.empty()) {
    std::fprintf(stderr, "zelbo_match engine: --program COMMAND is needed\n");
    return 2;
  }
  const std::vector<Board> openings = Openings(options.plies, options.openings, options.seed);
  const int ms = options.ms;
  const auto timeout = std::chrono::milliseconds(
      options.timeout_ms > 0 ? options.timeout_ms : 10 * std::max(ms, 1) + 5000);
  Engine engine;
  engine.SetFixedNodes(options.nodes);
  OutsideEngine other(options.program);
  double ours_slowest = 0, other_slowest = 0;
  const int top = options.weights_set ? LevelCount() + 1 : LevelCount();
  const Player ours = [&](const Board& board, int side, const std::vector<Board>& history) {
    return Timed(
        [&](const Board& b, int s, const std::vector<Board>& h) {
          return LevelTurn(engine, options, top, b, s, h);
        },
        board, side, history, ours_slowest);
  };
  const Player theirs = [&](const Board& board, int side, const std::vector<Board>& history) {
    return Timed(
        [&](const Board& b, int s, const std::vector<Board>&) -> Turn {
          const auto answer = other.Ask(b, s, ms, timeout);
          if (!answer) return {std::nullopt, "no answer in time"};
          const auto move = ParseAnswer(*answer);
          const auto after = move ? CheckedReply(b, s, *move) : std::nullopt;
          if (!after) return {std::nullopt, "refused answer \"" + *answer + "\""};
          return {after, {}};
        },
        board, side, history, other_slowest);
  };

  std::printf(
      "the top level against \"%s\": %d openings two moves deep (seed %llu), each "
      "played with both colours, %s a move\n",
      options.program.c_str(), static_cast<int>(openings.size()),
      static_cast<unsigned long long>(options.seed), Limit(options).c_str());
  Tally by_colour[2], all;
  int faults = 0;
  for (std::size_t i = 0; i < openings.size(); ++i) {
    for (int colour = 0; colour < 2; ++colour) {
      const bool ours_first = colour == 0;  // the top level plays side -1, which moves first
      other.NewGame();
      const GameResult result =
          ours_first ? PlayGame(openings[i], ours, theirs) : PlayGame(openings[i], theirs, ours);
      const double points = result.outcome == Outcome::kDraw                        ? 0.5
                            : (result.outcome == Outcome::kFirstWins) == ours_first ? 1
                                                                                    : 0;
      by_colour[colour].Add(points);
      all.Add(points);
      if (result.fault && points > 0.5) ++faults;
      if (result.fault && points < 0.5) {
        std::fprintf(stderr, "the top level's own answer was refused\n");
        return 1;
      }
      std::printf("opening %2zu, top level as side %s: %-4s after %3d plies (%s)\n", i + 1,
                  ours_first ? "-1" : "+1",
                  points > 0.75   ? "win"
                  : points > 0.25 ? "draw"
                                  : "loss",
                  result.plies, result.ending.c_str());
      std::fflush(stdout);
    }
  }
  std::printf("\n| the top level plays | games | wins | draws | losses | score (95%%) |\n");
  std::printf("|---|---|---|---|---|---|\n");
  PrintTallyRow("side -1 (moves first)", by_colour[0]);
  PrintTallyRow("side +1", by_colour[1]);
  PrintTallyRow("both", all);
  std::printf("\ngames the other program lost by a refused or missing answer: %d\n", faults);
  std::printf("slowest reply: the top level %.1f ms, the other program %.1f ms\n", ours_slowest,
              other_slowest);
  return 0;
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

// Splits "a,b,c" and calls `each` on every part; false as soon as it is.
bool ForEachPart(const std::string& value, const std::function<bool(const std::string&)>& each) {
  for (std::size_t at = 0; at < value.size();) {
    const std::size_t end = std::min(value.find(',', at), value.size());
    if (!each(value.substr(at, end - at))) return false;
    at = end + 1;
  }
  return true;
}

bool ParseOption(Options& options, std::string_view option, const std::string& value) {
  if (option == "--ms") {
    options.ms = std::atoi(value.c_str());
  } else if (option == "--nodes") {
    options.nodes = std::strtoull(value.c_str(), nullptr, 10);
  } else if (option == "--openings") {
    options.openings = std::atoi(value.c_str());
  } else if (option == "--plies") {
    options.plies = std::atoi(value.c_str()) & ~1;  // an even count: side -1 to move
  } else if (option == "--seed") {
    options.seed = std::strtoull(value.c_str(), nullptr, 10);
  } else if (option == "--timeout") {
    options.timeout_ms = std::atoi(value.c_str());
  } else if (option == "--program") {
    options.program = value;
  } else if (option == "--pairs") {
    options.pairs.clear();
    return ForEachPart(value, [&](const std::string& pair) {
      const std::size_t colon = pair.find(':');
      if (colon == std::string::npos) return false;
      options.pairs.push_back({std::atoi(pair.c_str()), std::atoi(pair.c_str() + colon + 1)});
      return true;
    });
  } else if (option == "--set") {
    options.weights_set = true;
    return ForEachPart(value, [&](const std::string& setting) {
      const std::size_t equals = setting.find('=');
      int* field = equals == std::string::npos
                       ? nullptr
                       : WeightNamed(options.challenger, setting.substr(0, equals));
      if (field != nullptr) *field = std::atoi(setting.c_str() + equals + 1);
      return field != nullptr;
    });
  } else {
    return false;
  }
  return true;
}

}  // namespace
}  // namespace zelbo::bench

int main(int argc, char** argv) {
  using namespace zelbo::bench;
  constexpr const char* kUsage =
      "usage: zelbo_match levels [--ms MS | --nodes N] [--openings N] [--pairs A:B,...] "
      "[--set NAME=VALUE,...]\n"
      "       zelbo_match engine --program COMMAND [--ms MS | --nodes N] [--openings N] "
      "[--plies P] [--seed S] [--timeout MS] [--set NAME=VALUE,...]\n"
      "       zelbo_match hint [--ms MS | --nodes N] [--openings N]\n";
  const std::string_view mode = argc < 2 ? "" : argv[1];
  Options options;
  if (mode == "hint") options.openings = 100;
  if (mode == "engine") options.openings = 20;
  for (int i = 2; i < argc; i += 2) {
    if (i + 1 >= argc || !ParseOption(options, argv[i], argv[i + 1])) {
      std::fputs(kUsage, stderr);
      return 2;
    }
  }
  if (mode == "levels") return RunLevels(options);
  if (mode == "engine") return RunEngine(options);
  if (mode == "hint") return RunHint(options);
  std::fputs(kUsage, stderr);
  return 2;
}
