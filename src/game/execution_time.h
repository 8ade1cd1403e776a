// SPDX-License-Identifier: GPL-3.0-or-later
// The "Execution time" value as its dialog reads it: the text must be a whole number, as the
// run-time converts one. A searching level thinks for that many milliseconds, a minute at most.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zelbo {

// The 32-bit integer a text stands for: blanks before it, an optional sign, then decimal digits, or
// hexadecimal ones after "$" or "0x". No value for anything else, or a number out of range.
std::optional<int32_t> ParseInteger(std::string_view text);

// "'%s' n'est pas une valeur entière correcte" with the text in place of %s.
std::string NotAnIntegerMessage(std::string_view text);

// The longest a searching level thinks for one reply or hint, in milliseconds, whatever the
// execution time: long enough for any use, short enough that nothing waits for days.
inline constexpr int32_t kLongestThinkingTime = 60000;

// The time a searching level thinks for: the execution time within 1 .. kLongestThinkingTime.
int32_t ThinkingTime(int32_t execution_time);

// What the dialog makes of the confirmed text: the new execution time, or the message that
// refuses it. A text that is no whole number is refused as designed; while a searching level
// plays, so is a time above kLongestThinkingTime. Level 1 reads no time and takes any number.
struct ExecutionTimeEntry {
  std::optional<int32_t> value;
  std::string refusal;
};
ExecutionTimeEntry ReadExecutionTime(std::string_view text, bool searching_level);

}  // namespace zelbo
