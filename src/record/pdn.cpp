// SPDX-License-Identifier: GPL-3.0-or-later
#include "record/pdn.h"

#include <algorithm>
#include <cctype>
#include <span>

#include "game/notation.h"

namespace zelbo {
namespace {

// A game longer than any these rules let a game reach is refused rather than kept in memory.
constexpr std::size_t kMostMoves = 100000;
constexpr std::size_t kLineWidth = 79;
constexpr std::string_view kExperienceCommand = "[%experience";

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

std::string Trimmed(std::string_view text) {
  const auto first = std::find_if_not(text.begin(), text.end(), IsBlank);
  const auto last = std::find_if_not(text.rbegin(), text.rend(), IsBlank).base();
  return first < last ? std::string(first, last) : std::string();
}

// A message as a sentence: its first letter in capitals, a full stop at its end.
std::string Sentence(std::string text) {
  if (text.empty()) return text;
  text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
  if (text.back() != '.') text += '.';
  return text;
}

// "« text »", with the quotation marks of the messages.
std::string Quoted(std::string_view text) { return "« " + std::string(text) + " »"; }

// The text being read, where the reading stands, and its line.
class Cursor {
 public:
  explicit Cursor(std::string_view text) : text_(text) {}

  bool AtEnd() const { return at_ >= text_.size(); }
  char Peek(std::size_t ahead = 0) const {
    return at_ + ahead < text_.size() ? text_[at_ + ahead] : '\0';
  }
  char Next() {
    const char c = text_[at_++];
    if (c == '\n') ++line_;
    return c;
  }
  int line() const { return line_; }
  bool AtLineStart() const { return at_ == 0 || text_[at_ - 1] == '\n' || text_[at_ - 1] == '\r'; }

  void SkipBlanks() {
    while (!AtEnd() && IsBlank(Peek())) Next();
  }
  void SkipLine() {
    while (!AtEnd() && Peek() != '\n') Next();
  }
  // The characters from here for as long as `keep` holds.
  template <typename Keep>
  std::string_view Take(Keep keep) {
    const std::size_t start = at_;
    while (!AtEnd() && keep(Peek())) Next();
    return text_.substr(start, at_ - start);
  }

