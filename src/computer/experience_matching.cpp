#include "computer/experience_matching.h"

#include <algorithm>
#include <charconv>
#include <string_view>

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

// "Similar Experience N:°" and the record's index, written into `buffer` so a turn allocates
// nothing.
template <std::size_t N>
std::string_view SimilarExperienceMessage(std::size_t index, char (&buffer)[N]) {
  std::copy(kSimilarExperienceText.begin(), kSimilarExperienceText.end(), buffer);
  const auto end = std::to_chars(buffer + kSimilarExperienceText.size(), buffer + N, index).ptr;
  return {buffer, static_cast<std::size_t>(end - buffer)};
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
  char message[kSimilarExperienceText.size() + 12];
  const auto& list = state.experience_list;
  for (std::size_t i = std::min<std::size_t>(state.experience_count, list.size()); i-- > 0;) {
    const ExperienceRecord& record = list[i];
    if (!PatternMatches(record, state.board) || !HasPlayableMove(record)) continue;
    port.ShowMessage(SimilarExperienceMessage(i, message));
    PlayStoredMove(record, state.board);
    move_played = true;
    state.side_to_move = static_cast<int8_t>(-state.side_to_move);
    return;
  }
}

}  // namespace zelbo
