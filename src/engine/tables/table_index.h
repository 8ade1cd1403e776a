// SPDX-License-Identifier: GPL-3.0-or-later
// Where an endgame table keeps a position. A table holds the positions of one material seen by the
// side to move: its kings and men, the other side's kings and men. Both colours share the tables,
// since the rules are the same for both sides on the board turned round: a position with side +1
// to move is looked up as the board turned half a turn with the colours swapped, so that the side
// to move always plays side -1's part (its men go towards row 1).
//
// Inside a table the index counts the men first, then the kings on the squares the men leave
// free: the mover's men on rows 2 to 8, the other side's on rows 1 to 7, each set ranked among
// the subsets of its 28 squares; then the mover's kings, then the other's, each ranked among the
// squares still free. Two men on one square make an index that no position has.
#pragma once

#include <cstdint>
#include <optional>

#include "engine/position.h"

namespace zelbo::engine {

// A position as a table sees it: the side to move plays side -1's part.
struct TablePosition {
  Bitboard own_kings = 0;
  Bitboard own_men = 0;
  Bitboard other_kings = 0;
  Bitboard other_men = 0;
  friend bool operator==(const TablePosition&, const TablePosition&) = default;
};

// The pieces of a table: the mover's kings and men, the other side's kings and men.
struct Material {
  int own_kings = 0;
  int own_men = 0;
  int other_kings = 0;
  int other_men = 0;

  int Pieces() const { return own_kings + own_men + other_kings + other_men; }
  int Men() const { return own_men + other_men; }
  // The same pieces with the other side to move.
  Material Swapped() const { return {other_kings, other_men, own_kings, own_men}; }
  // A small number that names the material: 3 bits a count.
  uint32_t Key() const {
    return static_cast<uint32_t>(own_kings | own_men << 3 | other_kings << 6 | other_men << 9);
  }
  friend bool operator==(const Material&, const Material&) = default;
};

// The board turned half a turn: square s becomes 35 - s, ghosts stay ghosts.
Bitboard Turned(Bitboard b);

// The same position seen from the other side: the board turned half a turn, the colours swapped,
// the other side to move. Its value for the side to move is the same.
Position TurnedRound(const Position& position);

// The position as its table sees it; the walls are not looked at.
TablePosition TableView(const Position& position);
// The engine's position of a table's view, side -1 to move, with its key.
Position PositionOfView(const TablePosition& view);

Material MaterialOf(const TablePosition& view);

// The number of indexes of a material's table.
uint64_t TableSize(const Material& material);
// The index of a position in its material's table.
uint64_t IndexOf(const TablePosition& view, const Material& material);
// The position at an index; none when two men share a square there.
std::optional<TablePosition> PositionAt(uint64_t index, const Material& material);

}  // namespace zelbo::engine