 private:
  std::string_view text_;
  std::size_t at_ = 0;
  int line_ = 1;
};

std::string AtLine(int line, std::string_view what) {
  return "Ligne " + std::to_string(line) + " : " + std::string(what) + ".";
}

// [Name "value"], the value with \" and \\ escaped.
std::optional<std::string> ReadTag(Cursor& cursor,
                                   std::vector<std::pair<std::string, std::string>>& tags) {
  const int line = cursor.line();
  cursor.Next();
  cursor.SkipBlanks();
  const std::string name(cursor.Take([](char c) { return IsLetter(c) || IsDigit(c) || c == '_'; }));
  cursor.SkipBlanks();
  if (name.empty() || cursor.Peek() != '"') return AtLine(line, "étiquette mal formée");
  cursor.Next();
  std::string value;
  while (!cursor.AtEnd() && cursor.Peek() != '"') {
    char c = cursor.Next();
    if (c == '\\' && !cursor.AtEnd()) c = cursor.Next();
    value += c;
  }
  if (cursor.AtEnd()) return AtLine(line, "la valeur de l'étiquette " + name + " n'est pas fermée");
  cursor.Next();
  cursor.SkipBlanks();
  if (cursor.Peek() != ']') return AtLine(line, "étiquette " + name + " mal fermée");
  cursor.Next();
  tags.emplace_back(name, value);
  return std::nullopt;
}

// A comment {...}; its text, or no value when it is never closed.
std::optional<std::string> ReadComment(Cursor& cursor) {
  cursor.Next();
  std::string text(cursor.Take([](char c) { return c != '}'; }));
  if (cursor.AtEnd()) return std::nullopt;
  cursor.Next();
  return text;
}

// A variation (...), nested ones and comments inside it included; false when it is never closed.
bool SkipVariation(Cursor& cursor) {
  int depth = 0;
  while (!cursor.AtEnd()) {
    const char c = cursor.Peek();
    if (c == '{') {
      if (!ReadComment(cursor)) return false;
      continue;
    }
    cursor.Next();
    if (c == '(') ++depth;
    if (c == ')' && --depth == 0) return true;
  }
  return false;
}

// The experience mark in a comment: no value without it; else the square it empties, 0 for none,
// or an unreadable mark.
struct ExperienceMark {
  bool valid = true;
  SquareRef emptied = 0;
};
std::optional<ExperienceMark> ExperienceMarkIn(std::string_view comment) {
  const auto at = comment.find(kExperienceCommand);
  if (at == std::string_view::npos) return std::nullopt;
  const auto end = comment.find(']', at);
  if (end == std::string_view::npos) return ExperienceMark{false, 0};
  const std::string square =
      Trimmed(comment.substr(at + kExperienceCommand.size(), end - at - kExperienceCommand.size()));
  if (square.empty()) return ExperienceMark{};
  const auto s = ParseSquareName(square);
  return s ? ExperienceMark{true, *s} : ExperienceMark{false, 0};
}

// "D6-C5", "B6xD4xF2": a square, then each landing after "-" or "x".
std::optional<WrittenMove> ParseMoveText(std::string_view text) {
  WrittenMove move;
  auto square = ParseSquareName(text.substr(0, 2));
  if (!square) return std::nullopt;
  move.from = *square;
  text.remove_prefix(2);
  while (!text.empty()) {
    const char separator = text.front();
    if (separator != '-' && separator != 'x' && separator != 'X') return std::nullopt;
    square = ParseSquareName(text.substr(1, 2));
    if (text.size() < 3 || !square) return std::nullopt;
    move.landings.push_back(*square);
    text.remove_prefix(3);
  }
  if (move.landings.empty()) return std::nullopt;
  return move;
}

std::optional<GameResult> ResultOfText(std::string_view text) {
  if (text == "1-0" || text == "2-0") return GameResult::kWhiteWins;
  if (text == "0-1" || text == "0-2") return GameResult::kBlackWins;
  if (text == "1/2-1/2" || text == "1-1") return GameResult::kDraw;
  if (text == "*") return GameResult::kUnfinished;
  return std::nullopt;
}

const std::string* TagValue(const std::vector<std::pair<std::string, std::string>>& tags,
                            std::string_view name) {
  for (const auto& [tag, value] : tags) {
    if (Lower(tag) == Lower(name)) return &value;
  }
  return nullptr;
}

// Why a game whose GameType names other rules is refused; no value for these rules or none named.
std::optional<std::string> ForeignGameType(
    const std::vector<std::pair<std::string, std::string>>& tags) {
  const std::string* type = TagValue(tags, "GameType");
  if (type == nullptr || Lower(Trimmed(*type)) == Lower(kPdnGameType)) return std::nullopt;
  return "GameType " + Quoted(*type) + " : cette partie n'est pas jouée aux règles de Zelbo";
}

// Reads the games of a text one element at a time.
class PdnParser {
 public:
  explicit PdnParser(std::string_view text) : cursor_(text) {}

  PdnGames Parse() {
    PdnGames out;
    for (;;) {
      cursor_.SkipBlanks();
      if (cursor_.AtEnd()) break;
      if (auto error = ReadElement(out)) {
        out.error = *error;
        return out;
      }
    }
    FinishGame(out);
    return out;
  }

 private:
  std::optional<std::string> ReadElement(PdnGames& out) {
    const char c = cursor_.Peek();
    const int line = cursor_.line();
    if (c == '[') {
      if (in_moves_) FinishGame(out);
      started_ = true;
      return ReadTag(cursor_, game_.tags);
    }
    if (c == '{') return ReadCommentElement(line);
    if (c == ';') return cursor_.SkipLine(), std::nullopt;
    if (c == '%' && cursor_.AtLineStart()) return cursor_.SkipLine(), std::nullopt;
    if (c == '(') {
      if (!SkipVariation(cursor_)) return AtLine(line, "variante « ( » jamais fermée");
      return std::nullopt;
    }
    if (c == '$') {
      cursor_.Next();
      if (cursor_.Take(IsDigit).empty()) return AtLine(line, "« $ » sans numéro");
      return std::nullopt;
    }
    if (c == '!' || c == '?')
      return cursor_.Take([](char k) { return k == '!' || k == '?'; }), std::nullopt;
    if (IsDigit(c) || c == '*' || IsLetter(c)) {
      // Moves of other rules would not even read: say which rules the game is written for.
      if (auto error = ForeignGameType(game_.tags)) return error;
    }
    if (IsDigit(c) || c == '*') return ReadNumberOrResult(out, line);
    if (IsLetter(c)) return ReadMove(line);
    return AtLine(line, "caractère " + Quoted(std::string(1, c)) + " inattendu");
  }

