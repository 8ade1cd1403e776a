// SPDX-License-Identifier: GPL-3.0-or-later
// Whole games in Portable Draughts Notation. A game is written as the seven-tag roster (Event,
// Site, Date, Round, White, Black, Result), GameType "Zelbo" (these rules are no standard variant,
// and a number would name one), SetUp and FEN when it does not start from the opening, then the
// moves in the program's notation, numbered, and the result. White is side -1, the light pieces at
// the bottom that move first; Black is side +1. FEN names the squares as the moves do
// ("W:WB6,D6,KE3:BA1,C1"), the side to move first. An experience record's move, which the
// computer plays as stored, is marked by the comment {[%experience]} after it, naming the square
// it empties when it took a piece: {[%experience G5]}.
//
// Reading takes what PDN allows around the moves: comments {...} and ; to the end of the line,
// variations (...), move numbers "1." and "1...", NAGs ($1, !, ?, !?), tags in any order and tags
// it does not know, CRLF or LF, a UTF-8 byte order mark, lines wrapped anywhere, several games.
// Every move is then played again by the rules of the side that made it (record/played_moves.h),
// and the draw rules end the game where the program ends it. Whatever is refused is refused with
// a message in French that says where and why.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "record/game_record.h"
#include "record/played_moves.h"

namespace zelbo {

inline constexpr std::string_view kPdnGameType = "Zelbo";

// A game as a file holds it, before its moves are played.
struct PdnGame {
  struct Move {
    WrittenMove written;
    std::string text;  // as written, for the messages
    int line = 0;
  };
  std::vector<std::pair<std::string, std::string>> tags;
  std::vector<Move> moves;
  std::optional<GameResult> result;  // from the game's last token, else its Result tag
};

// The games of a PDN text, up to the first one that cannot be read; `error` says why that one
// could not (empty when every game was read).
struct PdnGames {
  std::vector<PdnGame> games;
  std::string error;
};
PdnGames ParsePdn(std::string_view text);

// The record of a game read from a file: its start, every move played again, its result and its
// tags; or, when a tag or a move is refused, why (`error`).
struct PdnReplay {
  std::optional<GameRecord> record;
  std::string error;
};
PdnReplay ReplayPdnGame(const PdnGame& game);

// Game number `number` (1 for the first) of a PDN text, read and played again.
PdnReplay ReadPdnGame(std::string_view text, std::size_t number = 1);

// The tags a new game is written with, where the record holds none read from a file.
struct PdnDefaults {
  std::string event = "Partie de Zelbo";
  std::string site = "?";
  std::string date = "????.??.??";
  std::string round = "-";
  std::string white = "Joueur";
  std::string black = "Zelbo";
};

// The PDN text of a record, or no value when its start holds something FEN cannot say (a code
// other than a piece or an empty square on a playable square, or anything but the unusable mark on
// an unusable one); `why` then says where.
std::optional<std::string> PdnText(const GameRecord& record, const PdnDefaults& defaults,
                                   std::string* why = nullptr);

// The FEN of a position, "W:W...:B..." with the side to move first; and back. A FEN that cannot
// be read gives no value.
std::string FenOf(const GamePosition& position);
std::optional<GamePosition> PositionOfFen(std::string_view fen);

}  // namespace zelbo
