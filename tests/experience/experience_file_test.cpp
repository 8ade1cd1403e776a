// The experience store as its file sees it: what a load makes of files of every size, that a save
// gives back every byte it read, and that a store never appears or breaks because of a save.
#include "experience/experience_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "experience/experience_editing.h"
#include "files/child_process.h"
#include "files/fifo.h"
#include "files/temp_folder.h"
#include "support/recording_port.h"

namespace zelbo {
namespace {

using testing::Counting;
using testing::ReadBytes;
using testing::WriteBytes;
using Bytes = std::vector<uint8_t>;
using Events = std::vector<std::string>;

// A record of arbitrary bytes: the extra bytes of every cell and the high bytes of the square
// references are all non-zero.
Bytes RecordBytes(uint8_t first) { return Counting(kExperienceRecordSize, first); }

ExperienceRecord RecordOf(const Bytes& bytes) {
  return DecodeExperienceRecord(std::span<const uint8_t, kExperienceRecordSize>(bytes.data(), 198));
}

Bytes Joined(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

// The editor before the load: its own working record and one record from before.
GameState EditorAtStart() {
  GameState state;
  state.edit_record = RecordOf(RecordBytes(200));
  state.experience_list = {RecordOf(RecordBytes(7))};
  state.experience_count = state.experience_index = 1;
  return state;
}

TEST(LoadExperienceFile, ReadsEveryWholeRecordAndNothingElse) {
  const Bytes first = RecordBytes(0), second = RecordBytes(100);
  const struct {
    const char* name;
    std::optional<Bytes> file;  // none: no file, or a folder in its place
    bool folder;
    Events events;
    std::size_t count;
    uint32_t index;
    std::optional<Bytes> shown;  // the record returned to draw, which the editor now holds
  } cases[] = {
      {"empty file", Bytes{}, false, {}, 0, 0, std::nullopt},
      {"one record", first, false, {}, 1, 1, first},
      {"one record and two bytes", Joined({first, {1, 2}}), false, {}, 1, 1, first},
      {"two records", Joined({first, second}), false, {}, 2, 2, second},
      {"no file", std::nullopt, false, {"message  No experience "}, 1, 1, std::nullopt},
      {"a folder", std::nullopt, true, {"message Accès au fichier refusé"}, 0, 1, std::nullopt},
  };
  for (const auto& test : cases) {
    testing::TempFolder folder;
    const auto path = ExperienceFilePath(folder.path());
    if (test.file) WriteBytes(path, *test.file);
    if (test.folder) std::filesystem::create_directory(path);
    GameState state = EditorAtStart();
    testing::RecordingPort port;
    const auto shown = LoadExperienceFile(state, port, path);
    EXPECT_EQ(port.Take(), test.events) << test.name;
    EXPECT_EQ(state.experience_list.size(), test.count) << test.name;
    EXPECT_EQ(state.experience_count, test.count) << test.name;
    EXPECT_EQ(state.experience_index, test.index) << test.name;
    EXPECT_EQ(shown, test.shown ? std::optional(RecordOf(*test.shown)) : std::nullopt) << test.name;
    EXPECT_EQ(state.edit_record, RecordOf(test.shown.value_or(RecordBytes(200)))) << test.name;
  }
}

TEST(LoadExperienceFile, RefusesAStoreTooLargeToReadRatherThanCutIt) {
  testing::TempFolder folder;
  const auto path = ExperienceFilePath(folder.path());
  WriteBytes(path, {});
  std::filesystem::resize_file(path, kMaxExperienceFileBytes + 1);
  GameState state = EditorAtStart();
  testing::RecordingPort port;
  EXPECT_FALSE(LoadExperienceFile(state, port, path));
  EXPECT_EQ(port.Take(), Events{"message Erreur E/S 27"});
  EXPECT_TRUE(state.experience_list.empty());

  // The records drawn afterwards stay in memory: the store they were not read from is kept.
  state.edit_record = RecordOf(RecordBytes(50));
  AddExperienceRecord(state);
  SaveExperienceFile(state, port, path);
  EXPECT_EQ(port.Take(), Events{"message Erreur E/S 27"});
  EXPECT_EQ(std::filesystem::file_size(path), kMaxExperienceFileBytes + 1);
}

TEST(SaveExperienceFile, WritesBackEveryByteReadButNeverCreatesTheStore) {
  testing::TempFolder folder;
  const auto path = ExperienceFilePath(folder.path());
  GameState state = EditorAtStart();
  testing::RecordingPort port;
  SaveExperienceFile(state, port, path);
  EXPECT_EQ(port.Take(), Events{"message  No experience "});
  EXPECT_TRUE(folder.Entries().empty());

  const Bytes old = Joined({RecordBytes(0), RecordBytes(100)});
  WriteBytes(path, Joined({old, {0xEE, 0xEE, 0xEE}}));
  LoadExperienceFile(state, port, path);
  state.edit_record = RecordOf(RecordBytes(50));
  AddExperienceRecord(state);
  SaveExperienceFile(state, port, path);
  EXPECT_EQ(ReadBytes(path), Joined({old, RecordBytes(50)}));

  state.experience_list.clear();
  state.experience_count = 0;
  SaveExperienceFile(state, port, path);
  EXPECT_EQ(ReadBytes(path), Bytes{});
  EXPECT_EQ(port.Take(), Events{});
  EXPECT_EQ(folder.Entries(), std::vector<std::string>{"braskel.exp"});
}

// A save that cannot be written whole, or is not allowed (the editor's "+" and "x" on a read-only
// store), is shown and leaves the old store as it was.
TEST(SaveExperienceFile, ShowsAFailedWriteAndLeavesTheOldStoreWhole) {
  const testing::OrdinaryUser user = testing::TheOrdinaryUser();
  const struct {
    const char* name;
    mode_t mode;
    std::string (*run)(const std::function<void()>&);
    const char* outcome;
  } cases[] = {
      // Files may not grow past 300 bytes: the new store of 594 bytes cannot be written.
      {"too large", 0644,
       [](const auto& save) { return testing::IoErrorUnderSizeLimit(300, save); },
       "message Erreur E/S 27"},
      {"read-only", 0444, testing::IoErrorAsOrdinaryUser, "message Accès au fichier refusé"},
  };
  for (const auto& c : cases) {
    testing::TempFolder folder;
    const auto path = ExperienceFilePath(folder.path());
    const Bytes old = Joined({RecordBytes(0), RecordBytes(100)});
    WriteBytes(path, old);
    ASSERT_TRUE(testing::Prepare(folder.path(), user.uid, user.gid, 0755));
    ASSERT_TRUE(testing::Prepare(path, user.uid, user.gid, c.mode));
    GameState state;
    state.experience_list.assign(3, RecordOf(RecordBytes(9)));
    state.experience_count = 3;
    const std::string outcome = c.run([&] {
      testing::RecordingPort port;
      SaveExperienceFile(state, port, path);
      for (const std::string& event : port.Take()) throw IoError(event);
    });
    if (outcome == testing::kStillRoot) GTEST_SKIP() << outcome;
    EXPECT_EQ(outcome, c.outcome) << c.name;
    EXPECT_EQ(ReadBytes(path), old) << c.name;
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"braskel.exp"}) << c.name;
  }
}

TEST(LoadExperienceFile, RefusesAPipeAtOnce) {
  testing::TempFolder folder;
  const auto path = ExperienceFilePath(folder.path());
  ASSERT_TRUE(testing::MakeFifo(path));
  const testing::FifoWatchdog watchdog({path});
  GameState state = EditorAtStart();
  testing::RecordingPort port;
  EXPECT_FALSE(LoadExperienceFile(state, port, path));
  EXPECT_EQ(port.Take(), Events{"message Accès au fichier refusé"});
  EXPECT_TRUE(state.experience_list.empty());
  EXPECT_FALSE(watchdog.fired());
}

}  // namespace
}  // namespace zelbo
