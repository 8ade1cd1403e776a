// SPDX-License-Identifier: GPL-3.0-or-later
// The moves of the player's rules, for either side: one piece's steps, zero or more captures
// followed by one last step that may capture or not. Men step and take forward only, a man's
// capture a jump of two over a piece of the other side; a man reaching its last row is a king at
// once, also in the middle of a chain; a king slides any distance, never over its own piece nor
// over two pieces of the other side standing together, and a path holding pieces of the other
// side takes the last of them. Captures are never compulsory, taken pieces leave the board at
// once, and a capture that takes the other side's last piece ends the move. Two ways to the same
// position are one move.
#pragma once

#include <array>
#include <cstdint>

#include "engine/position.h"

namespace zelbo::engine {

// A move as what it changes: the piece leaves `from`, stands on `to` (the same square when a
// chain comes back), a king when `king_after`, and the pieces of `captured` leave the board. It
// has no default values, so that a move list costs nothing to create: write Move{} for a zero.
struct Move {
  Bitboard captured;
  uint8_t from;
  uint8_t to;
  bool king_before;
  bool king_after;

  bool IsCapture() const { return captured != 0; }
  friend bool operator==(const Move&, const Move&) = default;
};

// The moves of one position. A position with more distinct moves than fit keeps the first ones
// (only boards no game reaches come near).
class MoveList {
 public:
  static constexpr int kCapacity = 512;

  int size() const { return size_; }
  bool empty() const { return size_ == 0; }
  Move& operator[](int i) { return moves_[i]; }
  const Move& operator[](int i) const { return moves_[i]; }
  Move* begin() { return moves_.data(); }
  Move* end() { return moves_.data() + size_; }
  const Move* begin() const { return moves_.data(); }
  const Move* end() const { return moves_.data() + size_; }

  void clear() {
    size_ = 0, captures_ = 0;
    if (++stamp_ == 0) buckets_.fill({0, -1}), stamp_ = 1;
  }
  // Adds a capture unless one that leaves the same position is there already.
  void AddCapture(const Move& move);
  void AddPlain(const Move& move);
  int capture_count() const { return captures_; }

 private:
  // The captures by a hash of what they change, to find a position already there at once.
  struct Bucket {
    uint32_t stamp;  // the bucket is empty unless this is the list's stamp
    int16_t head;
  };
  static constexpr int kBuckets = 256;

  std::array<Move, kCapacity> moves_;
  std::array<int16_t, kCapacity> next_in_bucket_;
  std::array<Bucket, kBuckets> buckets_{};
  uint32_t stamp_ = 1;
  int size_ = 0;
  int captures_ = 0;  // the captures come first
};

// Every move of the side to move; the captures first.
void GenerateMoves(const Position& position, MoveList& list);
// The moves whose every step captures: the quiescence search's, where a chain that ends with a
// plain step adds nothing a later move could not.
void GenerateCaptures(const Position& position, MoveList& list);

// The position after a move of the side to move, with its key.
Position MakeMove(const Position& position, const Move& move);

// The squares the piece lands on, in order: every landing but the last is a capturing step. The
// count is 0 when the move is not one of the position's.
struct MoveSteps {
  std::array<uint8_t, 40> landings{};
  int count = 0;
};
MoveSteps StepsOf(const Position& position, const Move& move);

}  // namespace zelbo::engine
