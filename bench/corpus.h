// SPDX-License-Identifier: GPL-3.0-or-later
// The fixed corpus of positions that the benchmark times the computer on, and the signature that
// digests what the computer plays from all of them: a change of the computer's behaviour on any
// position changes the number.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "game/board.h"
#include "game/board_window_port.h"
#include "game/game_state.h"

namespace zelbo::bench {

// A window that shows nothing: the computer is on, the experience mark off.
class SilentPort : public BoardWindowPort {
 public:
  void DrawBoard() override {}
  void SetApplicationTitle(std::string_view) override {}
  void ShowMessage(std::string_view) override {}
  void ShowErrorDialog(std::string_view) override {}
  void SetGauges(int, int) override {}
  void SetPanelVisible(bool) override {}
  void SetTakeBackCaption(std::string_view) override {}
  bool IsComputerChecked() const override { return true; }
  bool IsExperienceChecked() const override { return false; }
};

struct CorpusPosition {
  Board board;
  int line;  // in the corpus file, from 1
};

struct Corpus {
  std::vector<CorpusPosition> positions;
  std::string error;  // empty when the whole file was read
};

// One board line a position; blank lines and lines starting with '#' are skipped. A line that is
// not a board stops the reading with an error naming it.
Corpus ReadCorpus(const std::string& path);

// Puts `state` where every corpus position is played from: the board, side +1 to move, the game
// on, both capture scores 0.
void SetUpTurn(GameState& state, const Board& board);

// FNV-1a over, for each position in order, the board image the computer leaves, then the side to
// move, the game-over flag and the player's and the computer's capture scores.
uint64_t CorpusSignature(const std::vector<CorpusPosition>& positions);

// FNV-1a over, for each position in order, the move (piece, landing, captured pieces, crowned)
// and the score of the engine's search `depth` moves deep for side +1 with the top level's
// weights and a table of `table_entries`.
uint64_t EngineSignature(const std::vector<CorpusPosition>& positions, int depth,
                         std::size_t table_entries = std::size_t{1} << 16);

}  // namespace zelbo::bench
