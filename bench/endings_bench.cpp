// SPDX-License-Identifier: GPL-3.0-or-later
// The endgame tables at work, and checked.
//
//   zelbo_endings play [--ms MS] [--positions N] [--seed S] [--tables FILE]
//     N seeded won kings-only positions of up to 5 pieces (two to four kings against one, two and
//     three against two, in turn; each won in at least half its material's longest win), the top
//     level to move, played out against the tables' perfect defence; and N seeded drawn ones (one
//     king against two to four, two against two and three), the top level defending against the
//     tables' perfect play, which picks among the moves that keep its draw one that repeats no
//     position, and of those the one that leaves the defender the most losing replies. Each
//     position is played twice side by side, by the top level with the tables and without them (the
//     top level before the tables). The game's draw rules apply: 25 moves of each side with only
//     kings moving and nothing taken, or the same position a third time. A drawn ending is played
//     for 50 plies. The top level plays side -1 in half the positions, side +1 in the others.
//     Prints the outcomes, the distribution of the plies a win took beyond the tables' number, and
//     the memory the tables took.
//   zelbo_endings check [--positions N] [--seed S] [--tables FILE]
//     N seeded positions of every material of the tables, either side to move, each won or lost in
//     13 plies or less checked against the engine's search without the tables, and where it errs
//     against a plain alpha-beta (table_check.h): a win or loss must be a mate in exactly the
//     tables' number of plies, a draw no mate. Every position sampled, whatever its distance, must
//     have the value of its best move by the tables.
#include <bit>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "engine/levels.h"
#include "engine/tables/endgame_tables.h"
#include "game/notation.h"
#include "match_support.h"
#include "record/game_record.h"
#include "table_check.h"

