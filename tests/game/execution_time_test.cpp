// SPDX-License-Identifier: GPL-3.0-or-later
// The time a searching level thinks for: the execution time, but never under a millisecond nor
// over a minute, whatever number the dialog took.
#include "game/execution_time.h"

#include <gtest/gtest.h>

#include <limits>

namespace zelbo {
namespace {

TEST(ThinkingTime, IsTheExecutionTimeWithinAMillisecondAndAMinute) {
  const struct {
    int32_t execution_time;
    int32_t thinking_time;
  } cases[] = {
      {std::numeric_limits<int32_t>::min(), 1},
      {0, 1},
      {50, 50},
      {60000, 60000},
      {60001, 60000},
      {std::numeric_limits<int32_t>::max(), 60000},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ThinkingTime(c.execution_time), c.thinking_time) << c.execution_time;
  }
}

}  // namespace
}  // namespace zelbo
