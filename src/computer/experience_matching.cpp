// SPDX-License-Identifier: GPL-3.0-or-later
#include "computer/experience_matching.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace zelbo {
namespace {

constexpr std::string_view kSimilarExperienceText = "Similar Experience N:°";

// The board image read 16 bytes at a time, one lane a byte (a vector type of GCC and Clang: its
// operators work lane by lane, a comparison giving all ones where it holds).
using Lanes = CellCode __attribute__((vector_size(16)));
constexpr std::size_t kLaneCount = sizeof(Lanes);
constexpr std::size_t kChunkCount = sizeof(Board) / kLaneCount;
static_assert(sizeof(Board) % kLaneCount == 0 && kChunkCount % 4 == 0);

Lanes LoadLanes(const Board& board, std::size_t chunk) {
  Lanes lanes;
  std::memcpy(&lanes, reinterpret_cast<const char*>(board.cells.data()) + chunk * kLaneCount,
              kLaneCount);
  return lanes;
}

bool AllOnes(Lanes lanes) {
  uint64_t halves[2];
  std::memcpy(halves, &lanes, sizeof halves);
  return (halves[0] & halves[1]) == ~uint64_t{0};
}

// A board as the patterns see it, worked out once for the whole store. A square of a pattern
// matches the board's when it holds the same code, "not important", or "any piece" of the side
// whose man or king the board holds there; the two bytes after each code take no part.
class BoardForPatterns {
 public:
  explicit BoardForPatterns(const Board& board) {
    for (std::size_t chunk = 0; chunk < kChunkCount; ++chunk) {
      const Lanes codes = LoadLanes(board, chunk);
      codes_[chunk] = codes;
      const Lanes computer_piece = (codes == kComputerMan) | (codes == kComputerKing);
      const Lanes player_piece = (codes == kPlayerMan) | (codes == kPlayerKing);
      any_piece_[chunk] = (computer_piece & kAnyComputerPiece) | (player_piece & kAnyPlayerPiece) |
                          (~(computer_piece | player_piece) & codes);
      for (std::size_t i = 0; i < kLaneCount; ++i) {
        not_code_[chunk][i] = (chunk * kLaneCount + i) % sizeof(Cell) == 0 ? 0 : -1;
      }
    }
  }

  // Tested four chunks at a time, about a cache line: most patterns that miss, miss early.
  bool Matches(const Board& pattern) const {
    for (std::size_t group = 0; group < kChunkCount; group += 4) {
      Lanes matching = ~Lanes{};
      for (std::size_t chunk = group; chunk < group + 4; ++chunk) {
        const Lanes lanes = LoadLanes(pattern, chunk);
        matching &= (lanes == codes_[chunk]) | (lanes == kNotImportant) |
                    (lanes == any_piece_[chunk]) | not_code_[chunk];
      }
      if (!AllOnes(matching)) return false;
    }
    return true;
  }

 private:
  std::array<Lanes, kChunkCount> codes_;
  // The "any piece" wildcard that matches the board's code, else that code again.
  std::array<Lanes, kChunkCount> any_piece_;
  // All ones on the bytes that are no code.
  std::array<Lanes, kChunkCount> not_code_;
};

// "Similar Experience N:°" and the record's index, written into `buffer` so a turn allocates
// nothing.
template <std::size_t N>
std::string_view SimilarExperienceMessage(std::size_t index, char (&buffer)[N]) {
  std::copy(kSimilarExperienceText.begin(), kSimilarExperienceText.end(), buffer);
  const auto end = std::to_chars(buffer + kSimilarExperienceText.size(), buffer + N, index).ptr;
  return {buffer, static_cast<std::size_t>(end - buffer)};
}

}  // namespace

void PlayStoredMove(Board& board, SquareRef from, SquareRef to, SquareRef captured) {
  const CellCode piece = ReadCell(board, from);
  WriteCell(board, from, kEmpty);
  WriteCell(board, to, piece);
  Promote(board, to);
  if (ReadCell(board, captured) != kUnusable) WriteCell(board, captured, kEmpty);
}

bool PatternMatches(const ExperienceRecord& record, const Board& board) {
  return BoardForPatterns(board).Matches(record.pattern);
}

bool HasPlayableMove(const ExperienceRecord& record) {
  return OnBoard(record.from) && OnBoard(record.to) &&
         (IsNoSquare(record.captured) || OnBoard(record.captured));
}

const ExperienceRecord* PlayExperience(GameState& state, BoardWindowPort& port, bool& move_played) {
  char message[kSimilarExperienceText.size() + 12];
  const auto& list = state.experience_list;
  const BoardForPatterns board(state.board);
  for (std::size_t i = std::min<std::size_t>(state.experience_count, list.size()); i-- > 0;) {
    const ExperienceRecord& record = list[i];
    if (!board.Matches(record.pattern) || !HasPlayableMove(record)) continue;
    port.ShowMessage(SimilarExperienceMessage(i, message));
    PlayStoredMove(state.board, record.from, record.to, record.captured);
    move_played = true;
    state.side_to_move = static_cast<int8_t>(-state.side_to_move);
    return &record;
  }
  return nullptr;
}

}  // namespace zelbo
