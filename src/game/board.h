// SPDX-License-Identifier: GPL-3.0-or-later
// The board: 64 cells in the byte image that saved games, experience patterns and the take-back
// list share, square references, diagonal directions, and the small square operations that every
// rule is written with.
#pragma once

#include <array>
#include <cstdint>

namespace zelbo {

// Byte 1 of a cell. The sign of a piece's code is its side, the magnitude its kind.
using CellCode = int8_t;

inline constexpr CellCode kEmpty = 0;
inline constexpr CellCode kComputerMan = 1;
inline constexpr CellCode kComputerKing = 2;
inline constexpr CellCode kPlayerMan = -1;
inline constexpr CellCode kPlayerKing = -2;
inline constexpr CellCode kUnusable = 3;  // also what a square off the board reads
// Wildcards that only experience patterns hold.
inline constexpr CellCode kNotImportant = -3;
inline constexpr CellCode kAnyComputerPiece = 4;
inline constexpr CellCode kAnyPlayerPiece = -4;

// A side is -1 (the player, at the bottom) or +1 (the computer, at the top).
inline constexpr int kPlayerSide = -1;
inline constexpr int kComputerSide = 1;

// One square: the code and two bytes that mean nothing but travel with every copy of the board.
struct Cell {
  CellCode code;
  uint8_t extra[2];
};
static_assert(sizeof(Cell) == 3);

// Columns 1..8 run left to right (A to H), rows 1..8 top to bottom. The image is column after
// column, the row running fastest: the cell of (c, r) starts at byte (c - 1) * 24 + (r - 1) * 3.
struct Board {
  std::array<Cell, 64> cells;

  CellCode Code(int column, int row) const { return cells[Index(column, row)].code; }
  void SetCode(int column, int row, CellCode code) { cells[Index(column, row)].code = code; }

  friend bool operator==(const Board&, const Board&) = default;

 private:
  static constexpr int Index(int column, int row) { return (column - 1) * 8 + (row - 1); }
};
static_assert(sizeof(Board) == 192);

inline bool operator==(const Cell& a, const Cell& b) {
  return a.code == b.code && a.extra[0] == b.extra[0] && a.extra[1] == b.extra[1];
}

// A square reference: low byte the column, high byte the row. Low byte 0 names no square, whatever
// the high byte holds.
using SquareRef = uint16_t;

constexpr SquareRef MakeSquare(int column, int row) {
  return static_cast<SquareRef>((row & 0xFF) << 8 | (column & 0xFF));
}
constexpr int Column(SquareRef s) { return s & 0xFF; }
constexpr int Row(SquareRef s) { return s >> 8; }
constexpr bool IsNoSquare(SquareRef s) { return Column(s) == 0; }
constexpr bool OnBoard(SquareRef s) {
  return Column(s) >= 1 && Column(s) <= 8 && Row(s) >= 1 && Row(s) <= 8;
}
// Clears the low byte only, the way every "no square" is written.
constexpr SquareRef ClearedSquare(SquareRef s) { return s & 0xFF00; }

// Diagonal directions: 1 down-right, 2 down-left, 3 up-right, 4 up-left; 5 - d reverses d.
using Direction = uint8_t;
inline constexpr Direction kNoDirection = 0;
constexpr Direction Reverse(Direction d) { return static_cast<Direction>(5 - d); }

// Where one square lies from another: direction 0 when they share no diagonal.
struct DiagonalStep {
  Direction direction;
  uint8_t distance;
};

// The code on a square; 3 for no square. References that name no real square read as unusable.
inline CellCode ReadCell(const Board& board, SquareRef s) {
  if (!OnBoard(s)) return kUnusable;
  return board.Code(Column(s), Row(s));
}

// Writes the code of a square of the board; a reference to no real square writes nothing.
inline void WriteCell(Board& board, SquareRef s, CellCode code) {
  if (OnBoard(s)) board.SetCode(Column(s), Row(s), code);
}

// The square `distance` steps away along `direction`, or 0 when that leaves the board or the
// direction is not 1..4.
inline SquareRef Neighbour(SquareRef s, Direction direction, uint8_t distance) {
  int column = Column(s);
  int row = Row(s);
  switch (direction) {
    case 1:
      column += distance, row += distance;
      break;
    case 2:
      column -= distance, row += distance;
      break;
    case 3:
      column += distance, row -= distance;
      break;
    case 4:
      column -= distance, row -= distance;
      break;
    default:
      return 0;
  }
  if (column < 1 || column > 8 || row < 1 || row > 8) return 0;
  return MakeSquare(column, row);
}

DiagonalStep DirectionBetween(SquareRef from, SquareRef to);

// The square half-way between two squares; exact for a man's jump.
constexpr SquareRef Midpoint(SquareRef a, SquareRef b) {
  return MakeSquare((Column(a) + Column(b)) / 2, (Row(a) + Row(b)) / 2);
}

// True when the square holds a man or a king of `side`.
inline bool IsOwnPiece(const Board& board, int side, SquareRef s) {
  const CellCode code = ReadCell(board, s);
  return code == side || code == 2 * side;
}

// A man standing on its last row becomes a king: row 1 for side -1, row 8 for side +1.
void Promote(Board& board, SquareRef s);

// Writes the opening position into the code bytes, leaving the other bytes of every cell alone.
void SetupInitialPosition(Board& board);

}  // namespace zelbo
