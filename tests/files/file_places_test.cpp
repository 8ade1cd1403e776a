// SPDX-License-Identifier: GPL-3.0-or-later
// Where the program finds its files: beside a portable program, or, installed in a prefix, the
// shipped files under PREFIX/share/zelbo and the user's own in the data folder, which wins and
// receives every write.
#include "files/file_places.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "experience/experience_editing.h"
#include "experience/experience_file.h"
#include "files/file_io.h"
#include "files/io_error.h"
#include "files/temp_folder.h"
#include "help/answers.h"
#include "skins/skin_folder.h"
#include "support/recording_port.h"

namespace zelbo {
namespace {

namespace fs = std::filesystem;
using testing::TempFolder;
using testing::WriteBytes;

TEST(UserDataFolder, FollowsXdgDataHomeThenHome) {
  const struct {
    UserEnvironment environment;
    std::optional<fs::path> folder;
  } cases[] = {
      {{"/data", "/home/ann"}, fs::path("/data/zelbo")},
      {{"", "/home/ann"}, fs::path("/home/ann/.local/share/zelbo")},
      {{"relative/data", "/home/ann"}, fs::path("/home/ann/.local/share/zelbo")},
      {{"/data", ""}, fs::path("/data/zelbo")},
      {{"", "relative"}, std::nullopt},
      {{"", ""}, std::nullopt},
  };
  for (const auto& test : cases) {
    EXPECT_EQ(UserDataFolder(test.environment), test.folder)
        << "XDG_DATA_HOME=" << test.environment.xdg_data_home << " HOME=" << test.environment.home;
  }
}

// The layout a program takes from the folder it lies in and what that folder holds.
TEST(FilePlaces, IsPortableBesideItsFilesAndInstalledInAPrefixOtherwise) {
  const struct {
    const char* folder;  // the executable's, under the test's folder
    std::string beside;  // a file or folder placed there, or nothing
    bool installed;
  } cases[] = {
      {"build", "braskel.exp", false},
      {"build", "SKIN", false},
      {"build", "", false},
      {"usr/bin", "", true},
      {"usr/games", "", true},
      {"usr/bin/", "", true},
      {"usr/bin", "braskel.exp", false},
      {"usr/games", "SKIN", false},
      {"usr/games", "Skin", false},
      {"usr/bin", "skin", false},
      {"usr/sbin", "", false},
  };
  for (const auto& test : cases) {
    TempFolder root;
    const fs::path folder = root.path() / test.folder;
    fs::create_directories(folder);
    if (test.beside == "braskel.exp")
      WriteBytes(folder / "braskel.exp", {});
    else if (!test.beside.empty())
      fs::create_directory(folder / test.beside);
    const FilePlaces places = FilePlaces::Find(folder, {"", "/home/ann"});
    EXPECT_EQ(places.installed(), test.installed) << test.folder << " " << test.beside;
    const std::vector<fs::path> expected =
        test.installed
            ? std::vector<fs::path>{"/home/ann/.local/share/zelbo",
                                    root.path() / "usr" / "share" / "zelbo"}
            : std::vector<fs::path>{folder.has_filename() ? folder : folder.parent_path()};
    EXPECT_EQ(places.ReadFolders(), expected) << test.folder;
  }
}

// Each file is read from the first folder that has it, the user's before the shipped one, and the
// user's own files are always written to the user's folder.
TEST(FilePlaces, ReadsTheUsersCopyFirstAndWritesOnlyThere) {
  enum Where { kNeither, kShipped, kUser, kBoth };
  const struct {
    Where where;
    bool has_user_folder;
    const char* read_from;   // "user" or "shipped"
    const char* written_to;  // "user", or "" for nowhere
  } cases[] = {
      {kNeither, true, "shipped", "user"}, {kShipped, true, "shipped", "user"},
      {kUser, true, "user", "user"},       {kBoth, true, "user", "user"},
      {kShipped, false, "shipped", ""},    {kNeither, false, "shipped", ""},
  };
  for (const auto& test : cases) {
    TempFolder root;
    const fs::path shipped = root / "share", user = root / "data";
    fs::create_directories(shipped);
    for (const auto& [folder, present] :
         {std::pair{shipped, test.where & kShipped}, std::pair{user, test.where & kUser}}) {
      if (!present) continue;
      fs::create_directories(folder / "SKIN" / "Bois");
      WriteBytes(folder / "braskel.exp", {1});
    }
    const FilePlaces places =
        FilePlaces::Installed(shipped, test.has_user_folder ? std::optional(user) : std::nullopt);
    const fs::path expected_read = std::string(test.read_from) == "user" ? user : shipped;
    const std::string context = std::to_string(test.where) + " " + test.read_from;
    EXPECT_EQ(places.FolderHolding("SKIN/Bois"), expected_read) << context;
    const UserFilePlace store = places.UserFile("braskel.exp");
    EXPECT_EQ(store.read, expected_read / "braskel.exp") << context;
    EXPECT_EQ(store.write, *test.written_to ? user / "braskel.exp" : fs::path()) << context;
  }
}

TEST(FilePlaces, PortableReadsAndWritesBesideTheProgram) {
  TempFolder folder;
  const FilePlaces places(folder.path());
  EXPECT_FALSE(places.installed());
  EXPECT_EQ(places.FolderHolding("help.eng"), folder.path());
  const UserFilePlace store = places.UserFile("braskel.exp");
  EXPECT_EQ(store.read, folder / "braskel.exp");
  EXPECT_EQ(store.write, folder / "braskel.exp");
}

// An installed program whose data folder cannot be used reads the shipped files without a word:
// the store, the skins and the answers text. A save there is refused, saying why and naming the
// folder. A looping "SKIN" in a data folder that works hides no shipped skin.
TEST(FilePlaces, ADataFolderThatCannotBeUsedCountsAsAbsent) {
  enum Broken { kXdgDangling, kXdgLoop, kZelboDangling, kZelboLoop, kZelboFile, kSkinLoop };
  const struct {
    const char* name;
    Broken broken;
    const char* save_message;  // the reason; empty when the save is done
    const char* named;         // the folder it names, under the test's folder
  } cases[] = {
      {"XDG_DATA_HOME links to nothing", kXdgDangling, "Lien symbolique vers un dossier absent",
       "data"},
      {"XDG_DATA_HOME loops", kXdgLoop, "Boucle de liens symboliques", "data/zelbo"},
      {"its zelbo links to nothing", kZelboDangling, "Lien symbolique vers un dossier absent",
       "data/zelbo"},
      {"its zelbo loops", kZelboLoop, "Boucle de liens symboliques", "data/zelbo"},
      {"its zelbo is a file", kZelboFile, "Ce n'est pas un dossier", "data/zelbo"},
      {"its SKIN loops", kSkinLoop, "", ""},
  };
  for (const auto& c : cases) {
    TempFolder root;
    const fs::path shipped = root / "usr" / "share" / "zelbo";
    const fs::path data = root / "data", user = data / "zelbo";
    fs::create_directories(shipped / "SKIN" / "Bois");
    WriteBytes(shipped / "braskel.exp", std::vector<uint8_t>(kExperienceRecordSize, 0));
    WriteBytes(shipped / "help.eng", {'[', '2', ']', '\n'});
    switch (c.broken) {
      case kXdgDangling:
        fs::create_symlink(root / "gone", data);
        break;
      case kXdgLoop:
        fs::create_symlink(data, data);
        break;
      case kZelboDangling:
        fs::create_directory(data);
        fs::create_symlink(root / "gone", user);
        break;
      case kZelboLoop:
        fs::create_directory(data);
        fs::create_symlink(user, user);
        break;
      case kZelboFile:
        fs::create_directory(data);
        WriteBytes(user, {1});
        break;
      case kSkinLoop:
        fs::create_directories(user);
        fs::create_symlink(user / "SKIN", user / "SKIN");
        break;
    }
    const FilePlaces places = FilePlaces::Installed(shipped, user);
    EXPECT_EQ(ListSkins(places), std::vector<std::string>{"Bois"}) << c.name;
    EXPECT_EQ(FindSkinFolder(places, "Bois"), shipped / "SKIN" / "Bois") << c.name;
    EXPECT_EQ(LoadAnswers(places.FolderHolding(kAnswersFileName)).failure, std::nullopt) << c.name;
    const UserFilePlace store = places.UserFile(kExperienceFileName);
    EXPECT_EQ(store.read, shipped / "braskel.exp") << c.name;

    GameState state;
    testing::RecordingPort port;
    LoadExperienceFile(state, port, store);
    EXPECT_EQ(port.Take(), std::vector<std::string>{}) << c.name;
    EXPECT_EQ(state.experience_count, 1U) << c.name;
    AddExperienceRecord(state);
    SaveExperienceFile(state, port, store);
    const std::vector<std::string> refused = {"message " + std::string(c.save_message) + " : \"" +
                                              (root / c.named).string() + "\""};
    EXPECT_EQ(port.Take(), *c.save_message ? refused : std::vector<std::string>{}) << c.name;
    EXPECT_EQ(fs::file_size(shipped / "braskel.exp"), kExperienceRecordSize) << c.name;
  }
}

// What a failure the run-time only numbers says, with the file it concerns; the run-time's own
// texts stay as they are.
TEST(SystemIoError, SaysWhatIsWrongAndNamesTheFile) {
  const struct {
    int error_number;
    const char* text;
  } cases[] = {
      {ENOENT, "Fichier introuvable"},
      {EACCES, "Accès au fichier refusé"},
      {ENOSPC, "Disque plein"},
      {ELOOP, "Boucle de liens symboliques : \"/d/f.KRP\""},
      {ENAMETOOLONG, "Nom de fichier trop long : \"/d/f.KRP\""},
      {EIO, "Erreur de lecture ou d'écriture du disque : \"/d/f.KRP\""},
      {EMFILE, "Trop de fichiers ouverts : \"/d/f.KRP\""},
      {EPROTO, "Erreur E/S 71 : \"/d/f.KRP\""},
  };
  for (const auto& c : cases) EXPECT_EQ(SystemIoError(c.error_number, "/d/f.KRP").text(), c.text);
  EXPECT_EQ(TooLargeError(kMaxWholeFileBytes, "/d/braskel.exp").text(),
            "Fichier trop grand (plus de 64 Mio) : \"/d/braskel.exp\"");
}

TEST(CreateFolderFor, MakesTheMissingFoldersForTheirOwnerOnly) {
  TempFolder root;
  const fs::path file = root / "home" / ".local" / "share" / "zelbo" / "braskel.exp";
  fs::create_directories(root / "home");
  fs::permissions(root / "home", fs::perms::owner_all | fs::perms::group_read |
                                     fs::perms::group_exec | fs::perms::others_read |
                                     fs::perms::others_exec);
  CreateFolderFor(file);
  EXPECT_TRUE(fs::is_directory(file.parent_path()));
  EXPECT_FALSE(fs::exists(file));
  for (const fs::path& made : {root / "home" / ".local", file.parent_path()}) {
    EXPECT_EQ(fs::status(made).permissions(), fs::perms::owner_all) << made;
  }
  // A folder that was there keeps its permissions.
  EXPECT_NE(fs::status(root / "home").permissions(), fs::perms::owner_all);
  CreateFolderFor(file);  // nothing left to make
  WriteBytes(root / "plain", {1});
  EXPECT_THROW(CreateFolderFor(root / "plain" / "inside" / "braskel.exp"), IoError);
}

}  // namespace
}  // namespace zelbo
