// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes as a PDN file: every game the reader takes, and the first one opened as "Ouvrir une
// partie..." opens it.
//
// What must hold: a game that is accepted replays, every move of its record judged again by the
// rules of the side that moved giving that move and that position; no move follows a draw by rule,
// and a game that ends on one is drawn; the game saved reads back equal (its start, its moves, its
// result), and saved again gives the same text; opening the file puts the first game's last
// position on the board with its record, or, when it is refused, changes nothing of the game.
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "game/game_state.h"
#include "record/pdn.h"
#include "record/pdn_file.h"

namespace zelbo::fuzz {
namespace {

void CheckReplays(const GameRecord& record) {
  GameRecord again;
  again.Restart(record.Start());
  for (const RecordedMove& move : record.moves()) {
    ZELBO_CHECK(DrawRuleReached(again) == DrawRule::kNone, "a move after a draw by rule");
    const MoveVerdict verdict = JudgeMove(again.Current(), WrittenFormOf(move));
    ZELBO_CHECK(verdict.move.has_value(), MoveNotation(move) + ": " + verdict.refusal);
    ZELBO_CHECK(*verdict.move == move, MoveNotation(move));
    again.Append(again.Current(), *verdict.move);
  }
  if (DrawRuleReached(record) != DrawRule::kNone) {
    ZELBO_CHECK(record.result() == GameResult::kDraw, std::string(ResultText(record.result())));
  }
}

void CheckSavedReadsBackEqual(const GameRecord& record) {
  const auto text = PdnText(record, PdnDefaults{});
  ZELBO_CHECK(text.has_value(), "a game read cannot be written");
  const PdnReplay again = ReadPdnGame(*text);
  ZELBO_CHECK(again.record.has_value(), again.error + "\n" + *text);
  ZELBO_CHECK(again.record->Start() == record.Start(), *text);
  ZELBO_CHECK(again.record->moves() == record.moves(), *text);
  ZELBO_CHECK(again.record->result() == record.result(), *text);
  ZELBO_CHECK(PdnText(*again.record, PdnDefaults{}) == text, *text);
}

void CheckOpen(std::span<const uint8_t> bytes, const PdnGames& games) {
  const std::filesystem::path path = ScratchFolder() / "game.pdn";
  WriteWholeFile(path, bytes);
  FuzzPort port;
  GameState state;
  NewGame(state, port);
  const GameState before = state;
  const bool opened = OpenPdnGame(state, port, path);
  const std::optional<GameRecord> first =
      games.games.empty() ? std::nullopt : ReplayPdnGame(games.games.front()).record;
  ZELBO_CHECK(opened == first.has_value(), port.messages.empty() ? "" : port.messages.back());
  if (!opened) {
    ZELBO_CHECK(port.messages.size() == 1, "");
    ZELBO_CHECK(state.board == before.board && state.record.moves() == before.record.moves(), "");
    ZELBO_CHECK(state.side_to_move == before.side_to_move && !state.game_over, "");
    return;
  }
  ZELBO_CHECK(state.record.moves() == first->moves(), "");
  ZELBO_CHECK(state.record.Current() == (GamePosition{state.board, state.side_to_move}), "");
  ZELBO_CHECK(state.game_over || state.record.result() == GameResult::kUnfinished, "");
  ZELBO_CHECK(port.gauge1 == std::min(10 * PieceCount(state.board, kPlayerSide), 120), "");
}

void Run(std::span<const uint8_t> bytes) {
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  const PdnGames games = ParsePdn(text);
  for (const PdnGame& game : games.games) {
    const PdnReplay replay = ReplayPdnGame(game);
    if (!replay.record) {
      ZELBO_CHECK(!replay.error.empty(), "a refusal without a reason");
      continue;
    }
    CheckReplays(*replay.record);
    CheckSavedReadsBackEqual(*replay.record);
  }
  CheckOpen(bytes, games);
}

}  // namespace
}  // namespace zelbo::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  zelbo::fuzz::Run(std::span<const uint8_t>(data, size));
  return 0;
}
