// Runs a file operation in a child process whose files cannot grow past a few bytes: the way the
// tests make a write fail part-way, since they run as root and permissions refuse root nothing.
#pragma once

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>

#include "files/io_error.h"

namespace zelbo::testing {

// The IoError text that `operation` throws with files limited to `max_file_bytes`, or "no error".
inline std::string IoErrorUnderSizeLimit(rlim_t max_file_bytes,
                                         const std::function<void()>& operation) {
  int channel[2];
  if (pipe(channel) != 0) return "pipe failed";
  const pid_t child = fork();
  if (child == 0) {
    signal(SIGXFSZ, SIG_IGN);  // a write past the limit then fails with EFBIG
    const rlimit limit{max_file_bytes, max_file_bytes};
    std::string outcome = setrlimit(RLIMIT_FSIZE, &limit) == 0 ? "no error" : "setrlimit failed";
    try {
      if (outcome == "no error") operation();
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

}  // namespace zelbo::testing
