// SPDX-License-Identifier: GPL-3.0-or-later
// The lines of zelbo-cli's input, read on a thread of their own, one line at a time and only once
// it is asked for, so that the program can look at what comes next while it is busy with a long
// search: the next line may stop that search. Since no line is ever read before it is asked for,
// the thread is never inside a read once the program is done with its input.
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
  using Read = std::optional<std::string>;  // a line, or no value at the end of the input

  void ReadWhenAsked();
  void AskLocked();
  void CheckWatchLocked();

  std::istream& in_;
  std::ostream* tied_;
  std::mutex mutex_;
  std::condition_variable changed_;
  bool asked_ = false;                 // a line is asked for and not read yet
  std::optional<Read> read_;           // the line read ahead, not given yet
  bool ended_ = false;                 // the input has ended
  bool closing_ = false;               // the reader is going
  std::atomic<bool>* stop_ = nullptr;  // the watch, while there is one
  std::function<bool(std::string_view)> stops_;
  std::thread thread_;
};

}  // namespace zelbo
