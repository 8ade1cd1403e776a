// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes as a saved game: read it, open it as the board window does, then play a few clicks
// and the computer's replies on whatever it holds, pieces or not. The bytes after the first
// record, which the reader ignores, choose the clicks.
//
// What must hold: a file shorter than a record is refused and leaves the reset position; a read
// file is the board byte for byte; the gauges count the pieces; a refused click puts back the
// position of the start of the move; nothing creates pieces, changes bytes 2 and 3 of a cell or
// touches a code that is no piece; the side to move stays -1 or +1; the computer either moves or
// ends the game, and its reply is the newest take-back entry.
#include <algorithm>
#include <cstring>

#include "computer/computer_turn.h"
#include "files/io_error.h"
#include "fuzz_support.h"
#include "game/click_protocol.h"
#include "game/end_of_game.h"
#include "game/game_state.h"
#include "savegame/saved_game.h"

namespace zelbo::fuzz {
namespace {

constexpr int kMaxActions = 12;
constexpr std::string_view kIllegalMove = "illegal move !!!!!!";
constexpr std::string_view kIllegalMove2 = "illegal move 2 !!!!!!";

Board InitialBoard(const Board& extras_from) {
  Board board = extras_from;
  SetupInitialPosition(board);
  return board;
}

bool WasRefused(const FuzzPort& port) {
  return std::any_of(port.messages.begin(), port.messages.end(),
                     [](const std::string& m) { return m == kIllegalMove || m == kIllegalMove2; });
}

// Every piece of `side` after a move of the other side stands where it stood, as it was: the
// mover only takes pieces away.
bool OnlyTaken(const Board& before, const Board& after, int side) {
  for (std::size_t i = 0; i < before.cells.size(); ++i) {
    const CellCode c = after.cells[i].code;
    if ((c == side || c == 2 * side) && before.cells[i].code != c) return false;
  }
  return true;
}

void CheckGauges(const FuzzPort& port, const Board& board) {
  ZELBO_CHECK(port.gauge1 == std::min(10 * PieceCount(board, kPlayerSide), 120),
              DescribeBoard(board));
  ZELBO_CHECK(port.gauge2 == std::min(10 * PieceCount(board, kComputerSide), 120),
              DescribeBoard(board));
}

// The invariants that hold after anything: against the board as it was loaded.
void CheckAlways(const GameState& state, const Board& loaded, int players, int computers) {
  ZELBO_CHECK(state.side_to_move == kPlayerSide || state.side_to_move == kComputerSide,
              std::to_string(state.side_to_move));
  ZELBO_CHECK(SameExtraBytes(state.board, loaded), DescribeBoard(state.board));
  ZELBO_CHECK(SameOtherCodes(state.board, loaded), DescribeBoard(state.board));
  ZELBO_CHECK(PieceCount(state.board, kPlayerSide) <= players, DescribeBoard(state.board));
  ZELBO_CHECK(PieceCount(state.board, kComputerSide) <= computers, DescribeBoard(state.board));
  ZELBO_CHECK(state.history.size() == state.history_count, "");
}

void Click(GameState& state, FuzzPort& port, SquareRef s, MouseButton button) {
  const GameState before = state;
  const bool players_turn = before.side_to_move == kPlayerSide || !port.computer_checked;
  const int mover = before.side_to_move;
  port.Clear();
  const bool taken = BoardMouseUp(state, port, s, button);
  ZELBO_CHECK(taken == !before.game_over, "");
  if (before.game_over || !players_turn) {
    ZELBO_CHECK(state.board == before.board, DescribeBoard(state.board));
    ZELBO_CHECK(port.messages.empty(), port.messages.front());
    return;
  }
  if (WasRefused(port)) {
    const bool under_way = !IsNoSquare(before.selected_square);
    const Board& expected = under_way ? before.backup_board : before.board;
    ZELBO_CHECK(state.board == expected, DescribeBoard(state.board));
    ZELBO_CHECK(IsNoSquare(state.selected_square), SquareName(state.selected_square));
    ZELBO_CHECK(state.side_to_move == before.side_to_move, "");
    ZELBO_CHECK(port.title == "Error", port.title);
    return;
  }
  ZELBO_CHECK(OnlyTaken(before.board, state.board, -mover), DescribeBoard(state.board));
  if (!IsNoSquare(state.selected_square)) {
    ZELBO_CHECK(IsOwnPiece(state.board, state.side_to_move, state.selected_square),
                SquareName(state.selected_square) + " " + DescribeBoard(state.board));
  }
  if (button == MouseButton::kLeft && state.board != before.board) {
    ZELBO_CHECK(state.side_to_move == -mover, DescribeBoard(state.board));
  }
}

void Reply(GameState& state, FuzzPort& port) {
  const GameState before = state;
  port.Clear();
  ComputerReply(state, port);
  const bool plays =
      port.computer_checked && before.side_to_move == kComputerSide && !before.game_over;
  if (!plays) {
    ZELBO_CHECK(state.board == before.board, DescribeBoard(state.board));
    ZELBO_CHECK(state.history_count == before.history_count, "");
    return;
  }
  ZELBO_CHECK(state.history_count == before.history_count + 1, "");
  ZELBO_CHECK(state.history.back() == state.board, "");
  ZELBO_CHECK(port.take_back_caption == std::to_string(state.history_count), "");
  ZELBO_CHECK(state.board != before.board || state.game_over,
              "the computer neither moved nor ended the game: " + DescribeBoard(state.board));
  ZELBO_CHECK(state.side_to_move == kPlayerSide || state.game_over, DescribeBoard(state.board));
  ZELBO_CHECK(OnlyTaken(before.board, state.board, kPlayerSide), DescribeBoard(state.board));
}

void Run(std::span<const uint8_t> bytes) {
  const std::filesystem::path path = ScratchFolder() / "game.KRP";
  WriteWholeFile(path, bytes);
  const bool whole = bytes.size() >= kSavedGameSize;

  try {
    const Board read = ReadSavedGame(path);
    ZELBO_CHECK(whole, "a short file was read");
    ZELBO_CHECK(std::memcmp(&read, bytes.data(), kSavedGameSize) == 0, "");
  } catch (const IoError& error) {
    ZELBO_CHECK(!whole, error.text());
    ZELBO_CHECK(error.text() == kReadPastEndText, error.text());
  }

  ByteSource source(bytes.subspan(std::min(bytes.size(), kSavedGameSize)));
  GameState state;
  FuzzPort port;
  port.computer_checked = (source.Next() & 1) == 0;
  // A game in progress first, so that the load has something to reset.
  state.board.cells[5].extra[0] = 0x5A;
  state.side_to_move = kComputerSide;
  state.history.assign(3, state.board);
  state.history_count = 3;
  const Board previous = state.board;

  const bool loaded = LoadSavedGame(state, port, path);
  ZELBO_CHECK(loaded == whole, "");
  ZELBO_CHECK(state.side_to_move == kPlayerSide && state.history_count == 0, "");
  ZELBO_CHECK(IsNoSquare(state.selected_square), "");
  if (!loaded) {
    ZELBO_CHECK(port.messages.size() == 1 && port.messages[0] == kReadPastEndText, "");
    ZELBO_CHECK(state.board == InitialBoard(previous), DescribeBoard(state.board));
    ZELBO_CHECK(port.gauge_calls == 0 && !state.game_over, "");
    return;
  }
  ZELBO_CHECK(std::memcmp(&state.board, bytes.data(), kSavedGameSize) == 0, "");
  ZELBO_CHECK(port.gauge_calls == 1, "");
  CheckGauges(port, state.board);
  const bool empty_side =
      PieceCount(state.board, kPlayerSide) == 0 || PieceCount(state.board, kComputerSide) == 0;
  ZELBO_CHECK(state.game_over == empty_side, DescribeBoard(state.board));

  const Board loaded_board = state.board;
  const int players = PieceCount(loaded_board, kPlayerSide);
  const int computers = PieceCount(loaded_board, kComputerSide);
  for (int i = 0; i < kMaxActions && !source.empty(); ++i) {
    const uint8_t action = source.Next();
    const auto square = static_cast<SquareRef>(MakeSquare((action & 7) + 1, (action >> 3 & 7) + 1));
    switch (action >> 6) {
      case 0:
        Click(state, port, square, MouseButton::kLeft);
        break;
      case 1:
        Click(state, port, square, MouseButton::kRight);
        break;
      case 2:
        Click(state, port, square, MouseButton::kMiddle);
        break;
      default:
        // A click off the board, or the "Computer" box changed.
        if (action & 1) {
          Click(state, port, 0, (action & 2) ? MouseButton::kLeft : MouseButton::kRight);
        } else {
          port.computer_checked = !port.computer_checked;
        }
        break;
    }
    CheckAlways(state, loaded_board, players, computers);
    Reply(state, port);
    CheckAlways(state, loaded_board, players, computers);
  }
}

}  // namespace
}  // namespace zelbo::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  zelbo::fuzz::Run(std::span<const uint8_t>(data, size));
  return 0;
}
