// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/play_session.h"

#include <string>

#include "engine/draw_offer.h"
#include "engine/level_turn.h"
#include "experience/experience_file.h"
#include "game/end_of_game.h"
#include "game/execution_time.h"
#include "game/notation.h"
#include "game/take_back.h"
#include "record/pdn_file.h"
#include "savegame/saved_game.h"

namespace zelbo {
namespace {

constexpr std::string_view kBlanks = " \t";
// A search up to this long runs to its end without a look at the input, as in the window.
constexpr int32_t kLongestUnwatchedSearch = 100;

std::string_view TrimBlanks(std::string_view text) {
  const auto first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(kBlanks);
  return text.substr(first, last - first + 1);
}

// "on" or "off"; no value for anything else.
std::optional<bool> OnOff(std::string_view argument) {
  if (argument == "on") return true;
  if (argument == "off") return false;
  return std::nullopt;
}

// A whole decimal number within [low, high], no value otherwise.
std::optional<int64_t> NumberIn(std::string_view text, int64_t low, int64_t high) {
  if (text.empty() || text.size() > 18) return std::nullopt;
  int64_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (value < low || value > high) return std::nullopt;
  return value;
}

// An input line as a command: its word and its argument; no value for a blank line or a comment.
struct CommandLine {
  std::string_view word;
  std::string_view argument;
};
std::optional<CommandLine> SplitCommand(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  line = TrimBlanks(line);
  if (line.empty() || line.front() == '#') return std::nullopt;
  const auto word_end = std::min(line.find_first_of(kBlanks), line.size());
  return CommandLine{line.substr(0, word_end), TrimBlanks(line.substr(word_end))};
}

bool IsNewCommand(std::string_view line) {
  const auto command = SplitCommand(line);
  return command && command->word == "new" && command->argument.empty();
}

}  // namespace

const PlaySession::Command PlaySession::kCommands[] = {
    {"L", &PlaySession::LeftUp},
    {"R", &PlaySession::RightUp},
    {"M", &PlaySession::MiddleUp},
    {"computer", &PlaySession::Computer},
    {"experience", &PlaySession::Experience},
    {"new", &PlaySession::New},
    {"takeback", &PlaySession::TakeBackCommand},
    {"open", &PlaySession::Open},
    {"save", &PlaySession::Save},
    {"quit", &PlaySession::Quit},
    {"level", &PlaySession::Level},
    {"time", &PlaySession::Time},
    {"hint", &PlaySession::Hint},
    {"nodes", &PlaySession::Nodes},
    {"record", &PlaySession::Record},
    {"pdn", &PlaySession::Pdn},
    {"goto", &PlaySession::GoTo},
    {"resign", &PlaySession::ResignCommand},
    {"draw", &PlaySession::Draw},
};

void PlaySession::Start(const PlayOptions& options) {
  engine_.UseTables(options.tables);
  NewGame(state_, port_);
  if (options.experience) LoadExperienceFile(state_, port_, *options.experience);
  if (options.position) LoadSavedGame(state_, port_, *options.position);
  PrintState();
}

bool PlaySession::Execute(std::string_view line) {
  const auto typed = SplitCommand(line);
  if (!typed) return true;
  bool known = false;
  for (const Command& command : kCommands) {
    if (command.word != typed->word) continue;
    (this->*command.run)(typed->argument);
    known = true;
  }
  if (!known) Error("unknown command '" + EscapeText(typed->word) + "'");
  PrintState();
  return !quit_;
}

void PlaySession::MouseUp(std::string_view argument, MouseButton button) {
  SquareRef s = 0;
  if (argument != "-") {
    const auto square = ParseSquareName(argument);
    if (!square) return Error("expected a square A1..H8 or -, not '" + EscapeText(argument) + "'");
    s = *square;
  }
  if (BoardMouseUp(state_, port_, s, button)) ComputerReplies();
}

// The computer's reply at the chosen level, as LevelReply plays it, thinking a minute at most; a
// search that watches the input and is stopped plays nothing.
void PlaySession::ComputerReplies() {
  if (state_.level <= 1) return LevelReply(state_, port_, engine_);
  if (!ComputerReplyDue(state_, port_) || PlayExperienceReply(state_, port_)) return;
  const auto move = Think([this](const std::atomic<bool>& stop) {
    return engine_.Choose(state_.board, kComputerSide, state_.level,
                          ThinkingTime(state_.execution_time), &stop, state_.history);
  });
  if (move) PlaySearchedReply(state_, port_, *move);
}

// A search by the time that a person would wait for watches the input; one by a fixed number of
// nodes never does, so that what comes next cannot change a transcript.
bool PlaySession::WatchesInput() const {
  return input_ != nullptr && fixed_nodes_ == 0 &&
         ThinkingTime(state_.execution_time) > kLongestUnwatchedSearch;
}

// Runs `work`, watching the input while it runs when a person would wait for it; false when
// "new" or the end of the input came meanwhile, which stop it at once.
bool PlaySession::RunWatched(const std::function<void(const std::atomic<bool>& stop)>& work) {
  std::atomic<bool> stop{false};
  if (!WatchesInput()) {
    work(stop);
    return true;
  }
  input_->Watch(stop, IsNewCommand);
  work(stop);
  input_->EndWatch();
  return !stop;
}

// The search's move; no value when the search was stopped, and its move dropped.
std::optional<std::optional<LevelMove>> PlaySession::Think(const Search& search) {
  std::optional<LevelMove> move;
  if (!RunWatched([&](const std::atomic<bool>& stop) { move = search(stop); })) return std::nullopt;
  return move;
}

void PlaySession::LeftUp(std::string_view argument) { MouseUp(argument, MouseButton::kLeft); }
void PlaySession::RightUp(std::string_view argument) { MouseUp(argument, MouseButton::kRight); }
void PlaySession::MiddleUp(std::string_view argument) { MouseUp(argument, MouseButton::kMiddle); }

void PlaySession::Computer(std::string_view argument) {
  const auto on = OnOff(argument);
  if (!on) return Error("expected computer on or computer off");
  port_.computer_checked = *on;
}

void PlaySession::Experience(std::string_view argument) {
  const auto on = OnOff(argument);
  if (!on) return Error("expected experience on or experience off");
  port_.experience_checked = *on;
}

// The "Nouveau" command: a new game, both gauges full, the about panel hidden.
void PlaySession::New(std::string_view argument) {
  if (!argument.empty()) return Error("new takes no argument");
  NewGame(state_, port_);
  port_.gauge1 = port_.gauge2 = 120;
  port_.SetPanelVisible(false);
  port_.DrawBoard();
}

void PlaySession::TakeBackCommand(std::string_view argument) {
  if (!argument.empty()) return Error("takeback takes no argument");
  TakeBack(state_, port_);
}

void PlaySession::Open(std::string_view argument) {
  if (argument.empty()) return Error("open needs a file name");
  OpenSavedGame(state_, port_, std::filesystem::path(std::string(argument)));
}

void PlaySession::Save(std::string_view argument) {
  if (argument.empty()) return Error("save needs a file name");
  SaveGame(state_, port_, std::filesystem::path(std::string(argument)));
}

void PlaySession::Quit(std::string_view argument) {
  if (!argument.empty()) return Error("quit takes no argument");
  quit_ = true;
}

// The "Niveau" choice: 1 the designed computer, the others search.
void PlaySession::Level(std::string_view argument) {
  const auto level = NumberIn(argument, 1, LevelCount());
  if (!level) return Error("expected a level 1.." + std::to_string(LevelCount()));
  state_.level = static_cast<int>(*level);
}

// The "Execution time" dialog, confirmed with the text: a text that is no whole number is
// reported with the run-time's message and changes nothing.
void PlaySession::Time(std::string_view argument) {
  const ExecutionTimeEntry entry = ReadExecutionTime(argument, state_.level > 1);
  if (!entry.value) return port_.ShowMessage(entry.refusal);
  state_.execution_time = *entry.value;
  if (!state_.game_over) port_.DrawBoard();
}

// The hint for the side to move (the top level's move), or the move a searching level would
// play, as "hint SQ SQ ..." or "hint none".
void PlaySession::Hint(std::string_view argument) {
  int level = LevelCount();
  if (!argument.empty()) {
    const auto chosen = NumberIn(argument, 2, LevelCount());
    if (!chosen) return Error("expected a searching level 2.." + std::to_string(LevelCount()));
    level = static_cast<int>(*chosen);
  }
  const auto found = Think([&](const std::atomic<bool>& stop) {
    const int32_t time = ThinkingTime(state_.execution_time);
    return argument.empty()
               ? engine_.Hint(state_.board, state_.side_to_move, time, &stop, state_.history)
               : engine_.Choose(state_.board, state_.side_to_move, level, time, &stop,
                                state_.history);
  });
  if (!found) return;
  const std::optional<LevelMove>& move = *found;
  out_ << "hint";
  if (!move) out_ << " none";
  if (move) {
    out_ << ' ' << SquareName(move->from);
    for (int i = 0; i < move->landing_count; ++i) out_ << ' ' << SquareName(move->landings[i]);
  }
  out_ << '\n';
}

// A testing aid: every searching level searches exactly N nodes whatever the time, so that its
// replies are the same on every machine; 0 goes back to the time.
void PlaySession::Nodes(std::string_view argument) {
  const auto nodes = NumberIn(argument, 0, 100000000);
  if (!nodes) return Error("expected a node count 0..100000000");
  fixed_nodes_ = static_cast<uint64_t>(*nodes);
  engine_.SetFixedNodes(fixed_nodes_);
}

// The game's record on one line: "record 1. D6-C5 C3-D4 2. E7-D6", "record" while it is empty.
void PlaySession::Record(std::string_view argument) {
  if (!argument.empty()) return Error("record takes no argument");
  const std::string moves = MoveListText(state_.record);
  out_ << "record" << (moves.empty() ? "" : " ") << moves << '\n';
}

// "pdn save FILE" and "pdn open [N] FILE": the game's record as a PDN file, and game N (the first
// by default) of a PDN file. A name that starts with a number and a blank is written "./NAME".
void PlaySession::Pdn(std::string_view argument) {
  const auto word_end = std::min(argument.find_first_of(kBlanks), argument.size());
  const std::string_view word = argument.substr(0, word_end);
  std::string_view file = TrimBlanks(argument.substr(word_end));
  if (word == "save" && !file.empty()) {
    return SavePdnGame(state_, port_, std::filesystem::path(std::string(file)));
  }
  if (word != "open" || file.empty()) return Error("expected pdn save FILE or pdn open [N] FILE");
  std::size_t number = 1;
  const auto number_end = std::min(file.find_first_of(kBlanks), file.size());
  if (number_end < file.size()) {
    if (const auto n = NumberIn(file.substr(0, number_end), 1, 1000000)) {
      number = static_cast<std::size_t>(*n);
      file = TrimBlanks(file.substr(number_end));
    }
  }
  OpenPdnGame(state_, port_, std::filesystem::path(std::string(file)), number);
}

// Back to the position after N moves of the record, dropping the later ones.
void PlaySession::GoTo(std::string_view argument) {
  const auto plies = NumberIn(argument, 0, static_cast<int64_t>(state_.record.size()));
  if (!plies) return Error("expected a move count 0.." + std::to_string(state_.record.size()));
  GoToPly(state_, port_, static_cast<std::size_t>(*plies));
}

void PlaySession::ResignCommand(std::string_view argument) {
  if (!argument.empty()) return Error("resign takes no argument");
  Resign(state_, port_);
}

// "Proposer la nulle".
void PlaySession::Draw(std::string_view argument) {
  if (!argument.empty()) return Error("draw takes no argument");
  if (state_.game_over || !port_.IsComputerChecked() || state_.level <= 1) {
    return OfferDraw(state_, port_, engine_);
  }
  // A searching level thinks about the offer as about a reply: stopped, it answers nothing.
  bool accepted = false;
  const bool answered = RunWatched([&](const std::atomic<bool>& stop) {
    accepted = ComputerAcceptsDraw(engine_, state_.board, state_.side_to_move, state_.level,
                                   ThinkingTime(state_.execution_time), state_.history, &stop);
  });
  if (answered) AnswerDrawOffer(state_, port_, accepted);
}

void PlaySession::Error(std::string_view description) { out_ << "error " << description << '\n'; }

void PlaySession::PrintState() {
  out_ << "state side=" << int{state_.side_to_move}
       << " selected=" << SquareName(state_.selected_square) << " over=" << state_.game_over
       << " history=" << state_.history_count << " gauges=" << port_.gauge1 << ',' << port_.gauge2
       << " scores=" << int{state_.player_capture_score} << ','
       << int{state_.computer_capture_score} << " computer=" << port_.computer_checked
       << " experience=" << port_.experience_checked << '\n';
  out_ << "board " << FormatBoardLine(state_.board) << '\n';
}

int RunPlay(std::istream& in, std::ostream& out, const PlayOptions& options) {
  LineReader input(in);
  PlaySession session(out, &input);
  session.Start(options);
  while (true) {
    out.flush();  // what a command printed, before the program waits for the next one
    const std::optional<std::string> line = input.Next();
    if (!line || !session.Execute(*line)) break;
  }
  out.flush();
  return 0;
}

}  // namespace zelbo
