// SPDX-License-Identifier: GPL-3.0-or-later
// The lines of zelbo-cli's input, one at a time and only once it is asked for. While the program
// is busy with a long search, the next line is read on a thread of the reader's own, so that it
// may stop that search; otherwise the program reads its lines itself. Since no line is read
// before it is asked for, the thread is never inside a read once the program is done with its
// input.
#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <istream>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

namespace zelbo {

class LineReader {
 public:
  // Reading from `in`, which the reader unties from its output stream: the program flushes what it
  // wrote itself before it waits for a line.
  explicit LineReader(std::istream& in);
  ~LineReader();
  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;

  // The next line, once it is read; no value at the end of the input.
  std::optional<std::string> Next();

  // Until EndWatch, the next line is read meanwhile, and `stop` is set as soon as it is the end
  // of the input or a line that `stops` accepts. The line itself is still Next's to give.
  void Watch(std::atomic<bool>& stop, std::function<bool(std::string_view)> stops);
  void EndWatch();

 private:
  void ReadWhenAsked();
  void CheckWatchLocked();

  std::istream& in_;
  std::ostream* tied_;
  std::mutex mutex_;
  std::condition_variable changed_;
  bool asked_ = false;                 // the thread is asked for the next line and reads it
  std::optional<std::string> read_;    // the line it read, not given yet
  bool ended_ = false;                 // the input has ended
  bool closing_ = false;               // the reader is going
  std::atomic<bool>* stop_ = nullptr;  // the watch, while there is one
  std::function<bool(std::string_view)> stops_;
  std::thread thread_;  // started at the first watch
};

}  // namespace zelbo
