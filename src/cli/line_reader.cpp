// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/line_reader.h"

namespace zelbo {

LineReader::LineReader(std::istream& in) : in_(in), tied_(in.tie(nullptr)) {}

LineReader::~LineReader() {
  {
    const std::lock_guard lock(mutex_);
    closing_ = true;
  }
  changed_.notify_all();
  if (thread_.joinable()) thread_.join();
  in_.tie(tied_);
}

// The line the thread read, or the next one read here while the thread is idle.
std::optional<std::string> LineReader::Next() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return !asked_; });
  if (read_) {
    std::optional<std::string> line = std::move(read_);
    read_.reset();
    return line;
  }
  if (ended_) return std::nullopt;
  lock.unlock();
  std::string line;
  if (std::getline(in_, line)) return line;
  lock.lock();
  ended_ = true;
  return std::nullopt;
}

void LineReader::Watch(std::atomic<bool>& stop, std::function<bool(std::string_view)> stops) {
  const std::lock_guard lock(mutex_);
  stop_ = &stop;
  stops_ = std::move(stops);
  if (read_ || ended_) return CheckWatchLocked();
  if (!thread_.joinable()) thread_ = std::thread([this] { ReadWhenAsked(); });
  asked_ = true;
  changed_.notify_all();
}

void LineReader::EndWatch() {
  const std::lock_guard lock(mutex_);
  stop_ = nullptr;
  stops_ = nullptr;
}

void LineReader::CheckWatchLocked() {
  if (stop_ != nullptr && (read_ ? stops_(*read_) : ended_)) stop_->store(true);
}

void LineReader::ReadWhenAsked() {
  std::unique_lock lock(mutex_);
  while (true) {
    changed_.wait(lock, [this] { return asked_ || closing_; });
    if (closing_) return;
    lock.unlock();
    std::string line;
    const bool got = static_cast<bool>(std::getline(in_, line));
    lock.lock();
    if (got) read_ = std::move(line);
    ended_ = !got;
    asked_ = false;
    CheckWatchLocked();
    changed_.notify_all();
  }
}

}  // namespace zelbo
