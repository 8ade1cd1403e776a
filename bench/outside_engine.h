// SPDX-License-Identifier: GPL-3.0-or-later
// Another program that plays through the match protocol: started by the shell from a command
// line, spoken to one line at a time through pipes, and started again after it failed.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

#include "engine/levels.h"
#include "game/board.h"

namespace zelbo::bench {

class OutsideEngine {
 public:
  explicit OutsideEngine(std::string command);
  ~OutsideEngine();
  OutsideEngine(const OutsideEngine&) = delete;
  OutsideEngine& operator=(const OutsideEngine&) = delete;

  // Tells the program that a game starts; starts it (again) when it is not running.
  void NewGame();

  // Asks for the move of `side` on `board`, thinking `milliseconds`, and waits at most `timeout`
  // for the answer line. No value when the program did not answer in time, or is gone; then it
  // is stopped, to be started again at the next game.
  std::optional<std::string> Ask(const Board& board, int side, int milliseconds,
                                 std::chrono::milliseconds timeout);

 private:
  void Start();
  void Stop();
  bool Send(std::string_view line);
  std::optional<std::string> Receive(std::chrono::milliseconds timeout);

  std::string command_;
  pid_t pid_ = -1;
  int to_program_ = -1;
  int from_program_ = -1;
  std::string pending_;  // what the program wrote past the last line read
};

// The move of an answer line, the piece's square and then each landing (`B6 D4 F2`); no value for
// `none` or for anything that is not such a list of squares.
std::optional<LevelMove> ParseAnswer(std::string_view line);

}  // namespace zelbo::bench
