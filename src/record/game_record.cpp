// SPDX-License-Identifier: GPL-3.0-or-later
#include "record/game_record.h"

#include "game/notation.h"

namespace zelbo {
namespace {

bool IsKing(CellCode code) { return code == kPlayerKing || code == kComputerKing; }

GamePosition OpeningPosition() {
  GamePosition opening;
  SetupInitialPosition(opening.board);
  return opening;
}

}  // namespace

bool SameCodes(const Board& a, const Board& b) {
  for (std::size_t i = 0; i < a.cells.size(); ++i) {
    if (a.cells[i].code != b.cells[i].code) return false;
  }
  return true;
}

bool RecordedMove::TookAPiece() const {
  for (const MoveStep& step : steps) {
    if (!IsNoSquare(step.taken)) return true;
  }
  return false;
}

bool RecordedMove::IsQuietKingMove() const { return IsKing(piece) && !TookAPiece(); }

GameResult WinFor(int side) {
  return side == kPlayerSide ? GameResult::kWhiteWins : GameResult::kBlackWins;
}

std::string_view ResultText(GameResult result) {
  switch (result) {
    case GameResult::kWhiteWins:
      return "1-0";
    case GameResult::kBlackWins:
      return "0-1";
    case GameResult::kDraw:
      return "1/2-1/2";
    case GameResult::kUnfinished:
      break;
  }
  return "*";
}

GameRecord::GameRecord() : start_(OpeningPosition()) {}

void GameRecord::Restart(const GamePosition& position) {
  start_ = position;
  moves_.clear();
  result_ = GameResult::kUnfinished;
  tags_.clear();
  under_way_.reset();
}

GamePosition GameRecord::PositionAt(std::size_t plies) const {
  if (plies == 0 || moves_.empty()) return start_;
  const RecordedMove& move = moves_[std::min(plies, moves_.size()) - 1];
  return {move.after, static_cast<int8_t>(-move.side)};
}

void GameRecord::Append(const GamePosition& before, RecordedMove move) {
  if (!(Current() == before)) Restart(before);
  move.side = before.side;
  moves_.push_back(std::move(move));
}

void GameRecord::Truncate(std::size_t plies) {
  if (plies < moves_.size()) moves_.resize(plies);
  result_ = GameResult::kUnfinished;
}

void GameRecord::BeginMove(const GamePosition& before, SquareRef from) {
  RecordedMove move;
  move.side = before.side;
  move.piece = ReadCell(before.board, from);
  move.from = from;
  under_way_ = UnderWay{before, std::move(move)};
}

void GameRecord::AddStep(MoveStep step) {
  if (under_way_) under_way_->move.steps.push_back(step);
}

void GameRecord::EndMove(const Board& after) {
  if (!under_way_) return;
  UnderWay ended = std::move(*under_way_);
  under_way_.reset();
  ended.move.after = after;
  Append(ended.before, std::move(ended.move));
}

std::string MoveNotation(const RecordedMove& move) {
  std::string text = SquareName(move.from);
  for (const MoveStep& step : move.steps) {
    text += IsNoSquare(step.taken) ? '-' : 'x';
    text += SquareName(step.landing);
  }
  return text;
}

std::string MoveNumber(const GameRecord& record, std::size_t ply) {
  const std::size_t offset = record.Start().side == kPlayerSide ? 0 : 1;
  const std::size_t number = (ply + offset) / 2 + 1;
  const bool white = (ply + offset) % 2 == 0;
  return std::to_string(number) + (white ? "." : "...");
}

std::string MoveListText(const GameRecord& record) {
  std::string text;
  for (std::size_t ply = 0; ply < record.size(); ++ply) {
    const bool white = record[ply].side == kPlayerSide;
    if (!text.empty()) text += ' ';
    if (white || ply == 0) text += MoveNumber(record, ply) + ' ';
    text += MoveNotation(record[ply]);
  }
  return text;
}

int QuietKingMoves(const GameRecord& record) {
  int count = 0;
  for (std::size_t ply = record.size(); ply-- > 0 && record[ply].IsQuietKingMove();) ++count;
  return count;
}

int Occurrences(const GameRecord& record) {
  const GamePosition current = record.Current();
  const std::size_t since = record.size() - static_cast<std::size_t>(QuietKingMoves(record));
  int count = 0;
  for (std::size_t plies = since; plies <= record.size(); ++plies) {
    if (record.PositionAt(plies) == current) ++count;
  }
  return count;
}

DrawRule DrawRuleReached(const GameRecord& record) {
  if (record.empty()) return DrawRule::kNone;
  if (Occurrences(record) >= 3) return DrawRule::kThirdRepetition;
  if (QuietKingMoves(record) >= kQuietKingMovesForDraw) return DrawRule::kKingMovesOnly;
  return DrawRule::kNone;
}

}  // namespace zelbo
