// SPDX-License-Identifier: GPL-3.0-or-later
// zelbo-cli play against its golden transcripts: each golden/NAME.in is a command script and
// golden/NAME.out the exact output. A script may start with "# position: BOARD" to begin from that
// position (written to a saved game and opened with --position) and "# experience: FILE" to load a
// store from the golden folder. "$SCRATCH" stands for a temporary folder, in the script and in
// the transcript, and "$GOLDEN" for the golden folder. ZELBO_UPDATE_GOLDEN=1
// rewrites the .out files from the program.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "cli/play_session.h"
#include "files/temp_folder.h"
#include "game/notation.h"
#include "savegame/saved_game.h"

namespace zelbo {
namespace {

namespace fs = std::filesystem;

std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
  for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

// The options the script's header lines ask for.
PlayOptions OptionsOf(const std::string& script, const fs::path& scratch) {
  PlayOptions options;
  std::istringstream lines(script);
  std::string line;
  while (std::getline(lines, line) && line.rfind("# ", 0) == 0) {
    if (line.rfind("# position: ", 0) == 0) {
      const auto board = ParseBoardLine(line.substr(12));
      EXPECT_TRUE(board.has_value()) << line;
      options.position = scratch / "position.KRP";
      WriteSavedGame(*options.position, board.value_or(Board{}));
    } else if (line.rfind("# experience: ", 0) == 0) {
      options.experience = fs::path(ZELBO_GOLDEN_DIR) / line.substr(14);
    }
  }
  return options;
}

TEST(ZelboCliPlay, MatchesEveryGoldenTranscript) {
  const testing::TempFolder scratch_folder;
  const fs::path& scratch = scratch_folder.path();
  int cases = 0;
  for (const auto& entry : fs::directory_iterator(ZELBO_GOLDEN_DIR)) {
    if (entry.path().extension() != ".in") continue;
    ++cases;
    const std::string script =
        ReplaceAll(ReplaceAll(ReadText(entry.path()), "$SCRATCH", scratch.string()), "$GOLDEN",
                   ZELBO_GOLDEN_DIR);
    std::istringstream in(script);
    std::ostringstream out;
    EXPECT_EQ(RunPlay(in, out, OptionsOf(script, scratch)), 0);
    const std::string transcript = ReplaceAll(ReplaceAll(out.str(), scratch.string(), "$SCRATCH"),
                                              ZELBO_GOLDEN_DIR, "$GOLDEN");
    fs::path expected = entry.path();
    expected.replace_extension(".out");
    if (std::getenv("ZELBO_UPDATE_GOLDEN") != nullptr) {
      std::ofstream(expected, std::ios::binary) << transcript;
      continue;
    }
    EXPECT_EQ(transcript, ReadText(expected)) << entry.path().filename();
  }
  EXPECT_GT(cases, 0);
}

}  // namespace
}  // namespace zelbo
