// SPDX-License-Identifier: GPL-3.0-or-later
// Where the program's own files are looked up and where the user's changes are written. Two
// layouts share one program:
//
// - Portable: the executable's folder holds "braskel.exp" or "SKIN" (in any letter case), as the
//   build folder or a folder copied anywhere does. Everything is read from that folder and written
//   there, and a missing store stays missing.
// - Installed: the executable lies in PREFIX/bin or PREFIX/games and its folder holds neither.
//   The shipped files are read from PREFIX/share/zelbo; what the user changes lives in the data
//   folder $XDG_DATA_HOME/zelbo (~/.local/share/zelbo by default), which wins over the shipped
//   copy wherever both have a file and receives every write. Nothing is written under the prefix.
//
// An executable in any other folder is taken as portable, with nothing beside it.
//
// A data folder that cannot be used (a link to nothing, a loop of links, a file in its place), or
// such a folder inside it (its "SKIN"), counts as absent: the shipped files are read instead. A
// save into it is refused with the reason and the folder's name.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zelbo {

// The folder of the shipped files under an installed program's prefix, and of the user's files
// under the data folder.
inline constexpr std::string_view kInstalledDataFolder = "share/zelbo";
inline constexpr std::string_view kUserDataFolder = "zelbo";

// The variables that name the user's data folder; empty when unset.
struct UserEnvironment {
  std::string xdg_data_home;
  std::string home;
};

// The variables of this process.
UserEnvironment ReadUserEnvironment();

// "$XDG_DATA_HOME/zelbo" when XDG_DATA_HOME is an absolute path, else "$HOME/.local/share/zelbo"
// when HOME is one; none when neither names a folder.
std::optional<std::filesystem::path> UserDataFolder(const UserEnvironment& environment);

// A file the user changes: read from `read` and written to `write`, the same file in the portable
// layout. `write` is empty when the user has no data folder to write to.
struct UserFilePlace {
  std::filesystem::path read;
  std::filesystem::path write;
};

class FilePlaces {
 public:
  // The portable layout: everything in `folder`.
  FilePlaces(std::filesystem::path folder);  // NOLINT: a folder is the portable layout
  // The installed layout: shipped files in `shipped`, the user's in `user` when there is one.
  static FilePlaces Installed(std::filesystem::path shipped,
                              std::optional<std::filesystem::path> user);
  // The layout of a program whose executable lies in `executable_folder`.
  static FilePlaces Find(const std::filesystem::path& executable_folder,
                         const UserEnvironment& environment);
  // The layout of this program.
  static FilePlaces OfThisProgram();

  bool installed() const { return installed_; }

  // The folders that files are read from, the one that wins first: the user's data folder, then
  // the shipped files; in the portable layout the executable's folder alone.
  std::vector<std::filesystem::path> ReadFolders() const;

  // The folder from which `name` (a file or a folder, relative) is read: the first of the read
  // folders that holds it, else the shipped one.
  std::filesystem::path FolderHolding(const std::filesystem::path& name) const;

  // Where the user's file `name` is read (the user's copy when there is one, else the shipped
  // one) and written (always the user's copy).
  UserFilePlace UserFile(const std::filesystem::path& name) const;

 private:
  FilePlaces(std::filesystem::path shipped, std::optional<std::filesystem::path> user,
             bool installed);

  std::filesystem::path shipped_;
  std::optional<std::filesystem::path> user_;
  bool installed_ = false;
};

// Creates the folders up to the one that will hold `file`, each new one readable by its owner
// only; nothing when it is there. Throws IoError when a folder cannot be made, naming the folder
// and what stands in its place: a link to nothing, a loop of links, a file.
void CreateFolderFor(const std::filesystem::path& file);

// The entry of `folder` named `name` that is `wanted`: the exact name when there is one, else the
// name that matches it with ASCII letters compared without case, the smallest in byte order when
// several do.
std::optional<std::filesystem::path> FindWithoutCase(const std::filesystem::path& folder,
                                                     std::string_view name,
                                                     bool (*wanted)(const std::filesystem::path&));

}  // namespace zelbo
