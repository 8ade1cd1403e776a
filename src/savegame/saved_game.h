// SPDX-License-Identifier: GPL-3.0-or-later
// The saved-game file: one 192-byte board image, column after column, with no header. Saving
// writes exactly that record; loading reads only the first record and takes every byte as it is,
// so bytes 2 and 3 of each cell travel unchanged and bytes after the record are ignored. Nothing
// but the board is stored: after a load side -1 is to move and the take-back list is empty.
#pragma once

#include <cstddef>
#include <filesystem>

#include "files/file_io.h"
#include "files/io_error.h"
#include "game/board.h"
#include "game/board_window_port.h"
#include "game/game_state.h"

namespace zelbo {

inline constexpr std::size_t kSavedGameSize = sizeof(Board);

// The board stored in a saved-game file, and the version of the file read when `version` is
// given. A file shorter than one record fails with "Lecture au-delà de la fin de fichier"; other
// failures carry their own IoError.
Board ReadSavedGame(const std::filesystem::path& path, FileVersion* version = nullptr);

// Stores the board as the whole file. A failed save leaves the old file as it was.
void WriteSavedGame(const std::filesystem::path& path, const Board& board);

// Starts a new game on the saved position: NewGame, read the board (an empty record starts from
// it), then the material check. A
// failed read is shown and returns false; the board then holds the reset position, none of the
// file's bytes. This is also what the board window runs for a file named on the command line.
// The version of the file read is remembered for the saves of this run.
bool LoadSavedGame(GameState& state, BoardWindowPort& port, const std::filesystem::path& path);

// The "Ouvrir" command once its dialog has named the file: load it and draw the board.
void OpenSavedGame(GameState& state, BoardWindowPort& port, const std::filesystem::path& path);

// The "Enregistrer" command once its dialog has named the file: store the board, showing a
// failure. A file that this run opened or saved, and that changed on the disk since (another copy
// of the program, another program), is not replaced: a message says so, and the next save, now
// that the user knows, replaces it.
void SaveGame(GameState& state, BoardWindowPort& port, const std::filesystem::path& path);

}  // namespace zelbo
