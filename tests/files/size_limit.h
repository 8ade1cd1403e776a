// Runs a file operation in a child process whose files cannot grow past a few bytes, which is how
// the tests make a write fail part-way (they run as root, so permissions cannot refuse a write).
#pragma once

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>

#include "files/io_error.h"

namespace zelbo::testing {

// The IoError text that `operation` throws with every file limited to `max_file_bytes`; "no error"
// when it succeeds, "other exception" for anything else.
inline std::string IoErrorUnderSizeLimit(rlim_t max_file_bytes,
                                         const std::function<void()>& operation) {
  int channel[2];
  if (pipe(channel) != 0) return "pipe failed";
  const pid_t child = fork();
  if (child < 0) return "fork failed";
  if (child == 0) {
    close(channel[0]);
    signal(SIGXFSZ, SIG_IGN);  // a write past the limit then fails with EFBIG
    const rlimit limit{max_file_bytes, max_file_bytes};
    std::string outcome = "no error";
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0) outcome = "setrlimit failed";
    try {
      if (outcome == "no error") operation();
    } catch (const IoError& error) {
      outcome = error.text();
    } catch (...) {
      outcome = "other exception";
    }
    const ssize_t written = write(channel[1], outcome.data(), outcome.size());
    _exit(written == static_cast<ssize_t>(outcome.size()) ? 0 : 1);
  }
  close(channel[1]);
  std::string outcome;
  char buffer[256];
  for (ssize_t n; (n = read(channel[0], buffer, sizeof buffer)) > 0;) outcome.append(buffer, n);
  close(channel[0]);
  int status = 0;
  waitpid(child, &status, 0);
  return outcome;
}

}  // namespace zelbo::testing
