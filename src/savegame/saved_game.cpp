// SPDX-License-Identifier: GPL-3.0-or-later
#include "savegame/saved_game.h"

#include <cstdint>
#include <cstring>
#include <optional>
#include <span>
#include <string>
#include <system_error>
#include <vector>

#include "files/file_io.h"
#include "game/end_of_game.h"

namespace zelbo {

static_assert(kSavedGameSize == 192);

namespace {

// The name a saved game is remembered under: the file itself, whatever link or relative name
// leads to it.
std::filesystem::path KnownAs(const std::filesystem::path& path) {
  std::error_code error;
  std::filesystem::path file = std::filesystem::weakly_canonical(path, error);
  return error ? std::filesystem::absolute(path, error) : file;
}

std::string ChangedOnDiskText(const std::filesystem::path& path) {
  return "Le fichier \"" + path.string() +
         "\" a été modifié depuis son ouverture ou son dernier enregistrement : il n'a pas été "
         "remplacé. Enregistrez de nouveau pour le remplacer.";
}

}  // namespace

Board ReadSavedGame(const std::filesystem::path& path, FileVersion* version) {
  const std::vector<uint8_t> record = ReadFirstRecord(path, kSavedGameSize, version);
  Board board;
  std::memcpy(&board, record.data(), kSavedGameSize);
  return board;
}

void WriteSavedGame(const std::filesystem::path& path, const Board& board) {
  const auto* image = reinterpret_cast<const uint8_t*>(&board);
  ReplaceFile(path, std::span<const uint8_t>(image, kSavedGameSize));
}

bool LoadSavedGame(GameState& state, BoardWindowPort& port, const std::filesystem::path& path) {
  NewGame(state, port);
  try {
    FileVersion version;
    state.board = ReadSavedGame(path, &version);
    state.saved_game_versions[KnownAs(path)] = std::move(version);
  } catch (const IoError& error) {
    port.ShowMessage(error.text());
    return false;
  }
  state.record.Restart({state.board, state.side_to_move});
  CheckMaterial(state, port);
  NoteResult(state);
  return true;
}

void OpenSavedGame(GameState& state, BoardWindowPort& port, const std::filesystem::path& path) {
  if (LoadSavedGame(state, port, path)) port.DrawBoard();
}

void SaveGame(GameState& state, BoardWindowPort& port, const std::filesystem::path& path) {
  try {
    const std::filesystem::path file = KnownAs(path);
    const FolderLock turn(file.parent_path());
    const auto known = state.saved_game_versions.find(file);
    if (known != state.saved_game_versions.end()) {
      std::optional<FileVersion> now = ReadFileVersion(file, kSavedGameSize);
      if (now && *now != known->second) {
        known->second = std::move(*now);  // told once; the next save replaces it
        return port.ShowMessage(ChangedOnDiskText(path));
      }
    }
    WriteSavedGame(path, state.board);
    const auto* image = reinterpret_cast<const uint8_t*>(&state.board);
    state.saved_game_versions[file] = {kSavedGameSize, {image, image + kSavedGameSize}};
  } catch (const IoError& error) {
    port.ShowMessage(error.text());
  }
}

}  // namespace zelbo