  std::optional<std::string> ReadCommentElement(int line) {
    const auto comment = ReadComment(cursor_);
    if (!comment) return AtLine(line, "commentaire « { » jamais fermé");
    const auto mark = ExperienceMarkIn(*comment);
    if (!mark) return std::nullopt;
    if (!mark->valid) return AtLine(line, "marque [%experience] illisible");
    if (!last_move_) return AtLine(line, "la marque [%experience] ne suit aucun coup");
    PdnGame::Move& move = game_.moves[*last_move_];
    move.written.experience = true;
    move.written.emptied = mark->emptied;
    return std::nullopt;
  }

  // A move number ("12.", "12...", "12." glued to its move) or the game's result.
  std::optional<std::string> ReadNumberOrResult(PdnGames& out, int line) {
    const std::string_view digits = cursor_.Take(IsDigit);
    if (!digits.empty() && cursor_.Peek() == '.') {
      cursor_.Take([](char k) { return k == '.'; });
      in_moves_ = started_ = true;
      return std::nullopt;
    }
    const std::string text = std::string(digits) + std::string(cursor_.Take([](char k) {
                               return IsDigit(k) || k == '-' || k == '/' || k == '*';
                             }));
    const auto result = ResultOfText(text);
    if (!result) return AtLine(line, Quoted(text) + " n'est ni un numéro de coup ni un résultat");
    game_.result = *result;
    started_ = true;
    FinishGame(out);
    return std::nullopt;
  }

  std::optional<std::string> ReadMove(int line) {
    const std::string_view text =
        cursor_.Take([](char k) { return IsLetter(k) || IsDigit(k) || k == '-'; });
    const auto written = ParseMoveText(text);
    if (!written) return AtLine(line, Quoted(text) + " n'est pas un coup");
    if (game_.moves.size() >= kMostMoves) {
      return AtLine(line, "la partie dépasse " + std::to_string(kMostMoves) + " coups");
    }
    game_.moves.push_back({*written, std::string(text), line});
    last_move_ = game_.moves.size() - 1;
    in_moves_ = started_ = true;
    return std::nullopt;
  }

  void FinishGame(PdnGames& out) {
    if (started_) out.games.push_back(std::move(game_));
    game_ = {};
    started_ = in_moves_ = false;
    last_move_.reset();
  }

