// SPDX-License-Identifier: GPL-3.0-or-later
#include "savegame/saved_game.h"

#include <cstdint>
#include <cstring>
#include <span>
#include <utility>
#include <vector>

#include "files/file_io.h"
#include "game/end_of_game.h"

namespace zelbo {

static_assert(kSavedGameSize == 192);

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
    RememberFileVersion(state.saved_game_versions, path, std::move(version));
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
    const auto* image = reinterpret_cast<const uint8_t*>(&state.board);
    ReplaceKnownFile(state.saved_game_versions, path, {image, kSavedGameSize});
  } catch (const IoError& error) {
    port.ShowMessage(error.text());
  }
}

}  // namespace zelbo
