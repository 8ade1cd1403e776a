// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/tables/endgame_tables.h"

#include <bit>

#include "files/file_io.h"
#include "files/file_places.h"

namespace zelbo::engine {

std::unique_ptr<EndgameTables> EndgameTables::Open(const std::filesystem::path& file,
                                                   std::string& why) {
  try {
    return FromBytes(ReadWholeFile(file), why);
  } catch (const IoError& error) {
    why = error.text();
    return nullptr;
  }
}

std::unique_ptr<EndgameTables> EndgameTables::FromBytes(std::vector<uint8_t> bytes,
                                                        std::string& why) {
  std::unique_ptr<EndgameTables> tables(new EndgameTables());
  tables->file_ = std::move(bytes);
  if (!ParseTablesFile(tables->file_, tables->contents_, why)) return nullptr;
  tables->scope_ = tables->contents_.scope;
  tables->most_pieces_ = std::max(tables->scope_.pieces, tables->scope_.kings_only_pieces);
  for (const TablesFileEntry& entry : tables->contents_.entries) {
    tables->slots_[entry.material.Key()].entry = &entry;
  }
  return tables;
}

std::unique_ptr<EndgameTables> EndgameTables::FromSet(const TableSet& set,
                                                      const TableScope& scope) {
  std::unique_ptr<EndgameTables> tables(new EndgameTables());
  tables->scope_ = scope;
  tables->most_pieces_ = std::max(scope.pieces, scope.kings_only_pieces);
  for (const Material& m : MaterialsOf(scope)) {
    tables->unpacked_.push_back(*set.Values(m));
    tables->slots_[m.Key()].values = tables->unpacked_.back().data();
  }
  return tables;
}

EndgameTables::~EndgameTables() = default;

const uint8_t* EndgameTables::Unpack(Slot& slot) const {
  const std::lock_guard lock(unpacking_);
  if (const uint8_t* values = slot.values.load(std::memory_order_acquire)) return values;
  if (slot.entry == nullptr || slot.damaged.load(std::memory_order_relaxed)) return nullptr;
  std::vector<uint8_t> values;
  if (!UnpackTable(*slot.entry, values)) {
    slot.damaged.store(true, std::memory_order_relaxed);
    return nullptr;
  }
  unpacked_.push_back(std::move(values));
  slot.values.store(unpacked_.back().data(), std::memory_order_release);
  return unpacked_.back().data();
}

std::optional<TableValue> EndgameTables::Probe(const Position& position) const {
  if (position.walls != 0) return std::nullopt;
  if (std::popcount(position.pieces[0] | position.pieces[1]) > most_pieces_) return std::nullopt;
  if (position.Own() == 0) return TableValue{-1, 0};
  const TablePosition view = TableView(position);
  const Material material = MaterialOf(view);
  if (!scope_.Holds(material)) return std::nullopt;
  Slot& slot = slots_[material.Key()];
  const uint8_t* values = slot.values.load(std::memory_order_acquire);
  if (values == nullptr && (values = Unpack(slot)) == nullptr) return std::nullopt;
  return DecodeTableValue(values[IndexOf(view, material)]);
}

int EndgameTables::UnpackedTables() const {
  const std::lock_guard lock(unpacking_);
  return static_cast<int>(unpacked_.size());
}

uint64_t EndgameTables::UnpackedBytes() const {
  const std::lock_guard lock(unpacking_);
  uint64_t bytes = 0;
  for (const auto& values : unpacked_) bytes += values.size();
  return bytes;
}

namespace {

struct OpenedTables {
  std::filesystem::path file;
  std::unique_ptr<EndgameTables> tables;
  std::string why;
};

const OpenedTables& ProgramTablesOpened() {
  static const OpenedTables opened = [] {
    OpenedTables o;
    o.file = FilePlaces::OfThisProgram().FolderHolding(kTablesFileName) / kTablesFileName;
    o.tables = EndgameTables::Open(o.file, o.why);
    return o;
  }();
  return opened;
}

}  // namespace

const EndgameTables* ProgramTables() { return ProgramTablesOpened().tables.get(); }
std::filesystem::path ProgramTablesFile() { return ProgramTablesOpened().file; }
std::string ProgramTablesProblem() { return ProgramTablesOpened().why; }

}  // namespace zelbo::engine
