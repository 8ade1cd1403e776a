// Reading, the error texts the user sees, and replacing a file without ever losing the old one.
#include "files/file_io.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include "files/executable_folder.h"
#include "files/io_error.h"
#include "files/size_limit.h"
#include "files/temp_folder.h"

namespace zelbo {
namespace {

namespace fs = std::filesystem;
using testing::Counting;
using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

// The text of the IoError that `operation` throws, or "no error".
template <typename Operation>
std::string ErrorText(Operation operation) {
  try {
    operation();
  } catch (const IoError& error) {
    return error.text();
  }
  return "no error";
}

TEST(IoErrorText, NamesTheErrorsTheUserCanMend) {
  const struct {
    int error_number;
    const char* text;
  } cases[] = {
      {ENOENT, "Fichier introuvable"},
      {ENOTDIR, "Fichier introuvable"},
      {EACCES, "Accès au fichier refusé"},
      {EPERM, "Accès au fichier refusé"},
      {EISDIR, "Accès au fichier refusé"},
      {ENOSPC, "Disque plein"},
      {EIO, "Erreur E/S 5"},
      {EFBIG, "Erreur E/S 27"},
  };
  for (const auto& c : cases) EXPECT_EQ(IoErrorText(c.error_number), c.text) << c.error_number;
  EXPECT_EQ(ReadPastEndError().text(), "Lecture au-delà de la fin de fichier");
  EXPECT_STREQ(SystemIoError(ENOSPC).what(), "Disque plein");
}

TEST(ReadFileBytes, ReportsWhyAFileCannotBeRead) {
  TempFolder folder;
  WriteBytes(folder / "short", Counting(191));
  WriteBytes(folder / "plain", Counting(4));
  fs::create_directory(folder / "folder");
  const struct {
    const char* name;
    fs::path path;
    const char* text;
  } cases[] = {
      {"missing file", folder / "missing.KRP", "Fichier introuvable"},
      {"missing folder", folder / "nowhere" / "game.KRP", "Fichier introuvable"},
      {"a file used as a folder", folder / "plain" / "game.KRP", "Fichier introuvable"},
      {"a folder given as the file", folder / "folder", "Accès au fichier refusé"},
      {"shorter than the record", folder / "short", "Lecture au-delà de la fin de fichier"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ErrorText([&] { ReadFirstRecord(c.path, 192); }), c.text) << c.name;
  }
}

TEST(ReadFileBytes, ReadsAtMostWhatIsAsked) {
  TempFolder folder;
  WriteBytes(folder / "ten", Counting(10));
  WriteBytes(folder / "empty", {});
  WriteBytes(folder / "two records", Counting(384));
  EXPECT_EQ(ReadFileBytes(folder / "ten", 4), Counting(4));
  EXPECT_EQ(ReadFileBytes(folder / "ten", 1000), Counting(10));
  EXPECT_EQ(ReadFileBytes(folder / "empty", 1000), std::vector<uint8_t>{});
  EXPECT_EQ(ReadFirstRecord(folder / "two records", 192), Counting(192));
  EXPECT_EQ(ErrorText([&] { ReadFirstRecord(folder / "empty", 192); }),
            "Lecture au-delà de la fin de fichier");
}

TEST(ReplaceFile, WritesExactlyTheNewBytesAndLeavesNothingElse) {
  TempFolder folder;
  const fs::path file = folder / "game.KRP";
  ReplaceFile(file, Counting(192));
  EXPECT_EQ(ReadBytes(file), Counting(192));

  WriteBytes(file, Counting(5000, 7));
  ReplaceFile(file, Counting(192, 3));
  EXPECT_EQ(ReadBytes(file), Counting(192, 3));

  ReplaceFile(file, {});
  EXPECT_EQ(fs::file_size(file), 0u);
  EXPECT_EQ(folder.Entries(), std::vector<std::string>{"game.KRP"});
}

TEST(ReplaceFile, KeepsThePermissionsOfTheFileItReplaces) {
  TempFolder folder;
  const fs::path file = folder / "braskel.exp";
  WriteBytes(file, Counting(10));
  const auto perms = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
  fs::permissions(file, perms);
  ReplaceFile(file, Counting(20));
  EXPECT_EQ(fs::status(file).permissions(), perms);
  EXPECT_EQ(ReadBytes(file), Counting(20));
}

TEST(ReplaceFile, FollowsASymbolicLink) {
  TempFolder folder;
  WriteBytes(folder / "real", Counting(10));
  fs::create_symlink("real", folder / "link");
  ReplaceFile(folder / "link", Counting(3));
  EXPECT_TRUE(fs::is_symlink(folder / "link"));
  EXPECT_EQ(ReadBytes(folder / "real"), Counting(3));
}

TEST(ReplaceFile, AFailedWriteLeavesTheOldFileWhole) {
  TempFolder folder;
  const fs::path file = folder / "braskel.exp";
  const std::vector<uint8_t> old_bytes = Counting(300, 9);
  WriteBytes(file, old_bytes);
  // Files may not grow past 100 bytes: the new contents cannot be written whole.
  const std::string text =
      testing::IoErrorUnderSizeLimit(100, [&] { ReplaceFile(file, Counting(5000)); });
  EXPECT_EQ(text, "Erreur E/S 27");  // EFBIG
  EXPECT_EQ(ReadBytes(file), old_bytes);
  EXPECT_EQ(folder.Entries(), std::vector<std::string>{"braskel.exp"});
}

TEST(ReplaceFile, ReportsAPlaceThatCannotHoldTheFile) {
  TempFolder folder;
  fs::create_directories(folder / "folder" / "inside");
  const struct {
    const char* name;
    fs::path path;
    const char* text;
  } cases[] = {
      {"missing folder", folder / "nowhere" / "game.KRP", "Fichier introuvable"},
      {"a folder given as the file", folder / "folder", "Accès au fichier refusé"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ErrorText([&] { ReplaceFile(c.path, Counting(192)); }), c.text) << c.name;
  }
  EXPECT_TRUE(fs::is_directory(folder / "folder" / "inside"));
  EXPECT_EQ(folder.Entries(), std::vector<std::string>{"folder"});
}

TEST(ExecutableFolder, IsTheFolderOfTheProgramWhateverTheCurrentFolder) {
  TempFolder folder;
  const fs::path before = ExecutableFolder();
  const fs::path current = fs::current_path();
  fs::current_path(folder.path());
  const fs::path elsewhere = ExecutableFolder();
  fs::current_path(current);
  EXPECT_EQ(elsewhere, before);
  EXPECT_TRUE(fs::exists(before / "files_test"));
}

}  // namespace
}  // namespace zelbo
