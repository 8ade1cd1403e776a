// SPDX-License-Identifier: GPL-3.0-or-later
#include "record/played_moves.h"

#include "computer/capture_search.h"
#include "computer/experience_matching.h"
#include "game/end_of_game.h"
#include "game/move_rules.h"
#include "game/notation.h"

namespace zelbo {
namespace {

std::string StepName(SquareRef from, SquareRef to) {
  return SquareName(from) + "-" + SquareName(to);
}

// The steps of a player's clicks, played on `move.after`; the reason for the first one refused.
std::optional<std::string> PlayClicks(const WrittenMove& written, RecordedMove& move) {
  Board& board = move.after;
  if (!IsOwnPiece(board, move.side, written.from)) {
    // "les noirs (en haut)" becomes "des noirs (en haut)".
    return "la case " + SquareName(written.from) + " ne porte aucune pièce des " +
           std::string(SideName(move.side).substr(4));
  }
  SquareRef at = written.from;
  for (std::size_t i = 0; i < written.landings.size(); ++i) {
    const SquareRef to = written.landings[i];
    const bool last = i + 1 == written.landings.size();
    const MoveCheckResult r = CheckStep(board, at, to);
    if (!r.ok) return "le pas " + StepName(at, to) + " n'est pas permis à cette pièce";
    if (ReadCell(board, to) != kEmpty) return "la case " + SquareName(to) + " n'est pas libre";
    if (!last && IsNoSquare(r.captured)) {
      return "le pas " + StepName(at, to) + " ne prend rien : seul le dernier pas d'un coup peut " +
             "ne rien prendre";
    }
    WriteCell(board, to, ReadCell(board, at));
    WriteCell(board, at, kEmpty);
    Promote(board, to);
    if (!IsNoSquare(r.captured)) WriteCell(board, r.captured, kEmpty);
    move.steps.push_back({to, r.captured});
    if (!last && PieceCount(board, -move.side) == 0) {
      return "la prise en " + SquareName(r.captured) + " finit la partie : le coup s'arrête là";
    }
    at = to;
  }
  return std::nullopt;
}

bool SameLandings(const RecordedMove& move, const WrittenMove& written) {
  if (move.steps.size() != written.landings.size()) return false;
  for (std::size_t i = 0; i < move.steps.size(); ++i) {
    if (move.steps[i].landing != written.landings[i]) return false;
  }
  return true;
}

RecordedMove MoveFrom(const Board& before, int8_t side, SquareRef from) {
  RecordedMove move;
  move.side = side;
  move.piece = ReadCell(before, from);
  move.from = from;
  move.after = before;
  return move;
}

}  // namespace

WrittenMove WrittenFormOf(const RecordedMove& move) {
  WrittenMove written;
  written.from = move.from;
  for (const MoveStep& step : move.steps) written.landings.push_back(step.landing);
  written.experience = move.experience;
  if (move.experience && !move.steps.empty()) written.emptied = move.steps.front().taken;
  return written;
}

MoveVerdict JudgeMove(const GamePosition& position, const WrittenMove& written) {
  if (written.landings.empty()) return {std::nullopt, "le coup n'a aucun pas"};
  if (written.experience) {
    if (position.side != kComputerSide) {
      return {std::nullopt, "seul l'ordinateur, " + std::string(SideName(kComputerSide)) +
                                ", joue les coups de son expérience"};
    }
    if (written.landings.size() != 1) {
      return {std::nullopt, "un coup de l'expérience n'a qu'un pas"};
    }
    return {ExperienceMove(position.board, position.side, written.from, written.landings[0],
                           written.emptied),
            {}};
  }
  RecordedMove clicked = MoveFrom(position.board, position.side, written.from);
  const std::optional<std::string> refusal = PlayClicks(written, clicked);
  if (!refusal) return {std::move(clicked), {}};
  if (position.side == kComputerSide && IsOwnPiece(position.board, kComputerSide, written.from)) {
    RecordedMove chain = DesignedChain(position.board, position.side, written.from);
    if (SameLandings(chain, written)) return {std::move(chain), {}};
  }
  return {std::nullopt, *refusal};
}

RecordedMove DesignedChain(const Board& before, int8_t side, SquareRef from) {
  RecordedMove move = MoveFrom(before, side, from);
  ChainState chain;
  ChainLog log;
  PlayCaptureChain(move.after, from, chain, true, &log);
  if (log.count > 0) Promote(move.after, chain.final_square);
  for (uint8_t i = 0; i < log.count; ++i) {
    move.steps.push_back({log.steps[i].landing, log.steps[i].taken});
  }
  return move;
}

RecordedMove ExperienceMove(const Board& before, int8_t side, SquareRef from, SquareRef to,
                            SquareRef captured) {
  RecordedMove move = MoveFrom(before, side, from);
  move.experience = true;
  // What the stored move empties is what stands on Captured once the piece has moved.
  Board moved = before;
  PlayStoredMove(moved, from, to, 0);
  const CellCode emptied = ReadCell(moved, captured);
  const bool takes = emptied != kEmpty && emptied != kUnusable;
  PlayStoredMove(move.after, from, to, captured);
  move.steps.push_back({to, takes ? captured : SquareRef{0}});
  return move;
}

RecordedMove PlainStep(const Board& before, int8_t side, SquareRef from, SquareRef to) {
  RecordedMove move = MoveFrom(before, side, from);
  WriteCell(move.after, to, ReadCell(before, from));
  WriteCell(move.after, from, kEmpty);
  Promote(move.after, to);
  move.steps.push_back({to, 0});
  return move;
}

RecordedMove MoveOfLandings(const GamePosition& before, SquareRef from,
                            const std::vector<SquareRef>& landings) {
  WrittenMove written;
  written.from = from;
  written.landings = landings;
  MoveVerdict verdict = JudgeMove(before, written);
  if (verdict.move) return std::move(*verdict.move);
  RecordedMove move = MoveFrom(before.board, before.side, from);
  for (const SquareRef landing : landings) move.steps.push_back({landing, 0});
  return move;
}

}  // namespace zelbo
