// SPDX-License-Identifier: GPL-3.0-or-later
// Named pipes in a test's folder, and a watchdog that keeps a test from hanging on one: opening a
// pipe for reading waits for a writer. Past its deadline the watchdog opens every pipe for writing,
// which lets a reader waiting in open go on, and remembers that it had to.
#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <thread>
#include <vector>

namespace zelbo::testing {

inline bool MakeFifo(const std::filesystem::path& path) { return mkfifo(path.c_str(), 0666) == 0; }

class FifoWatchdog {
 public:
  explicit FifoWatchdog(std::vector<std::filesystem::path> fifos,
                        std::chrono::seconds deadline = std::chrono::seconds(10))
      : fifos_(std::move(fifos)), thread_([this, deadline] { Watch(deadline); }) {}
  FifoWatchdog(const FifoWatchdog&) = delete;
  FifoWatchdog& operator=(const FifoWatchdog&) = delete;
  ~FifoWatchdog() {
    {
      std::lock_guard lock(mutex_);
      stopped_ = true;
    }
    wake_.notify_all();
    thread_.join();
  }

  // Whether something waited on one of the pipes until the deadline.
  bool fired() const { return fired_; }

 private:
  void Watch(std::chrono::seconds deadline) {
    std::unique_lock lock(mutex_);
    if (wake_.wait_for(lock, deadline, [this] { return stopped_; })) return;
    while (!wake_.wait_for(lock, std::chrono::milliseconds(20), [this] { return stopped_; })) {
      for (const auto& fifo : fifos_) {
        // Succeeds only while a reader has the pipe open, or is waiting to.
        const int fd = open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
        if (fd < 0) continue;
        fired_ = true;
        close(fd);
      }
    }
  }

  std::vector<std::filesystem::path> fifos_;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool stopped_ = false;
  std::atomic<bool> fired_ = false;
  std::thread thread_;
};

}  // namespace zelbo::testing
