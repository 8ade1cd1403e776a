// SPDX-License-Identifier: GPL-3.0-or-later
// Whole games kept in PDN files: "Enregistrer la partie..." and "Ouvrir une partie...", once their
// dialogs have named the file, and zelbo-cli's "pdn save" and "pdn open". A save replaces the file
// whole or not at all, and refuses a read-only file and anything but a regular file, as every
// file the program writes. An open that fails changes nothing of the game.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

#include "game/board_window_port.h"
#include "game/game_state.h"
#include "record/pdn.h"

namespace zelbo {

// A PDN file larger than this is refused as too large: a long game takes a few kilobytes.
inline constexpr std::size_t kMaxPdnBytes = std::size_t{8} << 20;

// Today's date as PDN writes it, "2025.06.01".
std::string TodayForPdn();

// The tags of a game saved now: today's date; White the player; Black the computer at its level,
// or a second player when the computer is off.
PdnDefaults PdnDefaultsFor(const GameState& state, const BoardWindowPort& port);

// Writes the game's record to `path` as PDN; a failure (a file error, or a start that FEN cannot
// say) is shown in a message box. As for a saved position, a file that this run opened or saved
// and that changed on the disk since is not replaced: a message says so, and the next save
// replaces it.
void SavePdnGame(GameState& state, BoardWindowPort& port, const std::filesystem::path& path);

// Reads game number `number` (1 the first) of a PDN file and plays it again; on success the game
// goes on from its last position with its record: a new game (the take-back list empty, the about
// panel hidden), the board and the side to move of that position, the gauges set, and a game that
// the file says has ended ends again with a message. A file that cannot be read, or a tag or move
// refused, is shown in a message box and changes nothing. The board is drawn on success.
bool OpenPdnGame(GameState& state, BoardWindowPort& port, const std::filesystem::path& path,
                 std::size_t number = 1);

}  // namespace zelbo
