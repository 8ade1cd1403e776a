// SPDX-License-Identifier: GPL-3.0-or-later
// Saving and opening a position, as the file and the board window see it.
#include "savegame/saved_game.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "files/child_process.h"
#include "files/fifo.h"
#include "files/temp_folder.h"
#include "support/positions.h"
#include "support/recording_port.h"

namespace zelbo {
namespace {

using testing::BoardOf;
using testing::ReadBytes;
using testing::RecordingPort;
using testing::WriteBytes;
using Bytes = std::vector<uint8_t>;
using Events = std::vector<std::string>;

// A middle game with kings, and bytes 2 and 3 of two cells that are not zero.
Board MiddleGame() {
  Board board = BoardOf("cx.x.xCx/x.xcx.x./.xcx.x.x/x.x.xpx./.x.x.x.x/xpxPx.x./.x.x.xpx/x.x.x.x.");
  board.cells[0].extra[0] = 0xAB;
  board.cells[63].extra[1] = 0xCD;
  return board;
}

Bytes ImageOf(const Board& board) {
  Bytes image(sizeof board);
  std::memcpy(image.data(), &board, sizeof board);
  return image;
}

// A game that has gone on: the computer to move, two positions to take back, over.
GameState PlayedOn() {
  GameState state = testing::GameAt(MiddleGame(), kComputerSide);
  state.history = {MiddleGame(), MiddleGame()};
  state.history_count = 2;
  state.game_over = true;
  return state;
}

TEST(SavedGame, IsTheBoardImageColumnAfterColumn) {
  testing::TempFolder folder;
  WriteBytes(folder / "game.KRP", testing::Counting(1000));
  WriteSavedGame(folder / "game.KRP", MiddleGame());
  const Bytes bytes = ReadBytes(folder / "game.KRP");
  EXPECT_EQ(bytes, ImageOf(MiddleGame()));
  EXPECT_EQ(bytes[1], 0xAB);  // byte 2 of A1
  EXPECT_EQ(bytes[87], 254);  // D6, column 4 and row 6: a king of side -1
  EXPECT_EQ(ImageOf(ReadSavedGame(folder / "game.KRP")), ImageOf(MiddleGame()));
}

TEST(OpenSavedGame, StartsANewGameOnTheStoredPositionOrShowsWhyNot) {
  testing::TempFolder folder;
  const Bytes image = ImageOf(MiddleGame());
  Bytes two_records = image;
  two_records.resize(384, 0x77);
  WriteBytes(folder / "two.KRP", two_records);
  WriteBytes(folder / "empty.KRP", {});
  WriteBytes(folder / "short.KRP", Bytes(image.begin(), image.begin() + 100));
  const Board won =
      BoardOf(".x.x.x.x/x.x.x.x./.x.x.x.x/x.x.x.x./.x.x.x.x/xpx.x.x./.x.x.x.x/x.x.x.x.");
  WriteBytes(folder / "won.KRP", ImageOf(won));
  std::filesystem::create_directory(folder / "folder.KRP");
  ASSERT_TRUE(testing::MakeFifo(folder / "pipe.KRP"));
  const testing::FifoWatchdog watchdog({folder / "pipe.KRP"});
  // The reset writes the codes only: bytes 2 and 3 stay those of the game before.
  Board reset = MiddleGame();
  SetupInitialPosition(reset);

  const struct {
    const char* file;
    Events events;
    Board board;
  } cases[] = {
      {"two.KRP", {"gauges 40 40", "draw"}, MiddleGame()},
      {"empty.KRP", {"message Lecture au-delà de la fin de fichier"}, reset},
      {"short.KRP", {"message Lecture au-delà de la fin de fichier"}, reset},
      {"missing.KRP", {"message Fichier introuvable"}, reset},
      {"folder.KRP", {"message Accès au fichier refusé"}, reset},
      {"pipe.KRP", {"message Accès au fichier refusé"}, reset},
      {"won.KRP",
       {"gauges 10 0", "title Congratulation", "message  * * *  you have WIN  * * * ",
        "panel shown", "draw"},
       won},
  };
  for (const auto& c : cases) {
    GameState state = PlayedOn();
    RecordingPort port;
    port.record_draws = true;
    port.take_back_caption = "2";
    OpenSavedGame(state, port, folder / c.file);
    EXPECT_EQ(port.Take(), c.events) << c.file;
    EXPECT_EQ(ImageOf(state.board), ImageOf(c.board)) << c.file;
    EXPECT_EQ(state.side_to_move, kPlayerSide) << c.file;
    EXPECT_TRUE(state.history.empty() && state.history_count == 0) << c.file;
    EXPECT_EQ(port.take_back_caption, "0") << c.file;
    EXPECT_EQ(state.game_over, c.file == std::string("won.KRP")) << c.file;
  }
}

TEST(SaveGame, AFailedSaveIsShownAndKeepsTheOldFile) {
  testing::TempFolder folder;
  WriteSavedGame(folder / "game.KRP", BoardOf(testing::kInitialLine));
  const Bytes old_bytes = ReadBytes(folder / "game.KRP");
  // Files may not grow past 100 bytes: the record cannot be written whole.
  EXPECT_EQ(testing::IoErrorUnderSizeLimit(
                100, [&] { WriteSavedGame(folder / "game.KRP", MiddleGame()); }),
            "Taille de fichier permise dépassée : \"" + (folder / "game.KRP").string() + "\"");
  EXPECT_EQ(ReadBytes(folder / "game.KRP"), old_bytes);
  EXPECT_EQ(folder.Entries(), std::vector<std::string>{"game.KRP"});

  RecordingPort port;
  SaveGame(PlayedOn(), port, folder / "nowhere" / "game.KRP");
  EXPECT_EQ(port.Take(), Events{"message Fichier introuvable"});
}

// Saving over a file the user may not write, or onto a pipe, is refused and leaves it as it was.
TEST(SaveGame, IsRefusedOverAReadOnlyFileOrAPipe) {
  testing::TempFolder folder;
  const testing::OrdinaryUser user = testing::TheOrdinaryUser();
  WriteSavedGame(folder / "game.KRP", BoardOf(testing::kInitialLine));
  const Bytes old_bytes = ReadBytes(folder / "game.KRP");
  ASSERT_TRUE(testing::Prepare(folder.path(), user.uid, user.gid, 0755));
  ASSERT_TRUE(testing::Prepare(folder / "game.KRP", user.uid, user.gid, 0444));
  ASSERT_TRUE(testing::MakeFifo(folder / "pipe.KRP"));
  for (const char* file : {"game.KRP", "pipe.KRP"}) {
    const std::string outcome = testing::IoErrorAsOrdinaryUser([&] {
      RecordingPort port;
      SaveGame(PlayedOn(), port, folder / file);
      for (const std::string& event : port.Take()) throw IoError(event);
    });
    if (outcome == testing::kStillRoot) GTEST_SKIP() << outcome;
    EXPECT_EQ(outcome, "message Accès au fichier refusé") << file;
  }
  EXPECT_EQ(ReadBytes(folder / "game.KRP"), old_bytes);
  EXPECT_TRUE(std::filesystem::is_fifo(folder / "pipe.KRP"));
  EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"game.KRP", "pipe.KRP"}));
}

}  // namespace
}  // namespace zelbo
