// SPDX-License-Identifier: GPL-3.0-or-later
// The "Execution time" value as its dialog reads it: the text must be a whole number, as the
// run-time converts one.
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

}  // namespace zelbo
