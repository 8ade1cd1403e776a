// SPDX-License-Identifier: GPL-3.0-or-later
// The game's record: every move of the game from the position it started on, both sides, the
// computer's replies included. Each move keeps what the board window needs to mark it (the square
// the piece left, each landing, the pieces it took) and the position after it, so that any earlier
// position can be shown again. Moves are written in the program's notation, squares named as the
// board window labels them: the square left, then each landing, after "-" when the step took
// nothing and "x" when it took a piece ("D6-C5", "B6xD4xF2", a king's "E1xB4-D2"), numbered in
// pairs with side -1's move first ("1. D6-C5 C3-D4 2. E7-D6").
//
// The record also answers the two draw rules: the same position (the board and the side to move)
// for the third time, and 25 moves of each side in a row in which only kings moved and nothing was
// taken.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "game/board.h"

namespace zelbo {

// One step of a move: where the piece landed, and the piece the step took (0 for none).
struct MoveStep {
  SquareRef landing = 0;
  SquareRef taken = 0;
  friend bool operator==(const MoveStep&, const MoveStep&) = default;
};

// True when two boards hold the same code on every square; the two bytes after each code, which
// mean nothing, take no part.
bool SameCodes(const Board& a, const Board& b);

// A position of the game: the board's codes and the side to move.
struct GamePosition {
  Board board{};
  int8_t side = kPlayerSide;
  friend bool operator==(const GamePosition& a, const GamePosition& b) {
    return a.side == b.side && SameCodes(a.board, b.board);
  }
};

struct RecordedMove {
  int8_t side = 0;     // the side that moved
  CellCode piece = 0;  // the code on `from` before the move: a king's code for a king's move
  SquareRef from = 0;  // the square the piece left
  std::vector<MoveStep> steps;
  bool experience = false;  // an experience record's move, played as stored
  Board after{};            // the position after the move; the other side is then to move

  // Moves are the same when they are written the same and lead to the same codes.
  friend bool operator==(const RecordedMove& a, const RecordedMove& b) {
    return a.side == b.side && a.piece == b.piece && a.from == b.from && a.steps == b.steps &&
           a.experience == b.experience && SameCodes(a.after, b.after);
  }

  // A king moved and nothing was taken: the kind of move the 25-move rule counts.
  bool IsQuietKingMove() const;
  bool TookAPiece() const;
  // The square the piece ended on.
  SquareRef To() const { return steps.empty() ? from : steps.back().landing; }
};

// The outcome of a game. White is side -1 (the light pieces at the bottom, which move first),
// Black side +1.
enum class GameResult : uint8_t { kUnfinished, kWhiteWins, kBlackWins, kDraw };

// The win of `side`.
GameResult WinFor(int side);

// "1-0", "0-1", "1/2-1/2" or "*".
std::string_view ResultText(GameResult result);

// Which draw rule a record has reached, if any.
enum class DrawRule : uint8_t { kNone, kThirdRepetition, kKingMovesOnly };

// The draw rule counts 25 moves of each side: this many moves in a row.
inline constexpr int kQuietKingMovesForDraw = 50;

class GameRecord {
 public:
  // An empty record from the opening, side -1 to move.
  GameRecord();

  // Forgets every move and starts an empty record from `position`: a new game, an opened
  // position. The result goes back to unfinished and the tags read from a file are forgotten.
  void Restart(const GamePosition& position);

  const GamePosition& Start() const { return start_; }
  // The number of moves (plies) recorded.
  std::size_t size() const { return moves_.size(); }
  bool empty() const { return moves_.empty(); }
  const RecordedMove& operator[](std::size_t ply) const { return moves_[ply]; }
  const std::vector<RecordedMove>& moves() const { return moves_; }
  // The last move, none while the record is empty.
  const RecordedMove* LastMove() const { return moves_.empty() ? nullptr : &moves_.back(); }

  // The position after the first `plies` moves; the start for 0. `plies` is at most size().
  GamePosition PositionAt(std::size_t plies) const;
  GamePosition Current() const { return PositionAt(size()); }

  // Adds a move played from `before`. When `before` is not the record's current position (the
  // board was set by other means), the record first starts again from `before`.
  void Append(const GamePosition& before, RecordedMove move);

  // Keeps the first `plies` moves and drops the rest; the game is unfinished again.
  void Truncate(std::size_t plies);

  GameResult result() const { return result_; }
  void set_result(GameResult result) { result_ = result; }

  // Tags of the game read from a file (Event, Site, Date...), written again when it is saved.
  const std::vector<std::pair<std::string, std::string>>& tags() const { return tags_; }
  void set_tags(std::vector<std::pair<std::string, std::string>> tags) { tags_ = std::move(tags); }

  // The move a player makes click by click: begun when the first step lands (from the position
  // before it), one step a landing, then kept when the move ends or dropped when it is refused.
  void BeginMove(const GamePosition& before, SquareRef from);
  bool MoveUnderWay() const { return under_way_.has_value(); }
  // The position the move under way started from; none when no move is under way.
  const GamePosition* BeforeMoveUnderWay() const {
    return under_way_ ? &under_way_->before : nullptr;
  }
  void AddStep(MoveStep step);
  void CancelMove() { under_way_.reset(); }
  // Appends the move under way with the position after it; nothing when no move is under way.
  void EndMove(const Board& after);

 private:
  struct UnderWay {
    GamePosition before;
    RecordedMove move;
  };

  GamePosition start_;
  std::vector<RecordedMove> moves_;
  GameResult result_ = GameResult::kUnfinished;
  std::vector<std::pair<std::string, std::string>> tags_;
  std::optional<UnderWay> under_way_;
};

// "D6-C5", "B6xD4xF2", "E1xB4-D2".
std::string MoveNotation(const RecordedMove& move);

// The number written before the move of `ply` (0-based): "1." for side -1's move, "1..." for side
// +1's; pairs count from the record's start, side -1 first.
std::string MoveNumber(const GameRecord& record, std::size_t ply);

// The moves, numbered: "1. D6-C5 C3-D4 2. E7-D6"; a record whose first move is side +1's starts
// "1... C3-D4 2. ...". Empty for an empty record.
std::string MoveListText(const GameRecord& record);

// How many moves in a row, up to the last one, moved a king and took nothing.
int QuietKingMoves(const GameRecord& record);

// How many times the current position has occurred, counting itself. Men never step back and
// taken pieces never come back, so only the positions since the last move that moved a man or
// took a piece are compared.
int Occurrences(const GameRecord& record);

// The draw rule the last move reached: the third occurrence of the current position, or the 50th
// move in a row (25 of each side) that moved a king and took nothing.
DrawRule DrawRuleReached(const GameRecord& record);

}  // namespace zelbo
