// SPDX-License-Identifier: GPL-3.0-or-later
// Building the endgame tables by retrograde analysis under the searching levels' rules, with the
// engine's own move generator for every move forward, so that a table cannot disagree with the
// search. The materials are built smallest first: a capture leads to fewer pieces, a man crowned
// to fewer men, and a material and its colours swapped are built together, since a move that
// neither takes nor crowns leads from one to the other.
//
// In a material, the positions are settled by the number of plies to the end. Lost in 0: the side
// to move has no legal move. Won in d + 1: a move leads to a position lost in d, none to one lost
// sooner. Lost in d + 1: every move leads to a position won for the other side, the longest in d.
// What never settles is drawn.
#pragma once

#include <functional>
#include <optional>
#include <unordered_map>
#include <vector>

#include "engine/tables/table_index.h"
#include "engine/tables/table_value.h"

namespace zelbo::engine {

// Which materials a set of tables holds: every one of up to `pieces` pieces on the board, and
// the kings-only ones up to `kings_only_pieces`. Each side has at least one piece.
struct TableScope {
  int pieces = 4;
  int kings_only_pieces = 5;
  bool Holds(const Material& material) const;
};

// The materials of a scope in the order they are built.
std::vector<Material> MaterialsOf(const TableScope& scope);

// The values of a set of tables, one byte an index (see table_value.h).
class TableSet {
 public:
  void Add(const Material& material, std::vector<uint8_t> values);
  // The values of a material's table; none when the set does not hold it.
  const std::vector<uint8_t>* Values(const Material& material) const;
  // The value of a position of the set's materials; none for another material.
  std::optional<TableValue> Probe(const TablePosition& view) const;

 private:
  std::unordered_map<uint32_t, std::vector<uint8_t>> tables_;
};

// `done` of `count` materials are built, the last one `material`.
using TableBuildProgress = std::function<void(const Material& material, int done, int count)>;

// A number that names the move rules the generator plays: a hash of the moves of a fixed sample
// of small positions, the same whatever order the generator lists them in.
uint64_t RulesSignature();

// Builds every table of the scope. Throws std::runtime_error when a line is too long for a
// table's byte, or when the build finds its moves backward disagreeing with the generator's.
TableSet BuildTables(const TableScope& scope, const TableBuildProgress& progress = {});

}  // namespace zelbo::engine