namespace zelbo::bench {
namespace {

using engine::Material;
using engine::Position;
using engine::TableValue;

constexpr int kDrawnPlies = 50;

struct Options {
  int ms = 50;
  int positions = 40;
  unsigned seed = 18;
  std::string tables = ZELBO_TABLES_FILE;
};

Board EmptyBoard() {
  return *ParseBoardLine(".x.x.x.x/x.x.x.x./.x.x.x.x/x.x.x.x./.x.x.x.x/x.x.x.x./.x.x.x.x/x.x.x.x.");
}

struct Start {
  Board board;
  int side;   // the top level's
  int plies;  // the tables' distance, for a won start
};

// The longest win of a material's table.
int LongestWin(const engine::EndgameTables& tables, const Material& m) {
  int longest = 0;
  for (uint64_t i = 0; i < engine::TableSize(m); ++i) {
    const auto view = engine::PositionAt(i, m);
    if (!view) continue;
    const TableValue value = *tables.Probe(engine::PositionOfView(*view));
    if (value.result > 0) longest = std::max(longest, value.plies);
  }
  return longest;
}

// Seeded positions of the materials, in turn, with the given result for the side to move; a won
// one at least half as long as its material's longest win. Side -1 is to move in every other one.
std::vector<Start> Starts(const engine::EndgameTables& tables,
                          const std::vector<Material>& materials, int count, int result,
                          std::mt19937& random) {
  std::vector<int> shortest;
  for (const Material& m : materials)
    shortest.push_back(result > 0 ? LongestWin(tables, m) / 2 : 0);
  std::vector<Start> starts;
  while (static_cast<int>(starts.size()) < count) {
    const std::size_t k = starts.size() % materials.size();
    const Material& m = materials[k];
    const auto view = engine::PositionAt(random() % engine::TableSize(m), m);
    if (!view) continue;
    Position p = engine::PositionOfView(*view);
    if (starts.size() % 2 == 1) p = engine::TurnedRound(p);
    const TableValue value = *tables.Probe(p);
    if (value.result != result || value.plies < shortest[k]) continue;
    starts.push_back({engine::BoardOfPosition(p, EmptyBoard()), p.side, value.plies});
  }
  return starts;
}

// The tables' move for the side to move: the shortest win, else a draw, else the longest loss.
// Among drawing moves, one to a position not `seen` yet, and of those the one that leaves the other
// side the most moves that lose.
Board TablesMove(const engine::EndgameTables& tables, const Board& board, int side,
                 const std::map<uint64_t, int>& seen) {
  const Position p = engine::PositionOf(board, side);
  engine::MoveList moves, replies;
  engine::GenerateMoves(p, moves);
  const engine::Move* best = nullptr;
  TableValue best_value;
  int best_traps = -1;
  for (const engine::Move& move : moves) {
    const Position after = engine::MakeMove(p, move);
    const TableValue value = engine::ValueBefore(*tables.Probe(after));
    int traps = seen.contains(after.key) ? -1 : 0;
    if (value.result == 0 && traps == 0) {
      engine::GenerateMoves(after, replies);
      for (const engine::Move& reply : replies) {
        traps += tables.Probe(engine::MakeMove(after, reply))->result > 0;
      }
    }
    if (best == nullptr || engine::Better(value, best_value) ||
        (value == best_value && value.result == 0 && traps > best_traps)) {
      best = &move, best_value = value, best_traps = traps;
    }
  }
  return engine::BoardOfPosition(engine::MakeMove(p, *best), board);
}

enum class End { kTopWon, kTopLost, kDrawByRule, kGoesOn };

struct Game {
  End end = End::kGoesOn;
  int plies = 0;
};

// The top level (with or without the tables) against the tables' play from a start, for at most
// `plies` plies, under the game's draw rules.
Game Play(Engine& engine, const engine::EndgameTables& tables, const Start& start, int plies,
          int ms) {
  Board board = start.board;
  int side = start.side;
  std::vector<Board> history;  // side -1 to move
  std::map<uint64_t, int> seen;
  int quiet = 0;
  Game game;
  for (; game.plies < plies; ++game.plies) {
    const Position p = engine::PositionOf(board, side);
    if (side == kPlayerSide) history.push_back(board);
    if (std::getenv("ZELBO_ENDINGS_VERBOSE") != nullptr) {
      std::printf("  %d %s side %d quiet %d\n", game.plies, FormatBoardLine(board).c_str(), side,
                  quiet);
    }
    if (++seen[p.key] == 3 || quiet >= kQuietKingMovesForDraw) {
      game.end = End::kDrawByRule;
      return game;
    }
    if (!HasMove(board, side)) {
      game.end = side == start.side ? End::kTopLost : End::kTopWon;
      return game;
    }
    const int pieces = std::popcount(p.pieces[0] | p.pieces[1]);
    if (side == start.side) {
      const auto move =
          engine.Choose(board, static_cast<int8_t>(side), LevelCount(), ms, nullptr, history);
      const auto after = CheckedReply(board, side, *move);
      if (!after) {
        std::printf("an illegal move: %s\n", FormatBoardLine(board).c_str());
        std::exit(1);
      }
      board = *after;
    } else {
      board = TablesMove(tables, board, side, seen);
    }
    const Position next = engine::PositionOf(board, -side);
    quiet = std::popcount(next.pieces[0] | next.pieces[1]) == pieces ? quiet + 1 : 0;
    side = -side;
  }
  if (!HasMove(board, side)) game.end = side == start.side ? End::kTopLost : End::kTopWon;
  return game;
}

std::vector<Material> KingsOnly(std::initializer_list<std::pair<int, int>> sides) {
  std::vector<Material> materials;
  for (const auto& [own, other] : sides) materials.push_back({own, 0, other, 0});
  return materials;
}

// How a set of games went, with and without the tables.
struct Tally {
  std::map<int, int> extra_plies;  // of the wins, beyond the tables' number
  int won = 0, lost = 0, drawn_by_rule = 0, goes_on = 0;

