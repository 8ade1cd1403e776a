// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/thinking.h"

#include <QMetaObject>

namespace zelbo {

void Thinking::Start(Search search, Done done) {
  Stop();
  stop_ = false;
  done_ = std::move(done);
  const unsigned number = ++searches_;
  worker_ = std::thread([this, number, search = std::move(search)] {
    const std::optional<LevelMove> move = search(stop_);
    QMetaObject::invokeMethod(
        this, [this, number, move] { Finish(number, move); }, Qt::QueuedConnection);
  });
}

void Thinking::Stop() {
  if (!worker_.joinable()) return;
  stop_ = true;
  worker_.join();
  done_ = nullptr;
}

// A search stopped meanwhile, or followed by another, delivers nothing.
void Thinking::Finish(unsigned search, const std::optional<LevelMove>& move) {
  if (search != searches_ || !worker_.joinable()) return;
  worker_.join();
  if (Done done = std::exchange(done_, nullptr)) done(move);
}

}  // namespace zelbo
