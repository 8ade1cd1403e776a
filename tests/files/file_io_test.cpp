// Reading, the error texts the user sees, and replacing a file without ever losing the old one.
#include "files/file_io.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include "files/executable_folder.h"
#include "files/size_limit.h"
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
            "Erreur E/S 27");  // EFBIG
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
