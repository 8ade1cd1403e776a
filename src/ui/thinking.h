// SPDX-License-Identifier: GPL-3.0-or-later
// A search that runs off the user-interface thread, so that the window keeps its timer and its
// repaints while the computer thinks. The move comes back on the user-interface thread.
#pragma once

#include <QObject>
#include <atomic>
#include <functional>
#include <optional>
#include <thread>

#include "engine/levels.h"

namespace zelbo {

class Thinking : public QObject {
 public:
  using Search = std::function<std::optional<LevelMove>(const std::atomic<bool>& stop)>;
  using Done = std::function<void(const std::optional<LevelMove>&)>;

  explicit Thinking(QObject* parent = nullptr) : QObject(parent) {}
  ~Thinking() override { Stop(); }

  bool busy() const { return worker_.joinable(); }

  // Runs `search` on a thread of its own; `done` gets the move here, once the search is over.
  void Start(Search search, Done done);

  // Ends a search at once and waits for its thread; its move is not delivered.
  void Stop();

 private:
  void Finish(unsigned search, const std::optional<LevelMove>& move);

  std::thread worker_;
  unsigned searches_ = 0;  // the number of the search running, or of the last one
  std::atomic<bool> stop_{false};
  Done done_;
};

}  // namespace zelbo
