// SPDX-License-Identifier: GPL-3.0-or-later
// The test side of saving_process (or of another program that answers its commands line by line,
// as zelbo-cli play does): starts one, talks to it, and kills it.
#pragma once

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "files/executable_folder.h"

namespace zelbo::testing {

class SavingProcess {
 public:
  // Starts "PROGRAM ARGUMENTS...", saving_process beside the test program unless told.
  explicit SavingProcess(const std::vector<std::string>& arguments,
                         const std::filesystem::path& path = ExecutableFolder() /
                                                             "saving_process") {
    const std::string program = path.string();
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& argument : arguments)
      argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    int input[2], output[2];
    if (pipe(input) != 0 || pipe(output) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, input[0], 0);
    posix_spawn_file_actions_adddup2(&actions, output[1], 1);
    posix_spawn_file_actions_addclose(&actions, input[1]);
    posix_spawn_file_actions_addclose(&actions, output[0]);
    if (posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ) != 0)
      pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(input[0]);
    close(output[1]);
    to_ = fdopen(input[1], "w");
    from_ = fdopen(output[0], "r");
  }
  SavingProcess(const SavingProcess&) = delete;
  SavingProcess& operator=(const SavingProcess&) = delete;
  ~SavingProcess() {
    if (to_ != nullptr) fclose(to_);
    if (pid_ > 0) Kill();
    if (from_ != nullptr) fclose(from_);
  }

  bool started() const { return pid_ > 0 && to_ != nullptr && from_ != nullptr; }

  // The next line it prints, without its line break; empty at its end.
  std::string ReadLine() {
    std::string line;
    for (int c; (c = fgetc(from_)) != EOF && c != '\n';) line += static_cast<char>(c);
    return line;
  }

  // Sends one command and returns its answer: the lines up to and with the one that begins with
  // `last` (saving_process's "count" line).
  std::vector<std::string> Ask(const std::string& command, const std::string& last = "count ") {
    Send(command);
    return ReadAnswer(last);
  }

  // The lines of one answer, up to and with the one that begins with `last`.
  std::vector<std::string> ReadAnswer(const std::string& last = "count ") {
    std::vector<std::string> lines;
    do {
      lines.push_back(ReadLine());
    } while (!lines.back().empty() && !lines.back().starts_with(last));
    return lines;
  }

  // Sends a command without waiting for the answer.
  void Send(const std::string& command) {
    fputs((command + "\n").c_str(), to_);
    fflush(to_);
  }

  // Kills it at once and waits for its end.
  void Kill() {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }

 private:
  pid_t pid_ = -1;
  FILE* to_ = nullptr;
  FILE* from_ = nullptr;
};

}  // namespace zelbo::testing
