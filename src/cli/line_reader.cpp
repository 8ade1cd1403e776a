// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/line_reader.h"

namespace zelbo {

LineReader::LineReader(std::istream& in) : in_(in), tied_(in.tie(nullptr)) {
  thread_ = std::thread([this] { ReadWhenAsked(); });
}

LineReader::~LineReader() {
  {
    const std::lock_guard lock(mutex_);
    closing_ = true;
  }
  changed_.notify_all();
  thread_.join();
  in_.tie(tied_);
}

std::optional<std::string> LineReader::Next() {
  std::unique_lock lock(mutex_);
  AskLocked();
  changed_.wait(lock, [this] { return read_.has_value(); });
  Read line = std::move(*read_);
  read_.reset();
  return line;
}

void LineReader::Watch(std::atomic<bool>& stop, std::function<bool(std::string_view)> stops) {
  const std::lock_guard lock(mutex_);
  stop_ = &stop;
  stops_ = std::move(stops);
  AskLocked();
  CheckWatchLocked();
}

void LineReader::EndWatch() {
  const std::lock_guard lock(mutex_);
  stop_ = nullptr;
  stops_ = nullptr;
}

// Asks for the next line unless it is read or asked for already; after the end of the input
// every line asked for is the end again.
void LineReader::AskLocked() {
  if (read_.has_value() || asked_) return;
  if (ended_) {
    read_.emplace();
    return;
  }
  asked_ = true;
  changed_.notify_all();
}

void LineReader::CheckWatchLocked() {
  if (stop_ == nullptr || !read_.has_value()) return;
  if (!read_->has_value() || stops_(**read_)) stop_->store(true);
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
    asked_ = false;
    ended_ = !got;
    if (got) {
      read_.emplace(std::move(line));
    } else {
      read_.emplace();
    }
    CheckWatchLocked();
    changed_.notify_all();
  }
}

}  // namespace zelbo
