// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/file_places.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <system_error>

#include "files/executable_folder.h"
#include "files/io_error.h"

namespace zelbo {
namespace {

namespace fs = std::filesystem;

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameNameWithoutCase(std::string_view a, std::string_view b) {
  return std::ranges::equal(a, b, [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
}

// Only what is certainly not there counts as missing; a file that cannot be looked at is there,
// and reports its own failure when it is read.
bool IsThere(const fs::path& path) {
  std::error_code error;
  return fs::status(path, error).type() != fs::file_type::not_found;
}

// A folder that files can be read from: not a link to nothing, a loop of links or a file.
bool IsUsableFolder(const fs::path& path) {
  std::error_code error;
  return fs::is_directory(fs::status(path, error)) && !error;
}

// Whether `name` (relative, perhaps in sub-folders) is there under `folder`. A folder on the way
// that cannot be used counts as absent, as the data folder itself does; the file at the end is
// there unless it is certainly not.
bool HoldsFile(const fs::path& folder, const fs::path& name) {
  fs::path at = folder;
  for (const fs::path& part : name.parent_path()) {
    if (!IsUsableFolder(at)) return false;
    at /= part;
  }
  return IsUsableFolder(at) && IsThere(at / name.filename());
}

// Why a folder cannot be made at `folder`, where something that is no usable folder stands.
IoError UnusableFolderError(const fs::path& folder) {
  std::error_code error;
  const fs::file_status target = fs::status(folder, error);
  if (error.value() == ELOOP) return SystemIoError(ELOOP, folder);
  if (fs::is_symlink(fs::symlink_status(folder, error)) && !fs::exists(target)) {
    return IoError("Lien symbolique vers un dossier absent", folder);
  }
  return IoError("Ce n'est pas un dossier", folder);
}

std::string Variable(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string() : std::string(value);
}

// A folder that the shipped files beside the executable make portable (the skins' folder named in
// any case, as the skins find it).
bool HoldsFilesBeside(const fs::path& folder) {
  return IsThere(folder / "braskel.exp") || FindWithoutCase(folder, "SKIN", IsThere);
}

bool IsProgramsFolder(const fs::path& folder) {
  const fs::path name = folder.filename();
  return name == "bin" || name == "games";
}

}  // namespace

std::optional<fs::path> FindWithoutCase(const fs::path& folder, std::string_view name,
                                        bool (*wanted)(const fs::path&)) {
  const fs::path exact = folder / fs::path(name);
  if (wanted(exact)) return exact;
  std::optional<fs::path> found;
  std::error_code error;
  fs::directory_iterator entries(folder, error);
  for (; !error && entries != fs::directory_iterator(); entries.increment(error)) {
    const fs::path& path = entries->path();
    if (!SameNameWithoutCase(path.filename().native(), name) || !wanted(path)) continue;
    if (!found || path.filename().native() < found->filename().native()) found = path;
  }
  return found;
}

UserEnvironment ReadUserEnvironment() { return {Variable("XDG_DATA_HOME"), Variable("HOME")}; }

std::optional<fs::path> UserDataFolder(const UserEnvironment& environment) {
  const fs::path data_home(environment.xdg_data_home);
  if (data_home.is_absolute()) return data_home / kUserDataFolder;
  const fs::path home(environment.home);
  if (home.is_absolute()) return home / ".local" / "share" / kUserDataFolder;
  return std::nullopt;
}

FilePlaces::FilePlaces(fs::path folder) : FilePlaces(std::move(folder), std::nullopt, false) {}

FilePlaces::FilePlaces(fs::path shipped, std::optional<fs::path> user, bool installed)
    : shipped_(std::move(shipped)), user_(std::move(user)), installed_(installed) {}

FilePlaces FilePlaces::Installed(fs::path shipped, std::optional<fs::path> user) {
  return FilePlaces(std::move(shipped), std::move(user), true);
}

FilePlaces FilePlaces::Find(const fs::path& executable_folder, const UserEnvironment& environment) {
  // "/usr/bin/" names the same folder as "/usr/bin".
  const fs::path folder =
      executable_folder.has_filename() ? executable_folder : executable_folder.parent_path();
  if (HoldsFilesBeside(folder) || !IsProgramsFolder(folder)) return FilePlaces(folder);
  return Installed(folder.parent_path() / kInstalledDataFolder, UserDataFolder(environment));
}

FilePlaces FilePlaces::OfThisProgram() { return Find(ExecutableFolder(), ReadUserEnvironment()); }

std::vector<fs::path> FilePlaces::ReadFolders() const {
  if (user_) return {*user_, shipped_};
  return {shipped_};
}

fs::path FilePlaces::FolderHolding(const fs::path& name) const {
  for (const fs::path& folder : ReadFolders()) {
    if (HoldsFile(folder, name)) return folder;
  }
  return shipped_;
}

UserFilePlace FilePlaces::UserFile(const fs::path& name) const {
  if (!installed_) return {shipped_ / name, shipped_ / name};
  if (!user_) return {shipped_ / name, {}};
  return {FolderHolding(name) / name, *user_ / name};
}

void CreateFolderFor(const fs::path& file) {
  const fs::path folder = file.parent_path();
  if (folder.empty() || IsUsableFolder(folder)) return;
  std::error_code error;
  const fs::file_type here = fs::symlink_status(folder, error).type();
  if (here == fs::file_type::not_found) {
    CreateFolderFor(folder);
    if (!fs::create_directory(folder, error) && error) throw SystemIoError(error.value(), folder);
    fs::permissions(folder, fs::perms::owner_all, error);
  } else if (!error || error.value() == ELOOP) {
    throw UnusableFolderError(folder);
  }
  // A folder that cannot even be looked at refuses the file itself when it is written.
}

}  // namespace zelbo
