// SPDX-License-Identifier: GPL-3.0-or-later
// zelbo-cli given a named pipe wherever it takes a file: each refuses it at once with the
// run-time's text instead of waiting for a writer that never comes.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "cli/experience_listing.h"
#include "cli/play_session.h"
#include "cli/show_command.h"
#include "files/fifo.h"
#include "files/temp_folder.h"

namespace zelbo {
namespace {

namespace fs = std::filesystem;

class PipeTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(testing::MakeFifo(pipe)); }

  // The message lines of a play session.
  std::string Messages(const std::string& script, const PlayOptions& options) {
    std::istringstream in(script);
    std::ostringstream out;
    EXPECT_EQ(RunPlay(in, out, options), 0);
    std::istringstream lines(out.str());
    std::string messages;
    for (std::string line; std::getline(lines, line);) {
      if (line.starts_with("message ")) messages += line + "\n";
    }
    return messages;
  }

  testing::TempFolder folder;
  const fs::path pipe = folder / "pipe";
  const testing::FifoWatchdog watchdog{{folder / "pipe"}};
};

TEST_F(PipeTest, PlayRefusesAPipeAsPositionStoreOrSavedGame) {
  const std::string refused = "message Accès au fichier refusé\n";
  const struct {
    const char* name;
    std::string script;
    PlayOptions options;
    std::string messages;
  } cases[] = {
      {"--position", "", {pipe, std::nullopt}, refused},
      {"--experience", "", {std::nullopt, pipe}, refused},
      {"open", "open " + pipe.string() + "\n", {}, refused},
      {"save", "save " + pipe.string() + "\n", {}, refused},
  };
  for (const auto& c : cases) EXPECT_EQ(Messages(c.script, c.options), c.messages) << c.name;
  EXPECT_TRUE(fs::is_fifo(pipe));
  EXPECT_FALSE(watchdog.fired());
}

TEST_F(PipeTest, ShowAndExperienceRefuseAPipe) {
  std::ostringstream out, errors;
  EXPECT_EQ(RunShow(pipe, out, errors), 1);
  EXPECT_EQ(RunExperienceListing(pipe, out, errors), 1);
  EXPECT_EQ(out.str(), "");
  EXPECT_EQ(errors.str(), "Accès au fichier refusé\nAccès au fichier refusé\n");
  EXPECT_FALSE(watchdog.fired());
}

}  // namespace
}  // namespace zelbo
