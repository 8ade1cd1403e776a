// SPDX-License-Identifier: GPL-3.0-or-later
// The game-state variables: one value that the board window (or zelbo-cli) owns and hands to every
// rule. Everything starts at zero; NewGame sets what a new game needs and leaves the rest.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "experience/experience_record.h"
#include "files/file_io.h"
#include "game/board.h"
#include "game/board_window_port.h"
#include "record/game_record.h"

namespace zelbo {

struct GameState {
  // The position and the move being made.
  Board board{};
  Board backup_board{};  // where a refused move puts the board back
  int8_t side_to_move = 0;
  SquareRef selected_square = 0;  // the selected piece, or the piece in the middle of a chain
  SquareRef target_square = 0;    // the landing square of the step being applied
  SquareRef captured_square = 0;  // the piece that step removes
  SquareRef no_square = 0;        // the "captures nothing" of a plain step; always 0
  bool game_over = false;

  // The board window's geometry, in pixels of its client area.
  int32_t board_origin = 0;  // top-left corner of A1
  int32_t square_size = 0;

  // The value of the "Execution time" dialog: the milliseconds a searching level may think.
  int32_t execution_time = 0;
  // The level of the computer, 1 the designed one; it lasts for the run, NewGame keeps it.
  int level = 1;

  // The take-back list: the position after each computer reply, oldest first.
  std::vector<Board> history;
  uint32_t history_count = 0;

  // Every move of the game since its start, both sides; and for each entry of the take-back list,
  // the number of moves the record held when it was taken, so that a take-back shortens the record
  // to match the board.
  GameRecord record;
  std::vector<std::size_t> history_plies;

  // What each side could capture, as the last plain-move choice measured it. Not reset by NewGame.
  uint8_t player_capture_score = 0;
  uint8_t computer_capture_score = 0;

  // The experience store in memory, and the record the experience editor works on.
  std::vector<ExperienceRecord> experience_list;
  uint32_t experience_count = 0;
  uint32_t experience_index = 0;  // the record the editor shows; experience_count after loading
  ExperienceRecord edit_record{};
  // Why the store on disk could not be read, empty when it could: a save must not replace the
  // records it holds with the few drawn since.
  std::string experience_load_failure;
  // The store as this copy last read or wrote it: what it finds changed there at a save, another
  // copy of the program changed meanwhile.
  std::vector<ExperienceRecord> experience_on_disk;

  // The saved games, positions and whole games, that this run opened or saved, as it left them: a
  // save does not silently replace one that changed on the disk since.
  KnownFileVersions saved_game_versions;
};

// Resets the game: the opening position, side -1 to move, nothing selected, the take-back list
// emptied and its button reading "0", an empty record from the opening. It draws nothing and
// leaves the gauges and the panel alone.
void NewGame(GameState& state, BoardWindowPort& port);

}  // namespace zelbo
