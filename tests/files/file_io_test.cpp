// SPDX-License-Identifier: GPL-3.0-or-later
// Reading, the error texts the user sees, and replacing a file without ever losing the old one.
#include "files/file_io.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <iostream>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "files/child_process.h"
#include "files/executable_folder.h"
#include "files/fifo.h"
#include "files/saving_process.h"
#include "files/temp_folder.h"

namespace zelbo {
namespace {

namespace fs = std::filesystem;
using testing::Counting;
using testing::IoErrorTextOf;
using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;
using Names = std::vector<std::string>;

TEST(IoErrorText, NamesTheErrorsTheUserCanMend) {
  const std::pair<int, const char*> cases[] = {
      {ENOENT, "Fichier introuvable"},
      {ENOTDIR, "Fichier introuvable"},
      {EACCES, "Accès au fichier refusé"},
      {EISDIR, "Accès au fichier refusé"},
      {ENOSPC, "Disque plein"},
      {EIO, "Erreur E/S 5"},
  };
  for (const auto& [error_number, text] : cases) EXPECT_EQ(IoErrorText(error_number), text);
}

TEST(ReadFirstRecord, ReportsWhyAFileCannotBeRead) {
  TempFolder folder;
  WriteBytes(folder / "short", Counting(191));
  WriteBytes(folder / "plain", Counting(4));
  fs::create_directory(folder / "folder");
  const std::pair<fs::path, const char*> cases[] = {
      {folder / "missing.KRP", "Fichier introuvable"},
      {folder / "nowhere" / "game.KRP", "Fichier introuvable"},
      {folder / "plain" / "game.KRP", "Fichier introuvable"},
      {folder / "folder", "Accès au fichier refusé"},
      {folder / "short", "Lecture au-delà de la fin de fichier"},
  };
  for (const auto& [path, text] : cases) {
    EXPECT_EQ(IoErrorTextOf([&] { ReadFirstRecord(path, 192); }), text) << path;
  }
}

TEST(ReadFileBytes, ReadsAtMostWhatIsAsked) {
  TempFolder folder;
  WriteBytes(folder / "ten", Counting(10));
  WriteBytes(folder / "two records", Counting(384));
  EXPECT_EQ(ReadFileBytes(folder / "ten", 4), Counting(4));
  EXPECT_EQ(ReadFileBytes(folder / "ten", 1000), Counting(10));
  EXPECT_EQ(ReadFirstRecord(folder / "two records", 192), Counting(192));
}

TEST(ReplaceFile, WritesExactlyTheNewBytesAndKeepsWhatTheOldFileWas) {
  TempFolder folder;
  ReplaceFile(folder / "new", Counting(192));
  EXPECT_EQ(ReadBytes(folder / "new"), Counting(192));

  WriteBytes(folder / "long", Counting(5000, 7));
  const auto perms = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
  fs::permissions(folder / "long", perms);
  ReplaceFile(folder / "long", Counting(192, 3));
  EXPECT_EQ(ReadBytes(folder / "long"), Counting(192, 3));
  EXPECT_EQ(fs::status(folder / "long").permissions(), perms);

  fs::create_symlink("long", folder / "link");  // the link stays, its target is replaced
  ReplaceFile(folder / "link", Counting(3));
  EXPECT_TRUE(fs::is_symlink(folder / "link"));
  EXPECT_EQ(ReadBytes(folder / "long"), Counting(3));
  EXPECT_EQ(folder.Entries(), (Names{"link", "long", "new"}));

  const std::string longest_name(255, 'n');  // no room left for a longer temporary name
  ReplaceFile(folder / longest_name, Counting(5));
  EXPECT_EQ(ReadBytes(folder / longest_name), Counting(5));
}

TEST(ReplaceFile, AFailedWriteLeavesTheOldFileWhole) {
  TempFolder folder;
  WriteBytes(folder / "braskel.exp", Counting(300, 9));
  // Files may not grow past 100 bytes: the new contents cannot be written whole.
  EXPECT_EQ(testing::IoErrorUnderSizeLimit(
                100, [&] { ReplaceFile(folder / "braskel.exp", Counting(5000)); }),
            "Taille de fichier permise dépassée : \"" + (folder / "braskel.exp").string() + "\"");
  EXPECT_EQ(ReadBytes(folder / "braskel.exp"), Counting(300, 9));
  EXPECT_EQ(folder.Entries(), Names{"braskel.exp"});

  fs::create_directories(folder / "folder" / "inside");
  EXPECT_EQ(IoErrorTextOf([&] { ReplaceFile(folder / "folder", Counting(9)); }),
            "Accès au fichier refusé");
  EXPECT_EQ(IoErrorTextOf([&] { ReplaceFile(folder / "nowhere" / "x", Counting(9)); }),
            "Fichier introuvable");
  EXPECT_TRUE(fs::is_directory(folder / "folder" / "inside"));
  EXPECT_EQ(folder.Entries(), (Names{"braskel.exp", "folder"}));
}

TEST(ReadFileBytes, ReadsAtMostTheLimitWholeOrRefusesTheFile) {
  TempFolder folder;
  WriteBytes(folder / "ten", Counting(10));
  EXPECT_EQ(ReadWholeFile(folder / "ten", 10), Counting(10));
  EXPECT_EQ(IoErrorTextOf([&] { ReadWholeFile(folder / "ten", 9); }),
            "Fichier trop grand (plus de 9 octets) : \"" + (folder / "ten").string() + "\"");
}

// What is not a regular file is refused, and the refusal comes at once: a pipe with no writer
// would hold an open for reading forever.
TEST(ReadFileBytes, RefusesPipesAndDevicesAtOnce) {
  TempFolder folder;
  ASSERT_TRUE(testing::MakeFifo(folder / "pipe.KRP"));
  fs::create_symlink("pipe.KRP", folder / "link.KRP");
  const testing::FifoWatchdog watchdog({folder / "pipe.KRP"});
  for (const fs::path& path : {folder / "pipe.KRP", folder / "link.KRP", fs::path("/dev/null")}) {
    EXPECT_EQ(IoErrorTextOf([&] { ReadFirstRecord(path, 192); }), "Accès au fichier refusé")
        << path;
    EXPECT_EQ(IoErrorTextOf([&] { ReadWholeFile(path); }), "Accès au fichier refusé") << path;
  }
  EXPECT_FALSE(watchdog.fired()) << "a read waited on the pipe";
}

TEST(ReplaceFile, LeavesPipesAndDevicesAsTheyAre) {
  TempFolder folder;
  ASSERT_TRUE(testing::MakeFifo(folder / "pipe.KRP"));
  fs::create_symlink("pipe.KRP", folder / "link.KRP");
  std::vector<fs::path> refused = {folder / "pipe.KRP", folder / "link.KRP"};
  // A device of its own in the folder (the null device's numbers), where root may make one.
  if (mknod((folder / "null").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0) {
    refused.push_back(folder / "null");
  }
  const testing::FifoWatchdog watchdog({folder / "pipe.KRP"});
  for (const fs::path& path : refused) {
    EXPECT_EQ(IoErrorTextOf([&] { ReplaceFile(path, Counting(192)); }), "Accès au fichier refusé")
        << path;
  }
  EXPECT_TRUE(fs::is_fifo(folder / "pipe.KRP"));
  EXPECT_TRUE(fs::is_symlink(folder / "link.KRP"));
  if (refused.size() == 3) {
    EXPECT_TRUE(fs::is_character_file(folder / "null"));
  }
  EXPECT_EQ(folder.Entries().size(), refused.size()) << "a temporary file was left";
  EXPECT_FALSE(watchdog.fired());
}

// Run as an ordinary user: a file is replaced only when that user may write it; a folder that
// takes no new file, or no rename over someone else's file, still lets a writable file be
// rewritten in place.
TEST(ReplaceFile, ReplacesOnlyWhatTheUserMayWrite) {
  const testing::OrdinaryUser user = testing::TheOrdinaryUser();
  const bool root = geteuid() == 0;
  const struct {
    const char* name;
    mode_t folder_mode;
    bool file_there;
    mode_t file_mode;
    bool file_of_root;  // owned by someone else: only root can prepare it
    const char* outcome;
  } cases[] = {
      {"a read-only file", 0755, true, 0444, false, "Accès au fichier refusé"},
      {"someone else's file", 0777, true, 0644, true, "Accès au fichier refusé"},
      {"a writable file", 0755, true, 0600, false, "no error"},
      {"a writable file in a read-only folder", 0555, true, 0644, false, "no error"},
      {"someone else's writable file in a sticky folder", 01777, true, 0666, true, "no error"},
      {"a new file", 0755, false, 0, false, "no error"},
      {"a new file in a read-only folder", 0555, false, 0, false, "Accès au fichier refusé"},
  };
  for (const auto& c : cases) {
    if (c.file_of_root && !root) continue;
    TempFolder temp;
    const fs::path folder = temp / "saves";
    const fs::path file = folder / "game.KRP";
    fs::create_directory(folder);
    if (c.file_there) {
      WriteBytes(file, Counting(192, 1));
      const uid_t owner = c.file_of_root ? 0 : user.uid;
      ASSERT_TRUE(testing::Prepare(file, owner, c.file_of_root ? 0 : user.gid, c.file_mode));
    }
    const uid_t folder_owner = c.folder_mode & S_ISVTX ? 0 : user.uid;
    ASSERT_TRUE(
        testing::Prepare(folder, folder_owner, folder_owner == 0 ? 0 : user.gid, c.folder_mode));
    const std::string outcome =
        testing::IoErrorAsOrdinaryUser([&] { ReplaceFile(file, Counting(192, 7)); });
    if (outcome == testing::kStillRoot) GTEST_SKIP() << outcome;
    EXPECT_EQ(outcome, c.outcome) << c.name;
    fs::permissions(folder, fs::perms::owner_all);  // lets the parent list it when not root
    const bool saved = outcome == "no error";
    if (c.file_there || saved) {
      EXPECT_EQ(ReadBytes(file), Counting(192, saved ? 7 : 1)) << c.name;
    }
    EXPECT_EQ(fs::exists(file), c.file_there || saved) << c.name;
    EXPECT_EQ(temp.Entries(), Names{"saves"}) << c.name;
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()),
              c.file_there || saved ? 1 : 0)
        << c.name << ": a temporary file was left";
    struct stat status {};
    if (c.file_there && stat(file.c_str(), &status) == 0) {
      EXPECT_EQ(status.st_mode & 07777, c.file_mode) << c.name;
      if (c.file_of_root) {
        EXPECT_EQ(status.st_uid, 0u) << c.name << ": the owner is kept";
      }
    }
  }
}

// What a save killed part-way left in the folder: hidden temporaries of the program's pattern that
// no live process holds. The next save in the folder removes them, and only them.
TEST(ReplaceFile, RemovesWhatSavesThatDiedLeftAndNothingElse) {
  TempFolder folder;
  const struct {
    const char* name;
    bool removed;
  } cases[] = {
      {".game.KRP.tmp-Ab12Cd", true},
      {".braskel.exp.tmp-ZZZZZZ", true},  // another file's, in the same folder
      {".game.KRP.tmp-held00", false},    // a save still at work holds it
      {"game.KRP.tmp-Ab12Cd", false},
      {".game.KRP.tmp-Ab12C", false},
      {".game.KRP.tmp-Ab12C!", false},
      {".game.KRP.tmp-Ab12Cde", false},
      {".notes.txt", false},
  };
  for (const auto& c : cases) WriteBytes(folder / c.name, Counting(10));
  const int held = open((folder / ".game.KRP.tmp-held00").c_str(), O_RDONLY);
  ASSERT_EQ(flock(held, LOCK_EX), 0);
  fs::create_directory(folder / ".folder.tmp-abcdef");
  fs::create_symlink("game.KRP.tmp-Ab12Cd", folder / ".link.tmp-abcdef");
  Names expected = {".folder.tmp-abcdef", ".link.tmp-abcdef", "game.KRP"};
  for (const auto& c : cases) {
    if (!c.removed) expected.push_back(c.name);
  }
  // Someone else's, which root alone can make.
  if (geteuid() == 0) {
    WriteBytes(folder / ".theirs.tmp-abcdef", Counting(3));
    ASSERT_TRUE(testing::Prepare(folder / ".theirs.tmp-abcdef", 65534, 65534, 0644));
    expected.push_back(".theirs.tmp-abcdef");
  }
  std::sort(expected.begin(), expected.end());

  ReplaceFile(folder / "game.KRP", Counting(192));
  EXPECT_EQ(folder.Entries(), expected);
  EXPECT_EQ(ReadBytes(folder / "game.KRP.tmp-Ab12Cd"), Counting(10));
  close(held);
}

// A real saving process killed at random moments, 100 times: the file is always the old contents or
// the new, whole, and what a killed save leaves is gone after the next save in the folder. Saves
// make their temporaries unnamed where the file system can; "named" is the way of the others.
TEST(ReplaceFile, ASaveKilledAtAnyMomentLeavesAWholeFileAndNoLitter) {
  for (const std::string way : {"unnamed", "named"}) {
    TempFolder folder;
    const fs::path file = folder / "game.KRP";
    const std::size_t size = 64 * 1024;
    WriteBytes(file, std::vector<uint8_t>(size, 'A'));
    std::mt19937 random(std::random_device{}());
    std::uniform_int_distribution<int> delay_us(0, 20000);
    int litter_seen = 0, changes = 0;
    uint8_t last = 'A';
    for (int round = 0; round < 100; ++round) {
      testing::SavingProcess saver({"replace", file.string(), std::to_string(size), way});
      ASSERT_TRUE(saver.started());
      const std::string ready = saver.ReadLine();
      if (ready != "ready") GTEST_SKIP() << way << ": " << ready;
      usleep(static_cast<useconds_t>(delay_us(random)));
      saver.Kill();
      const std::vector<uint8_t> bytes = ReadBytes(file);
      ASSERT_EQ(bytes.size(), size) << way << ", round " << round;
      ASSERT_TRUE(bytes == std::vector<uint8_t>(size, bytes[0]) &&
                  (bytes[0] == 'A' || bytes[0] == 'B'))
          << way << ", round " << round;
      changes += bytes[0] != std::exchange(last, bytes[0]) ? 1 : 0;
      const std::size_t hidden = folder.Entries().size() - 1;
      EXPECT_LE(hidden, 1U) << way << ", round " << round
                            << ": earlier saves' temporaries were left";
      litter_seen += static_cast<int>(hidden);
    }
    EXPECT_GT(changes, 0) << way << ": no save was ever done";
    ReplaceFile(file, Counting(192));
    EXPECT_EQ(folder.Entries(), Names{"game.KRP"}) << way;
    std::cout << way << ": of 100 saves killed, " << litter_seen
              << " left a temporary until the next save\n";
  }
}

TEST(ExecutableFolder, IsTheFolderOfTheProgramWhateverTheCurrentFolder) {
  TempFolder folder;
  const fs::path current = fs::current_path();
  fs::current_path(folder.path());
  const fs::path found = ExecutableFolder();
  fs::current_path(current);
  EXPECT_TRUE(fs::exists(found / "files_test")) << found;
}

}  // namespace
}  // namespace zelbo
