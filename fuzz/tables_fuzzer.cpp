// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes as an endgame tables file, read as the game reads it; each table it accepts is unpacked
// (the small ones: a file may name tables of millions of positions) and looked up.
//
// What must hold: a refused file says why; an accepted one answers for every position of a table
// whose check passes exactly what the unpacked bytes say, and nothing for one whose check fails;
// the values of the tables that pass, written again as a file, read back the same.
#include "engine/tables/endgame_tables.h"
#include "engine/tables/table_file.h"
#include "fuzz_support.h"

namespace zelbo::fuzz {
namespace {

using engine::Material;

constexpr uint64_t kLargestTableLookedAt = uint64_t{1} << 20;

std::string NameOf(const Material& m) { return std::to_string(m.Key()); }

// Looks up every position of a table at a stride, as the search would find them.
void CheckLookups(const engine::EndgameTables& tables, const Material& m,
                  const std::vector<uint8_t>* values) {
  const uint64_t size = engine::TableSize(m);
  for (uint64_t i = 0; i < size; i += 1 + size / 256) {
    const auto view = engine::PositionAt(i, m);
    if (!view) continue;
    const auto value = tables.Probe(engine::PositionOfView(*view));
    if (values == nullptr) {
      ZELBO_CHECK(!value.has_value(), NameOf(m));
    } else {
      ZELBO_CHECK(value == engine::DecodeTableValue((*values)[i]), NameOf(m));
    }
  }
}

}  // namespace
}  // namespace zelbo::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zelbo;
  const std::vector<uint8_t> bytes(data, data + size);
  std::string why;
  const auto tables = engine::EndgameTables::FromBytes(bytes, why);
  if (tables == nullptr) {
    ZELBO_CHECK(!why.empty(), "refused without a reason");
    return 0;
  }
  engine::TablesFileContents contents;
  ZELBO_CHECK(engine::ParseTablesFile(bytes, contents, why), why);
  engine::TableSet passed;
  const engine::TableScope scope = contents.scope;
  bool all_passed = true;
  for (const engine::TablesFileEntry& entry : contents.entries) {
    if (engine::TableSize(entry.material) > fuzz::kLargestTableLookedAt) {
      all_passed = false;
      continue;
    }
    std::vector<uint8_t> values;
    const bool ok = engine::UnpackTable(entry, values);
    fuzz::CheckLookups(*tables, entry.material, ok ? &values : nullptr);
    all_passed &= ok;
    if (ok) passed.Add(entry.material, std::move(values));
  }
  if (!all_passed) return 0;
  const auto again = engine::EndgameTables::FromBytes(engine::TablesFileBytes(passed, scope), why);
  ZELBO_CHECK(again != nullptr, why);
  for (const engine::Material& m : engine::MaterialsOf(scope))
    fuzz::CheckLookups(*again, m, passed.Values(m));
  return 0;
}
