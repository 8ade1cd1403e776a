// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/notation.h"

#include <algorithm>
#include <cctype>

namespace zelbo {
namespace {

struct CodeChar {
  CellCode code;
  char character;
};

constexpr CodeChar kCodeChars[] = {
    {kUnusable, 'x'},       {kEmpty, '.'},      {kComputerMan, 'c'},  {kComputerKing, 'C'},
    {kPlayerMan, 'p'},      {kPlayerKing, 'P'}, {kNotImportant, '?'}, {kAnyComputerPiece, '+'},
    {kAnyPlayerPiece, '-'},
};

}  // namespace

char CodeCharacter(CellCode code) {
  for (const auto& entry : kCodeChars) {
    if (entry.code == code) return entry.character;
  }
  return '#';
}

std::optional<CellCode> CharacterCode(char c) {
  for (const auto& entry : kCodeChars) {
    if (entry.character == c) return entry.code;
  }
  return std::nullopt;
}

std::string SquareName(SquareRef s) {
  if (IsNoSquare(s)) return "-";
  if (!OnBoard(s)) return "?" + std::to_string(Column(s)) + "," + std::to_string(Row(s));
  return {static_cast<char>('A' + Column(s) - 1), static_cast<char>('0' + Row(s))};
}

std::optional<SquareRef> ParseSquareName(std::string_view name) {
  if (name.size() != 2) return std::nullopt;
  const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
  const char digit = name[1];
  if (letter < 'A' || letter > 'H' || digit < '1' || digit > '8') return std::nullopt;
  return MakeSquare(letter - 'A' + 1, digit - '0');
}

std::string FormatBoardLine(const Board& board) {
  std::string line;
  line.reserve(71);
  for (int row = 1; row <= 8; ++row) {
    if (row > 1) line += '/';
    for (int column = 1; column <= 8; ++column) line += CodeCharacter(board.Code(column, row));
  }
  return line;
}

std::optional<Board> ParseBoardLine(std::string_view line) {
  if (line.size() != 71) return std::nullopt;
  Board board{};
  for (int row = 1; row <= 8; ++row) {
    const std::size_t start = static_cast<std::size_t>(row - 1) * 9;
    if (row < 8 && line[start + 8] != '/') return std::nullopt;
    for (int column = 1; column <= 8; ++column) {
      const auto code = CharacterCode(line[start + static_cast<std::size_t>(column - 1)]);
      if (!code) return std::nullopt;
      board.SetCode(column, row, *code);
    }
  }
  return board;
}

}  // namespace zelbo
