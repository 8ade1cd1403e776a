// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes as the standard input of `zelbo-cli play`, run in-process. The file names of "open"
// and "save" are turned into one of four names in a private folder (one of them a saved game
// made here), and those of "pdn open" and "pdn save" into one of four PDN files there (one of them
// two games written here), so that a run reads and writes nothing else and every run starts alike.
// The searching levels search a small fixed number of nodes ("nodes" first, and every "nodes" line
// kept small), so that a run takes the same path on any machine and never waits on the clock.
//
// What must hold for the transcript: every line is of a known kind with no raw control
// character; the start-up and every line that is neither blank nor a comment give exactly one
// state line followed by one board line, and nothing follows "quit"; a state line has its fields
// in order with values in their ranges; a command that printed "error" changed nothing; and only
// the clicks, "new", "takeback", "open", "pdn", "goto", and "resign" and "draw" (which put back a
// chain half made) change the board; "record" prints one line.
#include <algorithm>
#include <array>
#include <cctype>
#include <sstream>
#include <string>

#include "cli/play_session.h"
#include "engine/levels.h"
#include "fuzz_support.h"
#include "game/board.h"
#include "savegame/saved_game.h"

namespace zelbo::fuzz {
namespace {

constexpr std::string_view kBlanks = " \t";

std::string_view Trim(std::string_view text) {
  const auto first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// What one input line is, as the session reads it.
struct Command {
  bool ignored = false;
  std::string word;
  std::string argument;
};

Command Parse(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  line = Trim(line);
  if (line.empty() || line.front() == '#') return {true, {}, {}};
  const auto end = std::min(line.find_first_of(kBlanks), line.size());
  return {false, std::string(line.substr(0, end)), std::string(Trim(line.substr(end)))};
}

using GameFileNames = std::array<std::filesystem::path, 4>;

const GameFileNames& GameFiles() {
  static const GameFileNames files = {ScratchFolder() / "g0.KRP", ScratchFolder() / "g1.KRP",
                                      ScratchFolder() / "g2.KRP", ScratchFolder() / "g3.KRP"};
  return files;
}

const GameFileNames& PdnFiles() {
  static const GameFileNames files = {ScratchFolder() / "p0.pdn", ScratchFolder() / "p1.pdn",
                                      ScratchFolder() / "p2.pdn", ScratchFolder() / "p3.pdn"};
  return files;
}

constexpr std::string_view kTwoGames =
    "[Event \"a\"]\n1. D6-E5 A3-B4 2. B6-A5 B4-C5 *\n"
    "[SetUp \"1\"]\n[FEN \"W:WKA5:BKH8\"]\n1. A5-B6 H8-G7 2. B6-A5 G7-H8 *\n";

void RemoveAllBut(const GameFileNames& files) {
  for (std::size_t i = 1; i < files.size(); ++i) {
    std::error_code ignored;
    std::filesystem::remove(files[i], ignored);
  }
}

// g0 holds a position with two kings and a code that is no piece, p0 two games; the others do
// not exist.
void ResetGameFiles() {
  Board board{};
  SetupInitialPosition(board);
  board.SetCode(4, 4, kPlayerKing);
  board.SetCode(5, 5, kComputerKing);
  board.SetCode(2, 4, 7);
  WriteSavedGame(GameFiles()[0], board);
  WriteWholeFile(PdnFiles()[0],
                 std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(kTwoGames.data()),
                                          kTwoGames.size()));
  RemoveAllBut(GameFiles());
  RemoveAllBut(PdnFiles());
}

// "pdn save FILE" and "pdn open [N] FILE" with FILE one of the PDN files; the rest as it was.
std::string ConfinedPdn(const Command& c, const std::string& line) {
  const std::string_view argument = c.argument;
  const auto word_end = std::min(argument.find_first_of(kBlanks), argument.size());
  const std::string_view word = argument.substr(0, word_end);
  const std::string_view rest = Trim(argument.substr(word_end));
  if ((word != "save" && word != "open") || rest.empty()) return line;
  std::string number;
  const auto number_end = std::min(rest.find_first_of(kBlanks), rest.size());
  if (word == "open" && number_end < rest.size() &&
      rest.substr(0, number_end).find_first_not_of("0123456789") == std::string_view::npos) {
    number = std::string(rest.substr(0, number_end)) + " ";
  }
  const auto n = static_cast<uint8_t>(rest.back()) % PdnFiles().size();
  return "pdn " + std::string(word) + " " + number + PdnFiles()[n].string();
}

constexpr int kMostNodes = 3000;

// The input with every "open" and "save" naming one of the game files instead, and a small
// node budget for every search.
std::string Confined(const std::vector<std::string>& lines) {
  std::string out = "nodes " + std::to_string(kMostNodes) + "\n";
  for (const std::string& line : lines) {
    const Command c = Parse(line);
    if (!c.ignored && (c.word == "open" || c.word == "save") && !c.argument.empty()) {
      const auto n = static_cast<uint8_t>(c.argument.back()) % GameFiles().size();
      out += c.word + " " + GameFiles()[n].string();
    } else if (!c.ignored && c.word == "pdn") {
      out += ConfinedPdn(c, line);
    } else if (!c.ignored && c.word == "nodes" && !c.argument.empty()) {
      out += "nodes " + std::to_string(1 + static_cast<uint8_t>(c.argument.back()) % kMostNodes);
    } else {
      out += line;
    }
    out += '\n';
  }
  return out;
}

bool StartsWith(const std::string& line, std::string_view prefix) {
  return line.compare(0, prefix.size(), prefix) == 0;
}

bool IsSquareName(std::string_view word) {
  return word.size() == 2 && word[0] >= 'A' && word[0] <= 'H' && word[1] >= '1' && word[1] <= '8';
}

// "hint none", or "hint" with the square of the piece and its landing squares.
bool IsHintLine(const std::string& line) {
  if (line == "hint none") return true;
  std::istringstream words(line);
  std::string word;
  words >> word;
  int squares = 0;
  while (words >> word) {
    if (!IsSquareName(word)) return false;
    ++squares;
  }
  return line.back() != ' ' && squares >= 2 && squares <= 1 + LevelMove::kMaxLandings;
}

// "record", then the moves numbered: "1. D6-C5 C3-D4 2. B6xD4xF2" or "1... C3-D4 ...".
bool IsRecordLine(const std::string& line) {
  std::istringstream words(line.substr(6));
  for (std::string word; words >> word;) {
    const bool number = std::isdigit(static_cast<unsigned char>(word[0])) != 0 &&
                        word.find_first_not_of("0123456789.") == std::string::npos &&
                        word.back() == '.';
    bool move = word.size() >= 5 && (word.size() - 2) % 3 == 0 && IsSquareName(word.substr(0, 2));
    for (std::size_t i = 2; move && i < word.size(); i += 3) {
      move = (word[i] == '-' || word[i] == 'x') && IsSquareName(word.substr(i + 1, 2));
    }
    if (!number && !move) return false;
  }
  return line.back() != ' ';
}

bool IsEventLine(const std::string& line) {
  for (std::string_view kind : {"title ", "message ", "error-dialog ", "error ", "gauges "}) {
    if (StartsWith(line, kind)) return true;
  }
  if (StartsWith(line, "hint ")) return IsHintLine(line);
  if (line == "record" || StartsWith(line, "record ")) return IsRecordLine(line);
  return line == "panel shown" || line == "panel hidden";
}

bool InRange(const std::string& text, int low, int high) {
  if (text.empty() || text.size() > 4) return false;
  std::size_t used = 0;
  const int value = std::stoi(text, &used);
  return used == text.size() && value >= low && value <= high;
}

void CheckStateLine(const std::string& line) {
  std::istringstream fields(line);
  std::string word;
  fields >> word;
  ZELBO_CHECK(word == "state", line);
  static constexpr std::string_view kNames[] = {"side",   "selected", "over",     "history",
                                                "gauges", "scores",   "computer", "experience"};
  for (std::string_view name : kNames) {
    ZELBO_CHECK(fields >> word, line);
    ZELBO_CHECK(StartsWith(word, std::string(name) + "="), line);
    const std::string value = word.substr(name.size() + 1);
    if (name == "side") ZELBO_CHECK(value == "-1" || value == "1", line);
    if (name == "selected") {
      ZELBO_CHECK(value == "-" || IsSquareName(value), line);
    }
    if (name == "over" || name == "computer" || name == "experience") {
      ZELBO_CHECK(value == "0" || value == "1", line);
    }
    if (name == "gauges") {
      const auto comma = value.find(',');
      ZELBO_CHECK(comma != std::string::npos, line);
      ZELBO_CHECK(InRange(value.substr(0, comma), 0, 120), line);
      ZELBO_CHECK(InRange(value.substr(comma + 1), 0, 120), line);
    }
  }
  ZELBO_CHECK(!(fields >> word), line);
}

void CheckBoardLine(const std::string& line) {
  ZELBO_CHECK(StartsWith(line, "board ") && line.size() == 6 + 71, line);
  for (std::size_t i = 0; i < 71; ++i) {
    const char c = line[6 + i];
    if (i % 9 == 8) {
      ZELBO_CHECK(c == '/', line);
    } else {
      ZELBO_CHECK(std::string_view("x.cCpP?+-#").find(c) != std::string_view::npos, line);
    }
  }
}

// The lines one command printed: its events, then the state and the board.
struct Reaction {
  std::vector<std::string> events;
  std::string state;
  std::string board;
};

void Run(std::span<const uint8_t> bytes) {
  ResetGameFiles();
  const std::string confined = Confined(SplitLines(std::string(bytes.begin(), bytes.end())));
  const std::vector<std::string> input = SplitLines(confined);
  std::istringstream in(confined);
  std::ostringstream out;
  const int status = RunPlay(in, out, PlayOptions{});
  ZELBO_CHECK(status == 0, std::to_string(status));

  const std::string transcript = out.str();
  ZELBO_CHECK(transcript.empty() || transcript.back() == '\n', "unfinished last line");
  for (const char c : transcript) {
    const auto b = static_cast<uint8_t>(c);
    ZELBO_CHECK(c == '\n' || (b >= 0x20 && b != 0x7F),
                "raw control character " + std::to_string(b));
  }

  // Cut the transcript into the reactions of the start-up and of each command.
  std::vector<Reaction> reactions;
  Reaction current;
  const std::vector<std::string> output = SplitLines(transcript);
  for (std::size_t i = 0; i < output.size(); ++i) {
    const std::string& line = output[i];
    if (StartsWith(line, "state ")) {
      CheckStateLine(line);
      ZELBO_CHECK(i + 1 < output.size(), "no board line after " + line);
      CheckBoardLine(output[i + 1]);
      current.state = line;
      current.board = output[++i];
      reactions.push_back(std::move(current));
      current = {};
    } else {
      ZELBO_CHECK(IsEventLine(line), line);
      current.events.push_back(line);
    }
  }
  ZELBO_CHECK(current.events.empty(), "events after the last state line: " + current.events[0]);
  ZELBO_CHECK(!reactions.empty(), "no start-up state");

  std::size_t r = 1;
  for (const std::string& line : input) {
    const Command c = Parse(line);
    if (c.ignored) continue;
    ZELBO_CHECK(r < reactions.size(), "no state after '" + line + "'");
    const Reaction& before = reactions[r - 1];
    const Reaction& after = reactions[r];
    ++r;
    const auto errors = std::count_if(after.events.begin(), after.events.end(),
                                      [](const std::string& e) { return StartsWith(e, "error "); });
    ZELBO_CHECK(errors <= 1, line);
    if (errors == 1) {
      ZELBO_CHECK(after.events.size() == 1, line);
      ZELBO_CHECK(after.state == before.state && after.board == before.board, line);
    }
    static constexpr std::string_view kBoardChangers[] = {
        "L", "R", "M", "new", "takeback", "open", "pdn", "goto", "resign", "draw"};
    const bool may_change = std::find(std::begin(kBoardChangers), std::end(kBoardChangers),
                                      c.word) != std::end(kBoardChangers);
    if (!may_change) ZELBO_CHECK(after.board == before.board, line);
    if (c.word == "quit" && c.argument.empty()) break;
  }
  ZELBO_CHECK(r == reactions.size(), "more states than commands");
}

}  // namespace
}  // namespace zelbo::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  zelbo::fuzz::Run(std::span<const uint8_t>(data, size));
  return 0;
}
