// SPDX-License-Identifier: GPL-3.0-or-later
// The text notation of squares and boards that zelbo-cli prints and that tests and the bench
// corpus are written in: "D6" for a square, and a board as its eight rows, row 1 first, separated
// by '/', each row eight characters from column A to H.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "game/board.h"

namespace zelbo {

// The character of a cell code: x . c C p P ? + - and # for any code that is none of these.
char CodeCharacter(CellCode code);

// The code of a notation character; no value for '#' or any other character.
std::optional<CellCode> CharacterCode(char c);

// "D6" for a square, "-" when the reference names no square.
std::string SquareName(SquareRef s);

// A square from its name, letters in either case; no value for anything else.
std::optional<SquareRef> ParseSquareName(std::string_view name);

// "cxcxcxcx/xcxcxcxc/..." with row 1 first.
std::string FormatBoardLine(const Board& board);

// The board of a board line; the extra bytes of every cell are zero. No value when the text is not
// eight rows of eight notation characters.
std::optional<Board> ParseBoardLine(std::string_view line);

}  // namespace zelbo