  Cursor cursor_;
  PdnGame game_;
  bool started_ = false;   // the game has a tag, a move or a result
  bool in_moves_ = false;  // its moves have begun: a tag now starts the next game
  std::optional<std::size_t> last_move_;
};

// The start of a game: its FEN when it has one, else the opening with side -1 to move.
std::optional<GamePosition> StartOf(const PdnGame& game, std::string* why) {
  const std::string* fen = TagValue(game.tags, "FEN");
  const std::string* setup = TagValue(game.tags, "SetUp");
  if (fen == nullptr || (setup != nullptr && Trimmed(*setup) == "0")) return GameRecord().Start();
  auto position = PositionOfFen(*fen);
  if (!position) *why = "la position de l'étiquette FEN " + Quoted(*fen) + " ne se lit pas";
  return position;
}

std::string MoveLabel(const GameRecord& record, const PdnGame::Move& move) {
  return "coup " + MoveNumber(record, record.size()) + " " + move.text;
}

constexpr std::string_view kRosterTags[] = {"Event", "Site", "Date", "Round", "White", "Black"};
constexpr std::string_view kComputedTags[] = {"Result", "GameType", "SetUp", "FEN"};

bool IsOneOf(std::string_view name, std::span<const std::string_view> names) {
  return std::any_of(names.begin(), names.end(),
                     [&](std::string_view n) { return Lower(n) == Lower(name); });
}

std::string TagLine(std::string_view name, std::string_view value) {
  std::string line = "[" + std::string(name) + " \"";
  for (const char c : value) {
    if (c == '\\' || c == '"') line += '\\';
    line += (c == '\r' || c == '\n') ? ' ' : c;
  }
  return line + "\"]\n";
}

// The square on the board whose code FEN cannot say, 0 when there is none.
SquareRef UnwritableSquare(const Board& board) {
  for (int row = 1; row <= 8; ++row) {
    for (int column = 1; column <= 8; ++column) {
      const CellCode code = board.Code(column, row);
      const bool playable = (column + row) % 2 == 0;
      const bool writable =
          playable ? code >= kPlayerKing && code <= kComputerKing : code == kUnusable;
      if (!writable) return MakeSquare(column, row);
    }
  }
  return 0;
}

// The movetext's words, wrapped: the numbers, the moves, the experience marks, the result.
std::string Movetext(const GameRecord& record) {
  std::vector<std::string> words;
  for (std::size_t ply = 0; ply < record.size(); ++ply) {
    const RecordedMove& move = record[ply];
    if (move.side == kPlayerSide || ply == 0) words.push_back(MoveNumber(record, ply));
    words.push_back(MoveNotation(move));
    if (move.experience) {
      const SquareRef emptied = WrittenFormOf(move).emptied;
      words.push_back(IsNoSquare(emptied) ? "{[%experience]}"
                                          : "{[%experience " + SquareName(emptied) + "]}");
    }
  }
  words.emplace_back(ResultText(record.result()));
  std::string text;
  std::size_t line_length = 0;
  for (const std::string& word : words) {
    if (line_length > 0 && line_length + 1 + word.size() > kLineWidth) {
      text += '\n';
      line_length = 0;
    }
    if (line_length > 0) text += ' ', ++line_length;
    text += word;
    line_length += word.size();
  }
  return text + "\n";
}

}  // namespace

PdnGames ParsePdn(std::string_view text) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  return PdnParser(text).Parse();
}

PdnReplay ReplayPdnGame(const PdnGame& game) {
  if (auto foreign = ForeignGameType(game.tags)) return {std::nullopt, *foreign};
  std::string why;
  const auto start = StartOf(game, &why);
  if (!start) return {std::nullopt, why};
  GameRecord record;
  record.Restart(*start);
  for (const PdnGame::Move& written : game.moves) {
    if (DrawRuleReached(record) != DrawRule::kNone) {
      return {std::nullopt, MoveLabel(record, written) + " : la partie était déjà nulle"};
    }
    const GamePosition before = record.Current();
    MoveVerdict verdict = JudgeMove(before, written.written);
    if (!verdict.move) return {std::nullopt, MoveLabel(record, written) + " : " + verdict.refusal};
    record.Append(before, std::move(*verdict.move));
  }
  std::optional<GameResult> result = game.result;
  if (const std::string* tag = TagValue(game.tags, "Result"); !result && tag != nullptr) {
    result = ResultOfText(Trimmed(*tag));
  }
  record.set_result(result.value_or(GameResult::kUnfinished));
  if (DrawRuleReached(record) != DrawRule::kNone) record.set_result(GameResult::kDraw);
  std::vector<std::pair<std::string, std::string>> kept;
  for (const auto& tag : game.tags) {
    if (!IsOneOf(tag.first, kComputedTags)) kept.push_back(tag);
  }
  record.set_tags(std::move(kept));
  return {std::move(record), {}};
}

PdnReplay ReadPdnGame(std::string_view text, std::size_t number) {
  const PdnGames games = ParsePdn(text);
  if (number >= 1 && number <= games.games.size()) {
    PdnReplay replay = ReplayPdnGame(games.games[number - 1]);
    if (replay.record) return replay;
    const bool several = games.games.size() > 1 || !games.error.empty();
    return {std::nullopt,
            Sentence(several ? "Partie " + std::to_string(number) + ", " + replay.error
                             : replay.error)};
  }
  if (!games.error.empty()) return {std::nullopt, Sentence(games.error)};
  if (games.games.empty()) return {std::nullopt, "Le fichier ne contient aucune partie."};
  if (games.games.size() == 1) return {std::nullopt, "Le fichier ne contient qu'une partie."};
  return {std::nullopt,
          "Le fichier ne contient que " + std::to_string(games.games.size()) + " parties."};
}

