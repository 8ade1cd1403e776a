// SPDX-License-Identifier: GPL-3.0-or-later
// The compression of a table's bytes: each byte coded bit by bit with a binary range coder, the
// odds of every bit learnt as it goes, under the context of the two bytes before it (a table's
// neighbouring indexes are near positions, and their values alike). Standard C++ only.
//
// Decoding trusts nothing: any input gives exactly the size asked for, without reading or writing
// out of bounds; damaged input gives wrong bytes, which the table file's check finds.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace zelbo::engine {

std::vector<uint8_t> CompressTable(std::span<const uint8_t> bytes);

// Decodes `packed` into `bytes`, filling it whole.
void DecompressTable(std::span<const uint8_t> packed, std::span<uint8_t> bytes);

}  // namespace zelbo::engine
