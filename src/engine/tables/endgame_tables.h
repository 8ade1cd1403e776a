// SPDX-License-Identifier: GPL-3.0-or-later
// The endgame tables as the searching levels read them. The file is read whole when the tables
// are opened (a few megabytes, packed), and each material's table unpacked the first time a
// position of it is looked up, so that only the endings a game reaches take memory. Lookups may
// come from several threads at once.
#pragma once

#include <array>
#include <atomic>
#include <deque>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "engine/position.h"
#include "engine/tables/table_file.h"
#include "engine/tables/table_value.h"

namespace zelbo::engine {

class EndgameTables {
 public:
  // The tables of a file; none, with `why` set, when it cannot be read or is refused.
  static std::unique_ptr<EndgameTables> Open(const std::filesystem::path& file, std::string& why);
  // The tables of a file's bytes.
  static std::unique_ptr<EndgameTables> FromBytes(std::vector<uint8_t> bytes, std::string& why);
  // The tables of a set just built, nothing packed.
  static std::unique_ptr<EndgameTables> FromSet(const TableSet& set, const TableScope& scope);

  ~EndgameTables();
  EndgameTables(const EndgameTables&) = delete;
  EndgameTables& operator=(const EndgameTables&) = delete;

  const TableScope& scope() const { return scope_; }

  // The value of a position for its side to move when the tables hold its material and it has no
  // walls; none otherwise, or when its table is damaged. A side to move without a piece has lost.
  std::optional<TableValue> Probe(const Position& position) const;

  // How many materials' tables are unpacked, and their bytes: the memory the tables hold beyond
  // the file.
  int UnpackedTables() const;
  uint64_t UnpackedBytes() const;

 private:
  struct Slot {
    const TablesFileEntry* entry = nullptr;
    std::atomic<const uint8_t*> values{nullptr};
    std::atomic<bool> damaged{false};
  };

  EndgameTables() = default;
  const uint8_t* Unpack(Slot& slot) const;

  TableScope scope_;
  int most_pieces_ = 0;
  std::vector<uint8_t> file_;
  TablesFileContents contents_;
  mutable std::array<Slot, 1 << 12> slots_;  // by material key
  mutable std::mutex unpacking_;
  mutable std::deque<std::vector<uint8_t>> unpacked_;
};

// The tables of this program: the file beside a portable program or among an installed one's
// shipped files, opened on the first call; none when there is no such file or it is refused.
const EndgameTables* ProgramTables();
// Where ProgramTables looks, and why it has none (empty when it has them).
std::filesystem::path ProgramTablesFile();
std::string ProgramTablesProblem();

}  // namespace zelbo::engine
