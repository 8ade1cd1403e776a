// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/execution_time.h"

#include <algorithm>

namespace zelbo {

std::optional<int32_t> ParseInteger(std::string_view text) {
  std::size_t i = text.find_first_not_of(' ');
  if (i == std::string_view::npos) return std::nullopt;
  bool negative = false;
  if (text[i] == '+' || text[i] == '-') negative = text[i++] == '-';
  int base = 10;
  if (i < text.size() && text[i] == '$') {
    base = 16, ++i;
  } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    base = 16, i += 2;
  }
  if (i == text.size()) return std::nullopt;
  int64_t value = 0;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    int digit = -1;
    if (c >= '0' && c <= '9') digit = c - '0';
    if (base == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    if (base == 16 && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    if (digit < 0) return std::nullopt;
    value = value * base + digit;
    if (value > int64_t{INT32_MAX} + 1) return std::nullopt;
  }
  if (negative) value = -value;
  if (value > INT32_MAX || value < INT32_MIN) return std::nullopt;
  return static_cast<int32_t>(value);
}

std::string NotAnIntegerMessage(std::string_view text) {
  return "'" + std::string(text) + "' n'est pas une valeur entière correcte";
}

int32_t ThinkingTime(int32_t execution_time) {
  return std::clamp<int32_t>(execution_time, 1, kLongestThinkingTime);
}

ExecutionTimeEntry ReadExecutionTime(std::string_view text, bool searching_level) {
  const std::optional<int32_t> value = ParseInteger(text);
  if (!value) return {std::nullopt, NotAnIntegerMessage(text)};
  if (searching_level && *value > kLongestThinkingTime) {
    return {std::nullopt, "'" + std::string(text) + "' : un niveau qui cherche réfléchit " +
                              std::to_string(kLongestThinkingTime) + " ms au plus"};
  }
  return {value, {}};
}

}  // namespace zelbo
