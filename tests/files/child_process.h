// SPDX-License-Identifier: GPL-3.0-or-later
// Runs a file operation in a child process under limits the test process itself must not take on:
// files that cannot grow past a few bytes (the way the tests make a write fail part-way), or the
// rights of an ordinary user (the tests may run as root, whom permissions refuse nothing).
#pragma once

#include <grp.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "files/io_error.h"

namespace zelbo::testing {

// The outcome of `operation` in a child process once `prepare` has set it up: the text of the
// IoError it throws, or "no error"; what `prepare` returns instead when it could not set it up.
inline std::string OutcomeInChild(const std::function<std::string()>& prepare,
                                  const std::function<void()>& operation) {
  int channel[2];
  if (pipe(channel) != 0) return "pipe failed";
  const pid_t child = fork();
  if (child == 0) {
    std::string outcome = prepare();
    try {
      if (outcome.empty()) {
        outcome = "no error";
        operation();
      }
    } catch (const IoError& error) {
      outcome = error.text();
    }
    _exit(write(channel[1], outcome.data(), outcome.size()) < 0);
  }
  close(channel[1]);
  std::string outcome = child < 0 ? "fork failed" : "";
  char buffer[256];
  for (ssize_t n; (n = read(channel[0], buffer, sizeof buffer)) > 0;) outcome.append(buffer, n);
  close(channel[0]);
  if (child > 0) waitpid(child, nullptr, 0);
  return outcome;
}

// The IoError text that `operation` throws with files limited to `max_file_bytes`, or "no error".
inline std::string IoErrorUnderSizeLimit(rlim_t max_file_bytes,
                                         const std::function<void()>& operation) {
  return OutcomeInChild(
      [max_file_bytes] {
        signal(SIGXFSZ, SIG_IGN);  // a write past the limit then fails with EFBIG
        const rlimit limit{max_file_bytes, max_file_bytes};
        return std::string(setrlimit(RLIMIT_FSIZE, &limit) == 0 ? "" : "setrlimit failed");
      },
      operation);
}

// The user whose rights the permission tests take: this process's own when it is not root, else
// the unprivileged "nobody" (65534).
struct OrdinaryUser {
  uid_t uid;
  gid_t gid;
};
inline OrdinaryUser TheOrdinaryUser() {
  if (geteuid() != 0) return {geteuid(), getegid()};
  return {65534, 65534};
}

// The outcome of a child that could not give up root's rights: the test cannot be run.
inline constexpr std::string_view kStillRoot = "cannot give up root's rights";

// The IoError text that `operation` throws when run as TheOrdinaryUser(), or "no error".
inline std::string IoErrorAsOrdinaryUser(const std::function<void()>& operation) {
  return OutcomeInChild(
      [] {
        if (geteuid() != 0) return std::string();
        const OrdinaryUser user = TheOrdinaryUser();
        const bool dropped = setgroups(0, nullptr) == 0 && setgid(user.gid) == 0 &&
                             setuid(user.uid) == 0 && geteuid() != 0;
        return dropped ? std::string() : std::string(kStillRoot);
      },
      operation);
}

// Gives `path` to `owner` with the permission bits `mode`; false when that cannot be done (only
// root gives a file to someone else).
inline bool Prepare(const std::filesystem::path& path, uid_t owner, gid_t group, mode_t mode) {
  return chown(path.c_str(), owner, group) == 0 && chmod(path.c_str(), mode) == 0;
}

}  // namespace zelbo::testing
