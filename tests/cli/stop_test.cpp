// SPDX-License-Identifier: GPL-3.0-or-later
// The real zelbo-cli in the middle of a search that would think for a minute: "new" or the end of
// its input, coming while it thinks, is answered at once and the search's move is dropped.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/positions.h"

extern char** environ;

namespace zelbo {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// zelbo-cli play with its standard input and output on pipes.
class CliProcess {
 public:
  CliProcess() {
    int input[2], output[2];
    if (pipe2(input, O_CLOEXEC) != 0 || pipe2(output, O_CLOEXEC) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, input[0], 0);
    posix_spawn_file_actions_adddup2(&actions, output[1], 1);
    char program[] = ZELBO_CLI_PROGRAM;
    char play[] = "play";
    char* arguments[] = {program, play, nullptr};
    if (posix_spawn(&pid_, program, &actions, nullptr, arguments, environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(input[0]);
    close(output[1]);
    to_ = input[1];
    from_ = output[0];
  }
  ~CliProcess() {
    CloseInput();
    if (pid_ > 0 && !Ended(0ms)) kill(pid_, SIGKILL);
    if (pid_ > 0) waitpid(pid_, nullptr, 0);
    close(from_);
  }

  bool started() const { return pid_ > 0; }

  void Write(const std::string& lines) {
    ASSERT_EQ(write(to_, lines.data(), lines.size()), static_cast<ssize_t>(lines.size()));
  }
  void CloseInput() {
    if (to_ >= 0) close(to_);
    to_ = -1;
  }

  // The output up to its `count`th state line, or all there is after `wait`.
  std::string UpToStateLine(int count, Clock::duration wait) {
    const auto deadline = Clock::now() + wait;
    while (StateLines() < count && Clock::now() < deadline) {
      pollfd ready{from_, POLLIN, 0};
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
      if (poll(&ready, 1, static_cast<int>(left.count()) + 1) <= 0) continue;
      char buffer[4096];
      const ssize_t n = read(from_, buffer, sizeof buffer);
      if (n <= 0) break;
      output_.append(buffer, static_cast<std::size_t>(n));
    }
    return output_;
  }

  // The process has ended, with status 0, within `wait`.
  bool Ended(Clock::duration wait) {
    const auto deadline = Clock::now() + wait;
    do {
      int status = 0;
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        return WIFEXITED(status) && WEXITSTATUS(status) == 0;
      }
      std::this_thread::sleep_for(10ms);
    } while (Clock::now() < deadline);
    return false;
  }

 private:
  int StateLines() const {
    int count = 0;
    for (std::size_t at = output_.find("state "); at != std::string::npos;
         at = output_.find("\nstate ", at + 1)) {
      ++count;
    }
    return count;
  }

  pid_t pid_ = -1;
  int to_ = -1;
  int from_ = -1;
  std::string output_;
};

std::vector<std::string> StateLinesOf(const std::string& output) {
  std::vector<std::string> lines;
  std::istringstream in(output);
  for (std::string line; std::getline(in, line);) {
    if (line.starts_with("state ")) lines.push_back(line);
  }
  return lines;
}

// The state line after the search's command: the reply dropped, the computer still to move.
constexpr char kReplyDropped[] = "state side=1 selected=- over=0 history=0 ";
constexpr char kNothingChanged[] = "state side=-1 selected=- over=0 history=0 ";
const std::string kNewGameEnd =
    "state side=-1 selected=- over=0 history=0 gauges=120,120 "
    "scores=0,0 computer=1 experience=0\nboard " +
    std::string(testing::kInitialLine) + "\n";

TEST(ZelboCliStop, NewOrTheEndOfInputStopsALongSearchAtOnce) {
  const std::string long_search = "time 2147483647\nlevel 4\n";
  const struct {
    const char* name;
    std::string search;            // the commands, the last of which searches
    bool then_new;                 // "new" comes while it searches; else the input ends
    const char* after_the_search;  // how the search's state line begins
  } cases[] = {
      {"the reply, then new", long_search + "L D6\nL E5\n", true, kReplyDropped},
      {"the reply, then the end", long_search + "L D6\nL E5\n", false, kReplyDropped},
      {"a hint, then new", long_search + "hint\n", true, kNothingChanged},
      {"a draw offer, then new", long_search + "draw\n", true, kNothingChanged},
  };
  for (const auto& c : cases) {
    CliProcess cli;
    ASSERT_TRUE(cli.started());
    cli.Write(c.search);
    // The start-up and every command print a state line; the search's comes once it ends.
    const int searched = 1 + static_cast<int>(std::count(c.search.begin(), c.search.end(), '\n'));
    cli.UpToStateLine(searched - 1, 10s);
    std::this_thread::sleep_for(300ms);  // the search is under way
    const auto stopped = Clock::now();
    if (c.then_new) cli.Write("new\n");
    cli.CloseInput();
    const std::string output = cli.UpToStateLine(searched + (c.then_new ? 1 : 0), 10s);
    EXPECT_LT(Clock::now() - stopped, 1s) << c.name;
    const std::vector<std::string> states = StateLinesOf(output);
    ASSERT_EQ(states.size(), std::size_t(searched + (c.then_new ? 1 : 0))) << c.name << output;
    EXPECT_TRUE(states[std::size_t(searched - 1)].starts_with(c.after_the_search))
        << c.name << ":\n"
        << output;
    if (c.then_new) {
      EXPECT_TRUE(output.ends_with(kNewGameEnd)) << c.name << ":\n" << output;
    }
    EXPECT_EQ(output.find("\nhint "), std::string::npos) << c.name << ": the hint is dropped";
    EXPECT_EQ(output.find("\nmessage "), std::string::npos) << c.name << ": no answer to the offer";
    EXPECT_TRUE(cli.Ended(1s)) << c.name;
  }
}

}  // namespace
}  // namespace zelbo
