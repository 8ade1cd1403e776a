// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/tables/table_file.h"

#include <algorithm>
#include <cstring>

#include "engine/tables/table_codec.h"

namespace zelbo::engine {
namespace {

constexpr char kMagic[8] = {'Z', 'E', 'L', 'B', 'O', 'T', 'A', 'B'};
constexpr uint32_t kFormat = 1;
constexpr std::size_t kHeaderSize = 8 + 4 + 4 + 4 + 8 + 4;
constexpr std::size_t kEntrySize = 4 + 8 + 8 + 8;

void Put(std::vector<uint8_t>& out, uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// Reads little-endian numbers from a span, never past its end.
class Reader {
 public:
  explicit Reader(std::span<const uint8_t> bytes) : bytes_(bytes) {}
  uint64_t Get(int bytes) {
    uint64_t value = 0;
    for (int i = 0; i < bytes && at_ < bytes_.size(); ++i) {
      value |= uint64_t{bytes_[at_++]} << (8 * i);
    }
    return value;
  }

 private:
  std::span<const uint8_t> bytes_;
  std::size_t at_ = 0;
};

// FNV-1a over the bytes, then mixed: enough to find damage, not meant against forgery.
uint64_t CheckOf(std::span<const uint8_t> bytes) {
  uint64_t h = 0xCBF29CE484222325ull;
  for (const uint8_t b : bytes) h = (h ^ b) * 0x100000001B3ull;
  h ^= h >> 33;
  h *= 0xFF51AFD7ED558CCDull;
  return h ^ (h >> 33);
}

bool Refuse(std::string& why, std::string text) {
  why = std::move(text);
  return false;
}

}  // namespace

std::vector<uint8_t> TablesFileBytes(const TableSet& set, const TableScope& scope) {
  const std::vector<Material> materials = MaterialsOf(scope);
  std::vector<std::vector<uint8_t>> packed;
  std::vector<uint64_t> checks;
  for (const Material& m : materials) {
    const std::vector<uint8_t>& values = *set.Values(m);
    packed.push_back(CompressTable(values));
    checks.push_back(CheckOf(values));
  }
  std::vector<uint8_t> out(std::begin(kMagic), std::end(kMagic));
  Put(out, kFormat, 4);
  Put(out, static_cast<uint64_t>(scope.pieces), 4);
  Put(out, static_cast<uint64_t>(scope.kings_only_pieces), 4);
  Put(out, RulesSignature(), 8);
  Put(out, materials.size(), 4);
  uint64_t offset = kHeaderSize + kEntrySize * materials.size();
  for (std::size_t i = 0; i < materials.size(); ++i) {
    Put(out, materials[i].Key(), 4);
    Put(out, offset, 8);
    Put(out, packed[i].size(), 8);
    Put(out, checks[i], 8);
    offset += packed[i].size();
  }
  for (const auto& p : packed) out.insert(out.end(), p.begin(), p.end());
  return out;
}

bool ParseTablesFile(std::span<const uint8_t> bytes, TablesFileContents& contents,
                     std::string& why) {
  if (bytes.size() < kHeaderSize || std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0) {
    return Refuse(why, "not an endgame tables file");
  }
  Reader in(bytes.subspan(sizeof kMagic));
  if (in.Get(4) != kFormat) return Refuse(why, "a format this program does not read");
  const uint64_t pieces = in.Get(4), kings_only = in.Get(4);
  if (pieces < 2 || pieces >= kMostTablePieces || kings_only > kMostTablePieces) {
    return Refuse(why, "tables of a size this program does not hold");
  }
  contents.scope = {static_cast<int>(pieces), static_cast<int>(kings_only)};
  if (in.Get(8) != RulesSignature()) return Refuse(why, "tables of other move rules");
  const std::vector<Material> materials = MaterialsOf(contents.scope);
  const uint64_t count = in.Get(4);
  if (count != materials.size() || bytes.size() < kHeaderSize + kEntrySize * count) {
    return Refuse(why, "the list of tables does not match");
  }
  Reader entries(bytes.subspan(kHeaderSize));
  contents.entries.clear();
  for (const Material& m : materials) {
    const uint64_t key = entries.Get(4), offset = entries.Get(8), size = entries.Get(8);
    const uint64_t check = entries.Get(8);
    if (key != m.Key() || offset > bytes.size() || size > bytes.size() - offset) {
      return Refuse(why, "the list of tables does not match");
    }
    contents.entries.push_back({m, bytes.subspan(offset, size), check});
  }
  return true;
}

bool UnpackTable(const TablesFileEntry& entry, std::vector<uint8_t>& values) {
  values.assign(TableSize(entry.material), 0);
  DecompressTable(entry.packed, values);
  return CheckOf(values) == entry.check;
}

}  // namespace zelbo::engine
