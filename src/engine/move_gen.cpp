// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/move_gen.h"

namespace zelbo::engine {
namespace {

// What a chain sees while one piece moves: the mover has left its square, the pieces taken so far
// are gone.
struct Chain {
  const Position& position;
  MoveList* list;         // where the moves go; none when only looking
  bool plain_last_steps;  // a capture may be followed by a plain step that ends the move
  Bitboard others;        // the mover's side, the mover excluded
  uint8_t from;
  bool king_before;
  int side;

  Bitboard Enemies(Bitboard captured) const {
    return position.pieces[SideIndex(-side)] & ~captured;
  }
  Bitboard Empty(Bitboard captured) const {
    return kPlayable & ~(others | Enemies(captured) | position.walls);
  }
};

void Emit(const Chain& chain, int to, bool king, Bitboard captured) {
  const Move move{captured, chain.from, static_cast<uint8_t>(to), chain.king_before, king};
  if (captured) {
    chain.list->AddCapture(move);
  } else {
    chain.list->AddPlain(move);
  }
}

// The squares along each diagonal from each square, nearest first, and all of them as a set.
struct Ray {
  std::array<int8_t, 7> squares{};
  int count = 0;
  Bitboard all = 0;
};
constexpr auto kRays = [] {
  std::array<std::array<Ray, 4>, kSquareBits> rays{};
  for (int square = 0; square < kSquareBits; ++square) {
    if (!((kPlayable >> square) & 1)) continue;
    for (int d = 0; d < 4; ++d) {
      Ray& ray = rays[square][d];
      for (int q = Next(square, d); q >= 0; q = Next(q, d)) {
        ray.squares[ray.count++] = static_cast<int8_t>(q);
        ray.all |= Bit(q);
      }
    }
  }
  return rays;
}();

// Every step of the piece on `square`, or only the capturing ones: visit(landing, king after,
// captured after, takes). A man steps or jumps forward and is crowned on its last row; a king
// slides past empty squares and walls, over single pieces of the other side, stopping at its own
// piece or at two of the other side together, and takes the last piece of the other side that it
// passed.
template <bool kCapturesOnly, typename Visit>
void ForEachStep(const Chain& chain, int square, bool king, Bitboard captured, Visit visit) {
  const Bitboard empty = chain.Empty(captured);
  const Bitboard enemies = chain.Enemies(captured);
  if (!king) {
    const Bitboard crown = CrownRow(chain.side);
    for (int d = FirstForward(chain.side); d < FirstForward(chain.side) + 2; ++d) {
      const Ray& ray = kRays[square][d];
      if (ray.count == 0) continue;
      const int next = ray.squares[0];
      if ((empty >> next) & 1) {
        if (!kCapturesOnly) visit(next, (crown >> next) & 1, captured, false);
      } else if (ray.count > 1 && ((enemies >> next) & 1)) {
        const int landing = ray.squares[1];
        if ((empty >> landing) & 1) {
          visit(landing, (crown >> landing) & 1, captured | Bit(next), true);
        }
      }
    }
    return;
  }
  for (int d = 0; d < 4; ++d) {
    const Ray& ray = kRays[square][d];
    if (kCapturesOnly && !(ray.all & enemies)) continue;
    int last_enemy = -1;
    bool enemy_before = false;
    for (int i = 0; i < ray.count; ++i) {
      const int q = ray.squares[i];
      const Bitboard bit = Bit(q);
      if (chain.others & bit) break;
      if (enemies & bit) {
        if (enemy_before) break;
        enemy_before = true;
        last_enemy = q;
        continue;
      }
      enemy_before = false;
      if (!(empty & bit)) continue;  // a wall
      if (last_enemy >= 0) {
        visit(q, true, captured | Bit(last_enemy), true);
      } else if (!kCapturesOnly) {
        visit(q, true, captured, false);
      }
    }
  }
}

// The chains from a square reached by `captured`: each capturing step may end the move or go on
// while the other side has pieces left; after a capture a plain step may end the move too. The
// first steps that capture nothing are generated elsewhere.
void ChainFrom(const Chain& chain, int square, bool king, Bitboard captured) {
  const auto step = [&](int landing, bool king_after, Bitboard captured_after, bool takes) {
    if (takes) {
      Emit(chain, landing, king_after, captured_after);
      if (chain.Enemies(captured_after)) ChainFrom(chain, landing, king_after, captured_after);
    } else {
      Emit(chain, landing, king_after, captured);
    }
  };
  if (captured && chain.plain_last_steps) {
    ForEachStep<false>(chain, square, king, captured, step);
  } else {
    ForEachStep<true>(chain, square, king, captured, step);
  }
}

// Looks for the steps of `target` from a state of its chain, writing the landings.
bool FindSteps(const Chain& chain, int square, bool king, Bitboard captured, const Move& target,
               MoveSteps& steps) {
  if (steps.count >= static_cast<int>(steps.landings.size())) return false;
  bool found = false;
  ForEachStep<false>(
      chain, square, king, captured,
      [&](int landing, bool king_after, Bitboard captured_after, bool takes) {
        if (found) return;
        steps.landings[steps.count++] = static_cast<uint8_t>(landing);
        if (landing == target.to && king_after == target.king_after &&
            captured_after == target.captured) {
          found = true;
          return;
        }
        if (takes && (captured_after & ~target.captured) == 0 && chain.Enemies(captured_after)) {
          found = FindSteps(chain, landing, king_after, captured_after, target, steps);
        }
        if (!found) --steps.count;
      });
  return found;
}

Chain ChainOf(const Position& position, MoveList* list, int from, bool plain_last_steps = true) {
  const int us = SideIndex(position.side);
  return {position,
          list,
          plain_last_steps,
          position.pieces[us] & ~Bit(from),
          static_cast<uint8_t>(from),
          static_cast<bool>((position.kings >> from) & 1),
          position.side};
}

// The men of the side to move that can take: a piece of the other side ahead, an empty square
// beyond it.
Bitboard MenThatTake(const Position& position) {
  const Bitboard men = position.Own() & ~position.kings;
  const Bitboard empty = position.Empty();
  const Bitboard enemies = position.Enemy();
  Bitboard takers = 0;
  for (int d = FirstForward(position.side); d < FirstForward(position.side) + 2; ++d) {
    takers |= men & Shifted(enemies & Shifted(empty, -kShift[d]), -kShift[d]);
  }
  return takers;
}

void GenerateChains(const Position& position, MoveList& list, bool plain_last_steps) {
  for (Bitboard b = (position.Own() & position.kings) | MenThatTake(position); b;) {
    const int from = PopFirst(b);
    ChainFrom(ChainOf(position, &list, from, plain_last_steps), from, (position.kings >> from) & 1,
              0);
  }
}

// The plain steps of all the men at once, a shift per direction.
void GenerateManSteps(const Position& position, MoveList& list) {
  const Bitboard men = position.Own() & ~position.kings;
  const Bitboard empty = position.Empty();
  const Bitboard crown = CrownRow(position.side);
  for (int d = FirstForward(position.side); d < FirstForward(position.side) + 2; ++d) {
    for (Bitboard targets = Shifted(men, kShift[d]) & empty; targets;) {
      const int to = PopFirst(targets);
      const bool king = (crown >> to) & 1;
      list.AddPlain(
          {0, static_cast<uint8_t>(to - kShift[d]), static_cast<uint8_t>(to), false, king});
    }
  }
}

// The plain moves of a king: along each diagonal, past walls, up to the first piece.
void GenerateKingSlides(const Chain& chain, int from) {
  const Bitboard occupied = chain.others | chain.Enemies(0);
  for (int d = 0; d < 4; ++d) {
    const Ray& ray = kRays[from][d];
    for (int i = 0; i < ray.count; ++i) {
      const int q = ray.squares[i];
      if ((occupied >> q) & 1) break;
      if (!((chain.position.walls >> q) & 1)) Emit(chain, q, true, 0);
    }
  }
}

// The three masks a move changes: two moves are one when they change the same.
struct Change {
  Bitboard own;
  Bitboard captured;
  Bitboard kings;
  bool operator==(const Change&) const = default;
};
Change ChangeOf(const Move& m) {
  const Bitboard own = m.from == m.to ? 0 : Bit(m.from) | Bit(m.to);
  const Bitboard kings = (m.king_before ? Bit(m.from) : 0) ^ (m.king_after ? Bit(m.to) : 0);
  return {own, m.captured, kings};
}

}  // namespace

void MoveList::AddCapture(const Move& move) {
  const Change change = ChangeOf(move);
  const uint64_t hash = (change.own * 0x9E3779B97F4A7C15ull) ^
                        (change.captured * 0xC2B2AE3D27D4EB4Full) ^
                        (change.kings * 0x165667B19E3779F9ull);
  Bucket& bucket = buckets_[(hash >> 56) & (kBuckets - 1)];
  if (bucket.stamp != stamp_) bucket = {stamp_, -1};
  for (int i = bucket.head; i >= 0; i = next_in_bucket_[i]) {
    if (moves_[i].captured == move.captured && ChangeOf(moves_[i]) == change) return;
  }
  if (size_ == kCapacity) return;
  // Captures stay ahead of the plain moves, which are only added after them.
  next_in_bucket_[size_] = bucket.head;
  bucket.head = static_cast<int16_t>(size_);
  moves_[size_++] = move;
  ++captures_;
}

void MoveList::AddPlain(const Move& move) {
  if (size_ < kCapacity) moves_[size_++] = move;
}

void GenerateMoves(const Position& position, MoveList& list) {
  list.clear();
  GenerateChains(position, list, true);
  GenerateManSteps(position, list);
  for (Bitboard b = position.Own() & position.kings; b;) {
    const int from = PopFirst(b);
    GenerateKingSlides(ChainOf(position, &list, from), from);
  }
}

void GenerateCaptures(const Position& position, MoveList& list) {
  list.clear();
  GenerateChains(position, list, false);
}

Position MakeMove(const Position& position, const Move& move) {
  const ZobristKeys& z = Zobrist();
  Position next = position;
  const int us = SideIndex(position.side);
  const int them = 1 - us;
  next.pieces[us] = (position.pieces[us] & ~Bit(move.from)) | Bit(move.to);
  next.pieces[them] &= ~move.captured;
  next.kings &= ~(Bit(move.from) | move.captured);
  if (move.king_after) next.kings |= Bit(move.to);
  next.side = static_cast<int8_t>(-position.side);
  uint64_t key = position.key ^ z.side;
  key ^= z.piece[us][move.king_before][move.from] ^ z.piece[us][move.king_after][move.to];
  for (Bitboard b = move.captured; b;) {
    const int square = PopFirst(b);
    key ^= z.piece[them][(position.kings >> square) & 1][square];
  }
  next.key = key;
  return next;
}

MoveSteps StepsOf(const Position& position, const Move& move) {
  MoveSteps steps;
  const Bitboard own = position.Own();
  if (move.from >= kSquareBits || !((own >> move.from) & 1)) return steps;
  const Chain chain = ChainOf(position, nullptr, move.from);
  if (chain.king_before != move.king_before) return steps;
  if (!FindSteps(chain, move.from, move.king_before, 0, move, steps)) steps.count = 0;
  return steps;
}

}  // namespace zelbo::engine
