// SPDX-License-Identifier: GPL-3.0-or-later
// A searching level as a program that speaks the match protocol (README, "Playing another
// engine"): each line `BOARD SIDE MS` on standard input is answered by one line on standard
// output, the move's squares as `hint` prints them (`B6 D4 F2`) or `none`; `new` starts another
// game; `quit` or the end of input ends the program.
//
//   zelbo_protocol_engine [--level N] [--nodes N]
//
// This file is the whole program and calls only what the levels offered when they landed, so
// that bench/engine_at.sh can build it against an earlier commit to play that commit's level.
#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "engine/levels.h"
#include "game/notation.h"

namespace {

// What a game's earlier positions are to the engine: the boards with side -1 to move.
class GamePositions {
 public:
  void Clear() { boards_.clear(); }
  void Add(const zelbo::Board& board) {
    if (boards_.size() == kKept) boards_.erase(boards_.begin());
    boards_.push_back(board);
  }
  const std::vector<zelbo::Board>& boards() const { return boards_; }

 private:
  static constexpr std::size_t kKept = 512;
  std::vector<zelbo::Board> boards_;
};

std::string Squares(const zelbo::LevelMove& move) {
  std::string text = zelbo::SquareName(move.from);
  for (int i = 0; i < move.landing_count; ++i) text += ' ' + zelbo::SquareName(move.landings[i]);
  return text;
}

// One request: the answer line, without its line feed.
std::string Answer(zelbo::Engine& engine, int level, const std::string& line,
                   GamePositions& positions) {
  std::istringstream words(line);
  std::string board_text, side_text, ms_text, extra;
  if (!(words >> board_text >> side_text >> ms_text) || (words >> extra)) {
    return "error expected BOARD SIDE MS";
  }
  const auto board = zelbo::ParseBoardLine(board_text);
  if (!board) return "error not a board line: " + board_text;
  if (side_text != "-1" && side_text != "1") return "error the side is -1 or 1";
  const long ms = std::strtol(ms_text.c_str(), nullptr, 10);
  if (ms < 1 || ms > 600000) return "error the time is 1 to 600000 ms";
  const auto side = static_cast<int8_t>(side_text == "1" ? 1 : -1);
  if (side < 0) positions.Add(*board);
  const auto move =
      engine.Choose(*board, side, level, static_cast<int32_t>(ms), nullptr, positions.boards());
  if (!move) return "none";
  if (side > 0) {
    zelbo::Board after = *board;
    zelbo::ApplyLevelMove(after, *move);
    positions.Add(after);
  }
  return Squares(*move);
}

}  // namespace

int main(int argc, char** argv) {
  int level = zelbo::LevelCount();
  uint64_t nodes = 0;
  for (int i = 1; i < argc; i += 2) {
    const std::string_view option = argv[i];
    if (i + 1 < argc && option == "--level") {
      level = std::clamp(std::atoi(argv[i + 1]), 2, zelbo::LevelCount());
    } else if (i + 1 < argc && option == "--nodes") {
      nodes = std::strtoull(argv[i + 1], nullptr, 10);
    } else {
      std::cerr << "usage: zelbo_protocol_engine [--level N] [--nodes N]\n";
      return 2;
    }
  }
  zelbo::Engine engine;
  engine.SetFixedNodes(nodes);
  GamePositions positions;
  for (std::string line; std::getline(std::cin, line);) {
    if (line == "quit") break;
    if (line == "new") {
      positions.Clear();
      continue;
    }
    if (line.empty()) continue;
    std::cout << Answer(engine, level, line, positions) << std::endl;
  }
  return 0;
}
