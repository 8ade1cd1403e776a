// SPDX-License-Identifier: GPL-3.0-or-later
// `zelbo-cli play`: the game driven by text commands through the board window's own code paths,
// with a transcript of every event on the output.
#pragma once

#include <atomic>
#include <filesystem>
#include <functional>
#include <istream>
#include <optional>
#include <ostream>
#include <string_view>

#include "cli/cli_port.h"
#include "cli/line_reader.h"
#include "engine/levels.h"
#include "game/click_protocol.h"
#include "game/game_state.h"

namespace zelbo {

struct PlayOptions {
  std::optional<std::filesystem::path> position;    // a saved game to open at start
  std::optional<std::filesystem::path> experience;  // the experience store to load
  const engine::EndgameTables* tables = nullptr;    // the endgame tables the top level plays
};

class PlaySession {
 public:
  // With `input`, the lines to come: a long search watches it and stops at "new" or at its end.
  // Without, every search runs to its end.
  explicit PlaySession(std::ostream& out, LineReader* input = nullptr)
      : out_(out), port_(out), input_(input) {}

  // The start-up: a new game, the store and the position of the options, then the state.
  void Start(const PlayOptions& options);

  // Runs one input line; false once the line asks to quit.
  bool Execute(std::string_view line);

 private:
  struct Command {
    std::string_view word;
    void (PlaySession::*run)(std::string_view argument);
  };
  static const Command kCommands[];

  void MouseUp(std::string_view argument, MouseButton button);
  void LeftUp(std::string_view argument);
  void RightUp(std::string_view argument);
  void MiddleUp(std::string_view argument);
  void Computer(std::string_view argument);
  void Experience(std::string_view argument);
  void New(std::string_view argument);
  void TakeBackCommand(std::string_view argument);
  void Open(std::string_view argument);
  void Save(std::string_view argument);
  void Quit(std::string_view argument);
  void Level(std::string_view argument);
  void Time(std::string_view argument);
  void Hint(std::string_view argument);
  void Nodes(std::string_view argument);
  void Record(std::string_view argument);
  void Pdn(std::string_view argument);
  void GoTo(std::string_view argument);
  void ResignCommand(std::string_view argument);
  void Draw(std::string_view argument);

  void ComputerReplies();
  using Search = std::function<std::optional<LevelMove>(const std::atomic<bool>& stop)>;
  bool WatchesInput() const;
  bool RunWatched(const std::function<void(const std::atomic<bool>& stop)>& work);
  std::optional<std::optional<LevelMove>> Think(const Search& search);

  void Error(std::string_view description);
  void PrintState();

  std::ostream& out_;
  CliPort port_;
  GameState state_;
  Engine engine_;  // the searching levels' table, allocated once for the run
  uint64_t fixed_nodes_ = 0;
  LineReader* input_;
  bool quit_ = false;
};

// Plays the commands of `in` until "quit" or the end of the input; the exit status.
int RunPlay(std::istream& in, std::ostream& out, const PlayOptions& options);

}  // namespace zelbo
