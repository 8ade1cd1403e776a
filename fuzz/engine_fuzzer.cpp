// SPDX-License-Identifier: GPL-3.0-or-later
// Any 192 bytes as a position, with the side to move and a small depth taken from the two bytes
// after them: perft to that depth, and the top level's hint on a small fixed search.
//
// What must hold: nothing crashes whatever the codes; perft 1 is the number of moves; every move
// takes only pieces of the other side, lands on a square that was empty, its own start or one it
// emptied by a capture, keeps the sides apart and the kings among the pieces, and updates the key
// as a fresh count would; its clicks, replayed on the board, leave the same position; the hint is
// one of the moves, and there is no hint exactly when there is no move.
#include <bit>
#include <cstring>

#include "engine/levels.h"
#include "engine/move_gen.h"
#include "engine/perft.h"
#include "fuzz_support.h"

namespace zelbo::fuzz {
namespace {

using engine::Bitboard;

LevelMove ClicksOf(const engine::Move& move, const engine::MoveSteps& steps) {
  LevelMove clicks;
  clicks.from = engine::RefOf(move.from);
  for (int i = 0; i < steps.count; ++i) clicks.landings[i] = engine::RefOf(steps.landings[i]);
  clicks.landing_count = static_cast<uint8_t>(steps.count);
  return clicks;
}

void CheckMove(const Board& board, const engine::Position& p, const engine::Move& m) {
  const int us = engine::SideIndex(p.side);
  const engine::Position next = engine::MakeMove(p, m);
  const std::string where = DescribeBoard(board);
  ZELBO_CHECK((m.captured & ~p.pieces[1 - us]) == 0, where);
  ZELBO_CHECK(((p.Empty() | engine::Bit(m.from) | m.captured) >> m.to) & 1, where);
  ZELBO_CHECK(std::popcount(next.pieces[us]) == std::popcount(p.pieces[us]), where);
  ZELBO_CHECK(std::popcount(next.pieces[1 - us]) ==
                  std::popcount(p.pieces[1 - us]) - std::popcount(m.captured),
              where);
  ZELBO_CHECK((next.pieces[0] & next.pieces[1]) == 0, where);
  ZELBO_CHECK((next.kings & ~(next.pieces[0] | next.pieces[1])) == 0, where);
  ZELBO_CHECK(((next.pieces[0] | next.pieces[1]) & next.walls) == 0, where);
  ZELBO_CHECK(next.key == engine::ComputeKey(next), where);
  const engine::MoveSteps steps = engine::StepsOf(p, m);
  ZELBO_CHECK(steps.count > 0, where);
  Board clicked = board;
  ApplyLevelMove(clicked, ClicksOf(m, steps));
  ZELBO_CHECK(clicked == engine::BoardOfPosition(next, board), where);
}

}  // namespace
}  // namespace zelbo::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zelbo;
  if (size < sizeof(Board) + 2) return 0;
  Board board;
  std::memcpy(&board, data, sizeof(Board));
  const int8_t side = data[sizeof(Board)] & 1 ? kComputerSide : kPlayerSide;
  const int depth = 1 + data[sizeof(Board) + 1] % 3;

  const engine::Position position = engine::PositionOf(board, side);
  engine::MoveList moves;
  engine::GenerateMoves(position, moves);
  ZELBO_CHECK(engine::Perft(position, 1) == static_cast<uint64_t>(moves.size()), "");
  engine::Perft(position, depth);
  for (const engine::Move& move : moves) fuzz::CheckMove(board, position, move);

  static Engine engine(1 << 12);
  engine.SetFixedNodes(400);
  const auto hint = engine.Hint(board, side, 50);
  ZELBO_CHECK(hint.has_value() == !moves.empty(), fuzz::DescribeBoard(board));
  if (hint) {
    Board after = board;
    ApplyLevelMove(after, *hint);
    bool found = false;
    for (const engine::Move& move : moves) {
      found |= after == engine::BoardOfPosition(engine::MakeMove(position, move), board);
    }
    ZELBO_CHECK(found, fuzz::DescribeBoard(board));
  }
  return 0;
}
