// SPDX-License-Identifier: GPL-3.0-or-later
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
  const std::string too_large =
      "message Fichier trop grand (plus de 64 Mio) : \"" + path.string() + "\"";
  EXPECT_EQ(port.Take(), Events{too_large});
  EXPECT_TRUE(state.experience_list.empty());

  // The records drawn afterwards stay in memory: the store they were not read from is kept.
  state.edit_record = RecordOf(RecordBytes(50));
  AddExperienceRecord(state);
  SaveExperienceFile(state, port, path);
  EXPECT_EQ(port.Take(), Events{too_large});
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
       "message Taille de fichier permise dépassée"},
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
    EXPECT_EQ(outcome.substr(0, outcome.find(" : ")), c.outcome) << c.name;
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

// Installed, the store is read from the user's copy or else the shipped sample, and every save
// writes the user's copy, the shipped records with it; the shipped sample never changes.
TEST(SaveExperienceFile, InstalledWritesTheUsersCopyOnly) {
  const Bytes shipped_records = Joined({RecordBytes(0), RecordBytes(100)});
  const Bytes user_records = RecordBytes(30);
  const struct {
    const char* name;
    bool shipped, user, user_folder;
    Events events;               // at load and save
    std::optional<Bytes> saved;  // the user's copy after the save
  } cases[] = {
      {"shipped only", true, false, true, {}, Joined({shipped_records, RecordBytes(50)})},
      {"both", true, true, true, {}, Joined({user_records, RecordBytes(50)})},
      {"user only", false, true, true, {}, Joined({user_records, RecordBytes(50)})},
      {"neither",
       false,
       false,
       true,
       {"message  No experience ", "message  No experience "},
       std::nullopt},
      {"no data folder", true, false, false, {"message Accès au fichier refusé"}, std::nullopt},
  };
  for (const auto& test : cases) {
    testing::TempFolder root;
    const auto shipped = root / "usr" / "share" / "zelbo";
    const auto user = root / "home" / ".local" / "share" / "zelbo";
    std::filesystem::create_directories(shipped);
    if (test.shipped) WriteBytes(shipped / "braskel.exp", shipped_records);
    if (test.user) {
      std::filesystem::create_directories(user);
      WriteBytes(user / "braskel.exp", user_records);
    }
    const FilePlaces places =
        FilePlaces::Installed(shipped, test.user_folder ? std::optional(user) : std::nullopt);
    GameState state;
    testing::RecordingPort port;
    LoadExperienceFile(state, port, places.UserFile(kExperienceFileName));
    state.edit_record = RecordOf(RecordBytes(50));
    AddExperienceRecord(state);
    SaveExperienceFile(state, port, places.UserFile(kExperienceFileName));
    EXPECT_EQ(port.Take(), test.events) << test.name;
    if (test.saved) {
      EXPECT_EQ(ReadBytes(user / "braskel.exp"), *test.saved) << test.name;
    } else {
      EXPECT_FALSE(std::filesystem::exists(user / "braskel.exp")) << test.name;
    }
    if (test.shipped) {
      EXPECT_EQ(ReadBytes(shipped / "braskel.exp"), shipped_records) << test.name;
    }
    EXPECT_EQ(testing::TempFolder::EntriesOf(shipped),
              test.shipped ? std::vector<std::string>{"braskel.exp"} : std::vector<std::string>{})
        << test.name;
  }
}

}  // namespace
}  // namespace zelbo
