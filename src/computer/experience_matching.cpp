#include "computer/experience_matching.h"

#include <algorithm>
#include <string>

namespace zelbo {
namespace {

constexpr std::string_view kSimilarExperienceText = "Similar Experience N:°";

bool SquareMatches(CellCode pattern, CellCode board) {
  switch (pattern) {
    case kNotImportant:
      return true;
    case kAnyComputerPiece:
      return board == kComputerMan || board == kComputerKing;
    case kAnyPlayerPiece:
      return board == kPlayerMan || board == kPlayerKing;
    default:
      return pattern == board;
  }
}

// The stored move, as stored: the piece on From goes to To, is promoted there, and the piece on
// Captured is removed when Captured names a playable square.
void PlayStoredMove(const ExperienceRecord& record, Board& board) {
  const CellCode piece = ReadCell(board, record.from);
  WriteCell(board, record.from, kEmpty);
  WriteCell(board, record.to, piece);
  Promote(board, record.to);
  if (ReadCell(board, record.captured) != kUnusable) WriteCell(board, record.captured, kEmpty);
}

}  // namespace

bool PatternMatches(const ExperienceRecord& record, const Board& board) {
  for (std::size_t i = 0; i < board.cells.size(); ++i) {
    const CellCode pattern = record.pattern.cells[i].code;
    const CellCode code = board.cells[i].code;
    // Most squares of a pattern hold exact codes: settle those with one comparison.
    if (pattern != code && !SquareMatches(pattern, code)) return false;
  }
  return true;
}

bool HasPlayableMove(const ExperienceRecord& record) {
  return OnBoard(record.from) && OnBoard(record.to) &&
         (IsNoSquare(record.captured) || OnBoard(record.captured));
}

void PlayExperience(GameState& state, BoardWindowPort& port, bool& move_played) {
  const auto& list = state.experience_list;
  for (std::size_t i = std::min<std::size_t>(state.experience_count, list.size()); i-- > 0;) {
    const ExperienceRecord& record = list[i];
    if (!PatternMatches(record, state.board) || !HasPlayableMove(record)) continue;
    port.ShowMessage(std::string(kSimilarExperienceText) + std::to_string(i));
    PlayStoredMove(record, state.board);
    move_played = true;
    state.side_to_move = static_cast<int8_t>(-state.side_to_move);
    return;
  }
}

}  // namespace zelbo
