// SPDX-License-Identifier: GPL-3.0-or-later
#include "skins/skin_folder.h"

#include <algorithm>
#include <array>
#include <system_error>

namespace zelbo {
namespace {

namespace fs = std::filesystem;

bool IsHidden(const std::string& name) { return name.empty() || name.front() == '.'; }

// Folders and plain files are skins; sockets, devices and dangling links are not.
bool IsListed(const fs::directory_entry& entry) {
  std::error_code error;
  if (entry.is_directory(error)) return true;
  return entry.is_regular_file(error);
}

// A skin's picture file is anything there but a folder; what cannot be read as a bitmap stops the
// skin when it is read.
bool IsFile(const fs::path& path) {
  std::error_code error;
  const fs::file_status status = fs::status(path, error);
  return !error && fs::exists(status) && !fs::is_directory(status);
}

bool IsFolder(const fs::path& path) {
  std::error_code error;
  return fs::is_directory(path, error);
}

// The folder of skins in `files_folder`, whatever the letter case of its name ("Skin", as the help
// spells it); "SKIN" when there is none.
fs::path SkinsFolder(const fs::path& files_folder) {
  return FindWithoutCase(files_folder, kSkinsFolderName, IsFolder)
      .value_or(files_folder / kSkinsFolderName);
}

constexpr std::array kStandardLoads = {
    SkinLoad{"1.bmp", SkinImage::Im3, LoadKind::kPlain},
    SkinLoad{"2.bmp", SkinImage::Im0, LoadKind::kPlain},
    SkinLoad{"3.bmp", SkinImage::Imm1, LoadKind::kPlain},
    SkinLoad{"4.bmp", SkinImage::Im1, LoadKind::kPlain},
    SkinLoad{"5.bmp", SkinImage::Imm2, LoadKind::kPlain},
    SkinLoad{"6.bmp", SkinImage::Im2, LoadKind::kPlain},
};

constexpr std::array kSkinnedLoads = {
    SkinLoad{"f.bmp", SkinImage::SORTI, LoadKind::kButton},
    SkinLoad{"m.bmp", SkinImage::MINIMISER, LoadKind::kButton},
    SkinLoad{"s.bmp", SkinImage::bskins, LoadKind::kButton},
    SkinLoad{"o.bmp", SkinImage::BOUVRIR, LoadKind::kButton},
    SkinLoad{"e.bmp", SkinImage::bsauvegarder, LoadKind::kButton},
    SkinLoad{"2.bmp", SkinImage::Im0, LoadKind::kPlain},
    SkinLoad{"1.bmp", SkinImage::Im3, LoadKind::kPlain},
    SkinLoad{"3.bmp", SkinImage::Imm1, LoadKind::kPiece},
    SkinLoad{"4.bmp", SkinImage::Im1, LoadKind::kPiece},
    SkinLoad{"5.bmp", SkinImage::Imm2, LoadKind::kPiece},
    SkinLoad{"6.bmp", SkinImage::Im2, LoadKind::kPiece},
    SkinLoad{"c.bmp", SkinImage::Imcadre, LoadKind::kPlain},
    SkinLoad{"2.bmp", SkinImage::Imageamie, LoadKind::kPlain},
};

}  // namespace

std::vector<std::string> ListSkinFolders(const fs::path& files_folder) {
  std::vector<std::string> names;
  std::error_code error;
  fs::directory_iterator entries(SkinsFolder(files_folder), error);
  for (; !error && entries != fs::directory_iterator(); entries.increment(error)) {
    const std::string name = entries->path().filename().string();
    if (!IsHidden(name) && IsListed(*entries)) names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

fs::path SkinFolderPath(const fs::path& files_folder, std::string_view skin_name) {
  return SkinsFolder(files_folder) / fs::path(skin_name);
}

std::vector<std::string> ListSkins(const FilePlaces& places) {
  std::vector<std::string> names;
  for (const fs::path& folder : places.ReadFolders()) {
    for (std::string& name : ListSkinFolders(folder)) {
      if (std::find(names.begin(), names.end(), name) == names.end()) {
        names.push_back(std::move(name));
      }
    }
  }
  return names;
}

fs::path FindSkinFolder(const FilePlaces& places, std::string_view skin_name) {
  const std::vector<fs::path> folders = places.ReadFolders();
  for (const fs::path& folder : folders) {
    const fs::path skins = SkinsFolder(folder);
    const fs::path skin = skins / fs::path(skin_name);
    std::error_code error;
    if (IsFolder(skins) && fs::status(skin, error).type() != fs::file_type::not_found) return skin;
  }
  return SkinFolderPath(folders.back(), skin_name);
}

SkinLook LookOf(std::string_view skin_name) {
  return skin_name.substr(0, 8) == "Standard" ? SkinLook::kStandard : SkinLook::kSkinned;
}

std::span<const SkinLoad> SkinLoads(SkinLook look) {
  if (look == SkinLook::kStandard) return kStandardLoads;
  return kSkinnedLoads;
}

std::optional<fs::path> FindSkinFile(const fs::path& skin_folder, std::string_view file) {
  return FindWithoutCase(skin_folder, file, IsFile);
}

}  // namespace zelbo
