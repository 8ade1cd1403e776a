// SPDX-License-Identifier: GPL-3.0-or-later
// Skin folders: which skins the chooser lists, which look a skin's name gives, and which file of
// a skin feeds which picture of the board window, loaded in which way and in which order. The
// windows do the drawing; the rules of what goes where are all here.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "files/file_places.h"

namespace zelbo {

// The folder beside the program that holds one folder per skin, found whatever the letter case of
// its name ("Skin", as the help spells it): the exact name when it is there, else the smallest in
// byte order of the folders whose names match it.
inline constexpr std::string_view kSkinsFolderName = "SKIN";

// The names the chooser lists: every folder and plain file of "SKIN" in `files_folder`, hidden
// entries (names that begin with a dot) left out, in byte order of the names. A missing, empty or
// unreadable "SKIN" gives no names, and nothing is reported.
std::vector<std::string> ListSkinFolders(const std::filesystem::path& files_folder);

// The folder of the skin named `skin_name`.
std::filesystem::path SkinFolderPath(const std::filesystem::path& files_folder,
                                     std::string_view skin_name);

// The skins of every folder the program reads from, those of the folder that wins first; a name
// found in several folders is listed once, where it wins.
std::vector<std::string> ListSkins(const FilePlaces& places);

// The folder of the skin named `skin_name`, from the folder that wins among those that have it.
std::filesystem::path FindSkinFolder(const FilePlaces& places, std::string_view skin_name);

// A skin whose name begins with "Standard" (case counting) keeps the bordered window with its
// menus and controls and changes only the square pictures; any other is the skinned look.
enum class SkinLook : uint8_t { kStandard, kSkinned };
SkinLook LookOf(std::string_view skin_name);

// The pictures of the board window (and the editor's Imageamie) that a skin can replace.
enum class SkinImage : uint8_t {
  Im0,
  Im1,
  Im2,
  Im3,
  Imm1,
  Imm2,
  Imcadre,
  Imageamie,
  SORTI,
  MINIMISER,
  bskins,
  BOUVRIR,
  bsauvegarder,
};

// Plain: the picture becomes the file's bitmap. Piece: the empty square, with the file's bitmap
// drawn over it transparent. Button: the window button is shown, on the frame tile, with the
// file's bitmap drawn over it transparent.
enum class LoadKind : uint8_t { kPlain, kPiece, kButton };

struct SkinLoad {
  std::string_view file;
  SkinImage image;
  LoadKind kind;
};

// The background of the four piece pictures, and of the five buttons.
inline constexpr std::string_view kEmptySquareFile = "2.bmp";
inline constexpr std::string_view kFrameTileFile = "c.bmp";

// The loads of a look, in the order they are done; a bad bitmap stops the rest.
std::span<const SkinLoad> SkinLoads(SkinLook look);

// The file of the skin that stands for `file` ("o.bmp"), whatever the letter case of its name,
// since the help tells users to make "O.bmp": the exact name when the skin has it, else the name
// that matches it with ASCII letters compared without case, the smallest in byte order when
// several do. Folders are not files. None when the skin has no such file, or is a plain file.
std::optional<std::filesystem::path> FindSkinFile(const std::filesystem::path& skin_folder,
                                                  std::string_view file);

}  // namespace zelbo