std::optional<std::string> PdnText(const GameRecord& record, const PdnDefaults& defaults,
                                   std::string* why) {
  if (const SquareRef s = UnwritableSquare(record.Start().board); !IsNoSquare(s)) {
    if (why != nullptr) {
      *why = "La position de départ de cette partie porte en " + SquareName(s) +
             " un code que le PDN ne sait pas écrire.";
    }
    return std::nullopt;
  }
  const std::string roster_defaults[] = {defaults.event, defaults.site,  defaults.date,
                                         defaults.round, defaults.white, defaults.black};
  std::string text;
  for (std::size_t i = 0; i < std::size(kRosterTags); ++i) {
    const std::string* kept = TagValue(record.tags(), kRosterTags[i]);
    text += TagLine(kRosterTags[i], kept != nullptr ? *kept : roster_defaults[i]);
  }
  text += TagLine("Result", ResultText(record.result()));
  text += TagLine("GameType", kPdnGameType);
  if (!(record.Start() == GameRecord().Start())) {
    text += TagLine("SetUp", "1");
    text += TagLine("FEN", FenOf(record.Start()));
  }
  for (const auto& [name, value] : record.tags()) {
    if (!IsOneOf(name, kRosterTags) && !IsOneOf(name, kComputedTags)) text += TagLine(name, value);
  }
  return text + "\n" + Movetext(record) + "\n";
}

std::string FenOf(const GamePosition& position) {
  std::string sides[2];
  for (int row = 1; row <= 8; ++row) {
    for (int column = 1; column <= 8; ++column) {
      const CellCode code = position.board.Code(column, row);
      if (code == kEmpty || code < kPlayerKing || code > kComputerKing) continue;
      std::string& list = sides[code < 0 ? 0 : 1];
      list += list.empty() ? "" : ",";
      if (code == kPlayerKing || code == kComputerKing) list += 'K';
      list += SquareName(MakeSquare(column, row));
    }
  }
  return std::string(position.side == kPlayerSide ? "W" : "B") + ":W" + sides[0] + ":B" + sides[1];
}

std::optional<GamePosition> PositionOfFen(std::string_view fen) {
  std::string text;
  for (const char c : fen) {
    if (!IsBlank(c)) text += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
  if (!text.empty() && text.back() == '.') text.pop_back();
  GamePosition position;
  position.board = GameRecord().Start().board;
  for (int column = 1; column <= 8; ++column) {
    for (int row = 1; row <= 8; ++row) {
      if ((column + row) % 2 == 0) position.board.SetCode(column, row, kEmpty);
    }
  }
  std::size_t colon = text.find(':');
  if (colon != 1 || (text[0] != 'W' && text[0] != 'B')) return std::nullopt;
  position.side = static_cast<int8_t>(text[0] == 'W' ? kPlayerSide : kComputerSide);
  while (colon != std::string::npos) {
    const std::size_t next = text.find(':', colon + 1);
    std::string_view section = std::string_view(text).substr(colon + 1, next - colon - 1);
    colon = next;
    if (section.empty() || (section[0] != 'W' && section[0] != 'B')) return std::nullopt;
    const int side = section[0] == 'W' ? kPlayerSide : kComputerSide;
    section.remove_prefix(1);
    while (!section.empty()) {
      const std::size_t comma = std::min(section.find(','), section.size());
      std::string_view piece = section.substr(0, comma);
      section.remove_prefix(std::min(comma + 1, section.size()));
      const bool king = !piece.empty() && piece[0] == 'K';
      if (king) piece.remove_prefix(1);
      const auto s = ParseSquareName(piece);
      if (!s || (Column(*s) + Row(*s)) % 2 != 0 || ReadCell(position.board, *s) != kEmpty) {
        return std::nullopt;
      }
      WriteCell(position.board, *s, static_cast<CellCode>(king ? 2 * side : side));
    }
  }
  return position;
}

}  // namespace zelbo
