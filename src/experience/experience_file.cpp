// SPDX-License-Identifier: GPL-3.0-or-later
#include "experience/experience_file.h"

#include <algorithm>
#include <cstring>

#include "experience/experience_merge.h"
#include "files/file_io.h"

namespace zelbo {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kFromOffset = sizeof(Board);
constexpr std::size_t kToOffset = kFromOffset + 2;
constexpr std::size_t kCapturedOffset = kToOffset + 2;
static_assert(kCapturedOffset + 2 == kExperienceRecordSize);

SquareRef ReadWord(std::span<const uint8_t, kExperienceRecordSize> bytes, std::size_t offset) {
  return static_cast<SquareRef>(bytes[offset] | bytes[offset + 1] << 8);
}

void WriteWord(std::span<uint8_t, kExperienceRecordSize> bytes, std::size_t offset, SquareRef s) {
  bytes[offset] = static_cast<uint8_t>(s & 0xFF);
  bytes[offset + 1] = static_cast<uint8_t>(s >> 8);
}

// Only a file that is certainly not there counts as missing; anything else is opened and reports
// its own failure.
bool StoreIsMissing(const fs::path& path) {
  std::error_code error;
  return fs::status(path, error).type() == fs::file_type::not_found;
}

// The file the store is in now: the user's copy once there is one (another copy of the program
// may have made it since this one read the store), else the file it was read from.
std::optional<fs::path> StoreNow(const UserFilePlace& place) {
  if (!place.write.empty() && !StoreIsMissing(place.write)) return place.write;
  if (!StoreIsMissing(place.read)) return place.read;
  return std::nullopt;
}

}  // namespace

fs::path ExperienceFilePath(const fs::path& folder) { return folder / kExperienceFileName; }

ExperienceRecord DecodeExperienceRecord(std::span<const uint8_t, kExperienceRecordSize> bytes) {
  ExperienceRecord record;
  std::memcpy(&record.pattern, bytes.data(), sizeof(Board));
  record.from = ReadWord(bytes, kFromOffset);
  record.to = ReadWord(bytes, kToOffset);
  record.captured = ReadWord(bytes, kCapturedOffset);
  return record;
}

void EncodeExperienceRecord(const ExperienceRecord& record,
                            std::span<uint8_t, kExperienceRecordSize> bytes) {
  std::memcpy(bytes.data(), &record.pattern, sizeof(Board));
  WriteWord(bytes, kFromOffset, record.from);
  WriteWord(bytes, kToOffset, record.to);
  WriteWord(bytes, kCapturedOffset, record.captured);
}

ExperienceFileContents ReadExperienceFile(const fs::path& path) {
  const std::vector<uint8_t> bytes = ReadWholeFile(path, kMaxExperienceFileBytes);
  ExperienceFileContents contents;
  const std::size_t count = bytes.size() / kExperienceRecordSize;
  contents.records.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    const auto record = std::span(bytes).subspan(i * kExperienceRecordSize);
    contents.records.push_back(DecodeExperienceRecord(record.first<kExperienceRecordSize>()));
  }
  contents.trailing_bytes = bytes.size() % kExperienceRecordSize;
  return contents;
}

void WriteExperienceFile(const fs::path& path, std::span<const ExperienceRecord> records) {
  std::vector<uint8_t> bytes(records.size() * kExperienceRecordSize);
  for (std::size_t i = 0; i < records.size(); ++i) {
    const auto record = std::span(bytes).subspan(i * kExperienceRecordSize);
    EncodeExperienceRecord(records[i], record.first<kExperienceRecordSize>());
  }
  ReplaceFile(path, bytes);
}

std::optional<ExperienceRecord> LoadExperienceFile(GameState& state, BoardWindowPort& port,
                                                   const UserFilePlace& place) {
  const fs::path& path = place.read;
  if (StoreIsMissing(path)) {
    port.ShowMessage(kNoExperienceText);
    return std::nullopt;
  }
  state.experience_list.clear();
  state.experience_count = 0;
  try {
    state.experience_list = ReadExperienceFile(path).records;
  } catch (const IoError& error) {
    state.experience_load_failure = error.text();
    port.ShowMessage(error.text());
    return std::nullopt;
  }
  state.experience_load_failure.clear();
  state.experience_on_disk = state.experience_list;
  state.experience_count = static_cast<uint32_t>(state.experience_list.size());
  state.experience_index = state.experience_count;
  if (state.experience_list.empty()) return std::nullopt;
  state.edit_record = state.experience_list.back();
  return state.edit_record;
}

std::optional<ExperienceRecord> LoadExperienceFile(GameState& state, BoardWindowPort& port,
                                                   const fs::path& path) {
  return LoadExperienceFile(state, port, UserFilePlace{path, path});
}

void SaveExperienceFile(GameState& state, BoardWindowPort& port, const UserFilePlace& place) {
  if (StoreIsMissing(place.read) && StoreIsMissing(place.write)) {
    return port.ShowMessage(kNoExperienceText);
  }
  // A store that could not be read still holds its records: they are not written over.
  if (!state.experience_load_failure.empty())
    return port.ShowMessage(state.experience_load_failure);
  // A user without a data folder has nowhere to keep a change.
  if (place.write.empty()) return port.ShowMessage(kAccessDeniedText);
  try {
    CreateFolderFor(place.write);
    const FolderLock turn(place.write.has_parent_path() ? place.write.parent_path() : ".");
    const std::optional<fs::path> now = StoreNow(place);
    if (!now) return port.ShowMessage(kNoExperienceText);
    const std::vector<ExperienceRecord> disk = ReadExperienceFile(*now).records;
    const std::size_t count =
        std::min<std::size_t>(state.experience_count, state.experience_list.size());
    std::span<const ExperienceRecord> ours = std::span(state.experience_list).first(count);
    auto merged = MergeExperience(state.experience_on_disk, ours, state.experience_index, disk);
    if (merged) ours = merged->records;
    WriteExperienceFile(place.write, ours);
    state.experience_on_disk.assign(ours.begin(), ours.end());
    if (!merged) return;
    state.experience_list = std::move(merged->records);
    state.experience_count = static_cast<uint32_t>(state.experience_list.size());
    state.experience_index = merged->index;
  } catch (const IoError& error) {
    port.ShowMessage(error.text());
  }
}

void SaveExperienceFile(GameState& state, BoardWindowPort& port, const fs::path& path) {
  SaveExperienceFile(state, port, UserFilePlace{path, path});
}

}  // namespace zelbo
