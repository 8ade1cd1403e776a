// SPDX-License-Identifier: GPL-3.0-or-later
#include "outside_engine.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <sstream>
#include <thread>

#include "game/notation.h"

namespace zelbo::bench {
namespace {

using Clock = std::chrono::steady_clock;

void CloseIfOpen(int& fd) {
  if (fd >= 0) close(fd);
  fd = -1;
}

}  // namespace

OutsideEngine::OutsideEngine(std::string command) : command_(std::move(command)) {
  // A program that is gone must not end the match when it is written to.
  signal(SIGPIPE, SIG_IGN);
}

OutsideEngine::~OutsideEngine() { Stop(); }

void OutsideEngine::Start() {
  int in[2], out[2];
  if (pipe2(in, O_CLOEXEC) != 0) return;
  if (pipe2(out, O_CLOEXEC) != 0) {
    close(in[0]), close(in[1]);
    return;
  }
  const pid_t pid = fork();
  if (pid == 0) {
    setpgid(0, 0);  // its own process group, so that what it started ends with it
    signal(SIGPIPE, SIG_DFL);
    dup2(in[0], STDIN_FILENO);
    dup2(out[1], STDOUT_FILENO);
    execl("/bin/sh", "sh", "-c", command_.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  close(in[0]), close(out[1]);
  if (pid < 0) {
    close(in[1]), close(out[0]);
    return;
  }
  pid_ = pid;
  to_program_ = in[1];
  from_program_ = out[0];
  pending_.clear();
}

// Asks the program to quit, then ends it if it has not after a second.
void OutsideEngine::Stop() {
  if (pid_ < 0) return;
  Send("quit");
  CloseIfOpen(to_program_);
  CloseIfOpen(from_program_);
  const auto deadline = Clock::now() + std::chrono::seconds(1);
  while (waitpid(pid_, nullptr, WNOHANG) == 0) {
    if (Clock::now() >= deadline) {
      kill(-pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  pid_ = -1;
}

bool OutsideEngine::Send(std::string_view line) {
  std::string text(line);
  text += '\n';
  for (std::size_t done = 0; done < text.size();) {
    const ssize_t n = write(to_program_, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

std::optional<std::string> OutsideEngine::Receive(std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  for (;;) {
    const std::size_t end = pending_.find('\n');
    if (end != std::string::npos) {
      std::string line = pending_.substr(0, end);
      pending_.erase(0, end + 1);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      return line;
    }
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) return std::nullopt;
    pollfd fd{from_program_, POLLIN, 0};
    const int ready = poll(&fd, 1, static_cast<int>(left));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return std::nullopt;
    char buffer[4096];
    const ssize_t n = read(from_program_, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return std::nullopt;  // the program is gone
    pending_.append(buffer, static_cast<std::size_t>(n));
  }
}

void OutsideEngine::NewGame() {
  if (pid_ < 0) Start();
  if (pid_ >= 0 && !Send("new")) Stop();
}

std::optional<std::string> OutsideEngine::Ask(const Board& board, int side, int milliseconds,
                                              std::chrono::milliseconds timeout) {
  if (pid_ < 0) Start();
  std::optional<std::string> answer;
  if (pid_ >= 0 &&
      Send(FormatBoardLine(board) + (side > 0 ? " 1 " : " -1 ") + std::to_string(milliseconds))) {
    answer = Receive(timeout);
  }
  if (!answer) Stop();
  return answer;
}

std::optional<LevelMove> ParseAnswer(std::string_view line) {
  std::istringstream words{std::string(line)};
  std::string word;
  LevelMove move;
  int squares = 0;
  while (words >> word) {
    const auto square = ParseSquareName(word);
    if (!square || squares > LevelMove::kMaxLandings) return std::nullopt;
    if (squares == 0) {
      move.from = *square;
    } else {
      move.landings[move.landing_count++] = *square;
    }
    ++squares;
  }
  if (squares < 2) return std::nullopt;
  return move;
}

}  // namespace zelbo::bench
