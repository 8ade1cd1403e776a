// SPDX-License-Identifier: GPL-3.0-or-later
// The transcript's text escapes.
#include "cli/cli_port.h"

#include <gtest/gtest.h>

namespace zelbo {
namespace {

TEST(EscapeText, WritesControlCharactersVisibly) {
  EXPECT_EQ(EscapeText(" No experience "), " No experience ");
  EXPECT_EQ(EscapeText("a\\b"), "a\\\\b");
  EXPECT_EQ(EscapeText("sorry\r YOU"), "sorry\\r YOU");
  EXPECT_EQ(EscapeText("\rx\n"), "\\rx\\n");
  EXPECT_EQ(EscapeText(std::string_view("\x01\x1f\x7f", 3)), "\\x01\\x1f\\x7f");
  EXPECT_EQ(EscapeText("N:°"), "N:°");
}

}  // namespace
}  // namespace zelbo
