// SPDX-License-Identifier: GPL-3.0-or-later
// Skin folders: what the chooser lists, which look a name gives, and which files a skin has.
#include "skins/skin_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "files/file_places.h"
#include "files/temp_folder.h"

namespace zelbo {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;
using testing::TempFolder;
using testing::WriteBytes;

// A SKIN folder holding these entries: a name ending in "/" is a folder, any other a plain file.
void MakeSkins(const TempFolder& folder, const Names& entries) {
  fs::create_directory(folder / "SKIN");
  for (const std::string& entry : entries) {
    const fs::path path = folder.path() / "SKIN" / entry;
    if (entry.ends_with('/')) {
      fs::create_directory(path);
    } else {
      WriteBytes(path, {'x'});
    }
  }
}

TEST(ListSkinFolders, ListsFoldersAndPlainFilesInNameOrder) {
  const struct {
    const char* name;
    Names entries;
    Names listed;
  } cases[] = {
      {"empty SKIN", {}, {}},
      {"shipped skins",
       {"Marbre/", "Standard Ardoise/", "Bois/"},
       {"Bois", "Marbre", "Standard Ardoise"}},
      {"hidden entries left out", {".cache/", ".hidden", "Bois/", ".Standard/"}, {"Bois"}},
      {"a plain file among folders",
       {"Marbre/", "notes.txt", "Bois/"},
       {"Bois", "Marbre", "notes.txt"}},
      {"byte order: upper case first, then lower case, then non-ASCII",
       {"\xc3\xa9t\xc3\xa9/", "bois/", "Zinc/", "Bois/", "2/", "Bois2/"},
       {"2", "Bois", "Bois2", "Zinc", "bois", "\xc3\xa9t\xc3\xa9"}},
  };
  for (const auto& c : cases) {
    const TempFolder folder;
    MakeSkins(folder, c.entries);
    EXPECT_EQ(ListSkinFolders(folder.path()), c.listed) << c.name;
  }
}

TEST(ListSkinFolders, GivesNothingWithoutASkinFolder) {
  const TempFolder folder;
  EXPECT_TRUE(ListSkinFolders(folder.path()).empty());
  // "SKIN" as a plain file is no folder of skins either.
  WriteBytes(folder / "SKIN", {'x'});
  EXPECT_TRUE(ListSkinFolders(folder.path()).empty());
}

TEST(ListSkinFolders, LeavesOutWhatIsNeitherFolderNorFile) {
  const TempFolder folder;
  MakeSkins(folder, {"Bois/"});
  fs::create_symlink(folder / "nowhere", folder.path() / "SKIN" / "Broken");
  fs::create_directory_symlink(folder.path() / "SKIN" / "Bois", folder.path() / "SKIN" / "Lien");
  EXPECT_EQ(ListSkinFolders(folder.path()), (Names{"Bois", "Lien"}));
}

TEST(LookOf, TheFirstEightCharactersDecide) {
  const struct {
    const char* name;
    SkinLook look;
  } cases[] = {
      {"Standard", SkinLook::kStandard},
      {"Standard2", SkinLook::kStandard},
      {"Standard Ardoise", SkinLook::kStandard},
      {"standard", SkinLook::kSkinned},
      {"STANDARD", SkinLook::kSkinned},
      {"Stand", SkinLook::kSkinned},
      {"Standar", SkinLook::kSkinned},
      {"Standart", SkinLook::kSkinned},
      {" Standard", SkinLook::kSkinned},
      {"Marbre", SkinLook::kSkinned},
      {"", SkinLook::kSkinned},
  };
  for (const auto& c : cases) EXPECT_EQ(LookOf(c.name), c.look) << c.name;
}

TEST(FindSkinFile, FindsOnlyFilesThatAreThere) {
  const TempFolder folder;
  MakeSkins(folder, {"Bois/", "Bois/2.bmp", "Bois/c.bmp/", "Plain"});
  const fs::path bois = SkinFolderPath(folder.path(), "Bois");
  EXPECT_TRUE(FindSkinFile(bois, "2.bmp").has_value());
  EXPECT_FALSE(FindSkinFile(bois, "1.bmp").has_value());
  EXPECT_FALSE(FindSkinFile(bois, "c.bmp").has_value()) << "a folder is no picture";
  EXPECT_FALSE(FindSkinFile(SkinFolderPath(folder.path(), "Plain"), "2.bmp").has_value());
  EXPECT_FALSE(FindSkinFile(SkinFolderPath(folder.path(), "Missing"), "2.bmp").has_value());
}

// The help tells users to name the files "O.bmp", "C.bmp": a skin's files are found whatever the
// case of their letters, the exact name first, else the smallest matching name in byte order.
TEST(FindSkinFile, FindsTheFileWhateverTheCaseOfItsName) {
  const TempFolder folder;
  MakeSkins(folder, {"Bois/", "Bois/O.bmp", "Bois/C.BMP", "Bois/e.bmp", "Bois/E.bmp", "Bois/f.BMP",
                     "Bois/F.bmp", "Bois/M.bmp/", "Bois/m.Bmp", "Bois/S.bmp/", "Bois/\xC9.bmp"});
  const fs::path bois = SkinFolderPath(folder.path(), "Bois");
  const struct {
    const char* file;
    const char* found;  // none when null
  } cases[] = {
      {"o.bmp", "O.bmp"}, {"c.bmp", "C.BMP"}, {"e.bmp", "e.bmp"}, {"f.bmp", "F.bmp"},
      {"m.bmp", "m.Bmp"}, {"s.bmp", nullptr}, {"1.bmp", nullptr}, {"\xE9.bmp", nullptr},
  };
  for (const auto& c : cases) {
    const std::optional<fs::path> found = FindSkinFile(bois, c.file);
    EXPECT_EQ(found, c.found ? std::optional(bois / c.found) : std::nullopt) << c.file;
  }
  EXPECT_EQ(FindSkinFile(SkinFolderPath(folder.path(), "Missing"), "o.bmp"), std::nullopt);
}

// The help spells the folder "Skin": the folder of skins is found whatever the case of its name, in
// the portable folder and in both folders of an installed program, "SKIN" itself first.
TEST(SkinsFolder, IsFoundWhateverTheCaseOfItsName) {
  const struct {
    const char* name;
    Names folders;     // each holding one skin named after it
    const char* wins;  // the folder whose skin is listed and loaded; none when null
  } cases[] = {
      {"as the help spells it", {"Skin"}, "Skin"},
      {"lower case", {"skin"}, "skin"},
      {"mixed case", {"sKiN"}, "sKiN"},
      {"the exact name first", {"Skin", "SKIN", "skin"}, "SKIN"},
      {"else the smallest in byte order", {"skin", "Skin"}, "Skin"},
      {"another name", {"Skins"}, nullptr},
  };
  for (const auto& c : cases) {
    const TempFolder portable;
    const TempFolder user;
    for (const std::string& name : c.folders) {
      fs::create_directories(portable.path() / name / name);
      WriteBytes(portable.path() / name / name / "2.bmp", {'x'});
      fs::create_directories(user.path() / name / ("User" + name));
    }
    const FilePlaces installed = FilePlaces::Installed(portable.path(), user.path());
    const std::string skin = c.wins ? c.wins : "none";
    const fs::path expected = portable.path() / (c.wins ? c.wins : "SKIN") / skin;
    EXPECT_EQ(ListSkinFolders(portable.path()), (c.wins ? Names{skin} : Names{})) << c.name;
    EXPECT_EQ(FindSkinFolder(FilePlaces(portable.path()), skin), expected) << c.name;
    EXPECT_EQ(FindSkinFile(FindSkinFolder(installed, skin), "2.bmp").has_value(), c.wins != nullptr)
        << c.name;
    EXPECT_EQ(ListSkins(installed), (c.wins ? Names{"User" + skin, skin} : Names{})) << c.name;
  }
}

}  // namespace
}  // namespace zelbo