  void Add(const Game& game, int table_plies) {
    switch (game.end) {
      case End::kTopWon:
        ++won, ++extra_plies[game.plies - table_plies];
        break;
      case End::kTopLost:
        ++lost;
        break;
      case End::kDrawByRule:
        ++drawn_by_rule;
        break;
      case End::kGoesOn:
        ++goes_on;
        break;
    }
  }
  std::string Extra() const {
    std::string text;
    for (const auto& [plies, count] : extra_plies) {
      text += (text.empty() ? "" : ", ") + std::string("+") + std::to_string(plies) + ": " +
              std::to_string(count);
    }
    return text.empty() ? "-" : text;
  }
};

int RunPlay(const Options& options, const engine::EndgameTables& tables) {
  std::mt19937 random(options.seed);
  const auto won = Starts(tables, KingsOnly({{2, 1}, {3, 1}, {4, 1}, {2, 2}, {3, 2}}),
                          options.positions, 1, random);
  const auto drawn = Starts(tables, KingsOnly({{1, 2}, {1, 3}, {1, 4}, {2, 2}, {2, 3}}),
                            options.positions, 0, random);
  Engine with, without;
  with.UseTables(&tables);
  std::map<int, int> distances;
  for (const Start& s : won) ++distances[s.plies];
  std::printf(
      "%zu won kings-only positions, the top level to move, %d ms a move; the tables' "
      "distances (plies: positions):",
      won.size(), options.ms);
  for (const auto& [plies, count] : distances) std::printf(" %d: %d", plies, count);
  std::printf("\n");
  Tally won_with, won_without, drawn_with, drawn_without;
  int in_tables_plies = 0;
  for (const Start& s : won) {
    const Game a = Play(with, tables, s, 300, options.ms);
    const Game b = Play(without, tables, s, 300, options.ms);
    won_with.Add(a, s.plies);
    won_without.Add(b, s.plies);
    in_tables_plies += a.end == End::kTopWon && a.plies == s.plies;
  }
  std::printf("%-16s %5s %12s %10s %16s\n", "top level", "won", "drawn (rule)", "lost",
              "plies beyond the tables' (wins)");
  std::printf("%-16s %5d %12d %10d  %s\n", "with tables", won_with.won, won_with.drawn_by_rule,
              won_with.lost, won_with.Extra().c_str());
  std::printf("%-16s %5d %12d %10d  %s\n", "without tables", won_without.won,
              won_without.drawn_by_rule, won_without.lost, won_without.Extra().c_str());
  std::printf("with tables, won in exactly the tables' number of plies: %d of %zu\n\n",
              in_tables_plies, won.size());

  std::printf(
      "%zu drawn kings-only positions, the top level to move and defending against the "
      "tables' play for %d plies, %d ms a move\n",
      drawn.size(), kDrawnPlies, options.ms);
  for (const Start& s : drawn) {
    drawn_with.Add(Play(with, tables, s, kDrawnPlies, options.ms), 0);
    drawn_without.Add(Play(without, tables, s, kDrawnPlies, options.ms), 0);
  }
  std::printf("%-16s %5s %12s %10s\n", "top level", "held", "drawn (rule)", "lost");
  std::printf("%-16s %5d %12d %10d\n", "with tables", drawn_with.goes_on, drawn_with.drawn_by_rule,
              drawn_with.lost);
  std::printf("%-16s %5d %12d %10d\n\n", "without tables", drawn_without.goes_on,
              drawn_without.drawn_by_rule, drawn_without.lost);
  std::printf("tables unpacked: %d, %llu bytes\n", tables.UnpackedTables(),
              static_cast<unsigned long long>(tables.UnpackedBytes()));
  const bool perfect = won_with.won == static_cast<int>(won.size()) && drawn_with.lost == 0;
  return perfect ? 0 : 1;
}

// The value the tables give the best move: the shortest win, else a draw, else the longest loss.
TableValue BestOfTheMoves(const engine::EndgameTables& tables, const Position& p) {
  engine::MoveList moves;
  engine::GenerateMoves(p, moves);
  TableValue best{-1, 0};
  for (const engine::Move& move : moves) {
    const TableValue value = engine::ValueBefore(*tables.Probe(engine::MakeMove(p, move)));
    if (&move == moves.begin() || engine::Better(value, best)) best = value;
  }
  return best;
}

int RunCheck(const Options& options, const engine::EndgameTables& tables) {
  std::mt19937 random(options.seed);
  engine::Searcher searcher(std::size_t{1} << 20);
  int checked[3] = {0, 0, 0}, confirmed_by[4] = {0, 0, 0, 0}, consistent_checked = 0,
      inconsistent = 0;
  const auto start = std::chrono::steady_clock::now();
  for (const Material& m : engine::MaterialsOf(tables.scope())) {
    for (int i = 0; i < options.positions;) {
      const auto view = engine::PositionAt(random() % engine::TableSize(m), m);
      if (!view) continue;
      Position p = engine::PositionOfView(*view);
      if (random() % 2) p = engine::TurnedRound(p);
      const TableValue value = *tables.Probe(p);
      if (!(value == BestOfTheMoves(tables, p))) {
        ++inconsistent;
        std::printf("not the best of its moves: %s side %d\n",
                    FormatBoardLine(engine::BoardOfPosition(p, EmptyBoard())).c_str(), p.side);
      }
      ++consistent_checked;
      if (value.plies > 13) continue;
      ++i;
      ++checked[value.result + 1];
      const Confirmed confirmed = CheckValue(searcher, tables, p, value);
      ++confirmed_by[static_cast<int>(confirmed)];
      if (confirmed == Confirmed::kWrong) {
        std::printf("disagree: %s side %d, tables %d in %d\n",
                    FormatBoardLine(engine::BoardOfPosition(p, EmptyBoard())).c_str(), p.side,
                    value.result, value.plies);
      }
    }
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf(
      "%d positions of %zu materials (%d won, %d drawn, %d lost): the search agrees with %d at "
      "once, %d searched 6 plies deeper; the search errs and plain alpha-beta agrees with the "
      "tables: %d; the tables wrong: %d; %.0f s\n",
      checked[0] + checked[1] + checked[2], engine::MaterialsOf(tables.scope()).size(), checked[2],
      checked[1], checked[0], confirmed_by[0], confirmed_by[1], confirmed_by[2], confirmed_by[3],
      seconds);
  std::printf("%d positions of any distance: %d not the best of their moves\n", consistent_checked,
              inconsistent);
  return confirmed_by[3] == 0 && inconsistent == 0 ? 0 : 1;
}

int Usage() {
  std::fprintf(stderr,
               "usage: zelbo_endings play|check [--ms MS] [--positions N] [--seed S] "
               "[--tables FILE]\n");
  return 2;
}

}  // namespace
}  // namespace zelbo::bench

int main(int argc, char** argv) {
  using namespace zelbo::bench;
  if (argc < 2) return Usage();
  const std::string_view mode = argv[1];
  Options options;
  for (int i = 2; i + 1 < argc; i += 2) {
    const std::string_view option = argv[i];
    if (option == "--ms") {
      options.ms = std::atoi(argv[i + 1]);
    } else if (option == "--positions") {
      options.positions = std::atoi(argv[i + 1]);
    } else if (option == "--seed") {
      options.seed = static_cast<unsigned>(std::atoi(argv[i + 1]));
    } else if (option == "--tables") {
      options.tables = argv[i + 1];
    } else {
      return Usage();
    }
  }
  if (argc % 2 != 0 || options.positions < 1 || options.ms < 1) return Usage();
  std::string why;
  const auto open_start = std::chrono::steady_clock::now();
  const auto tables = zelbo::engine::EndgameTables::Open(options.tables, why);
  const double open_ms =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - open_start)
          .count();
  if (tables == nullptr) {
    std::fprintf(stderr, "%s: %s\n", options.tables.c_str(), why.c_str());
    return 1;
  }
  std::printf("tables %s, opened in %.1f ms\n", options.tables.c_str(), open_ms);
  if (mode == "play") return RunPlay(options, *tables);
  if (mode == "check") return RunCheck(options, *tables);
  return Usage();
}
