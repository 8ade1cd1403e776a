// SPDX-License-Identifier: GPL-3.0-or-later
// The file that holds a set of tables, "endgame.tables". All numbers little-endian:
//
//   "ZELBOTAB", format (u32), pieces (u32), kings-only pieces (u32), rules signature (u64),
//   count (u32), then one entry a material in build order: key (u32), offset (u64), packed size
//   (u64), check (u64); then the packed tables.
//
// The rules signature names the move rules the tables were built under: a file of other rules,
// another format, a scope this program cannot hold, or entries that do not match the scope's
// materials is refused whole. A table whose bytes fail their check is refused when it is
// unpacked, and only that table.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/tables/table_build.h"

namespace zelbo::engine {

inline constexpr std::string_view kTablesFileName = "endgame.tables";

// The bytes of the file for a set built for `scope`.
std::vector<uint8_t> TablesFileBytes(const TableSet& set, const TableScope& scope);

struct TablesFileEntry {
  Material material;
  std::span<const uint8_t> packed;
  uint64_t check = 0;
};

struct TablesFileContents {
  TableScope scope;
  std::vector<TablesFileEntry> entries;  // spans into the bytes parsed
};

// The contents of a file's bytes, which must outlive them; false with `why` set when refused.
bool ParseTablesFile(std::span<const uint8_t> bytes, TablesFileContents& contents,
                     std::string& why);

// A table's values from its entry; false when they fail the check.
bool UnpackTable(const TablesFileEntry& entry, std::vector<uint8_t>& values);

// The largest scope a file may have: every material of up to 5 pieces, or kings only up to 6.
inline constexpr int kMostTablePieces = 6;

}  // namespace zelbo::engine
