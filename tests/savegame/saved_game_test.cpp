// Saving and opening a position, as the file and the board window see it.
#include "savegame/saved_game.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "files/size_limit.h"
#include "files/temp_folder.h"
#include "support/positions.h"
#include "support/recording_port.h"

namespace zelbo {
namespace {

namespace fs = std::filesystem;
using testing::BoardOf;
using testing::Counting;
using testing::ReadBytes;
using testing::RecordingPort;
using testing::TempFolder;
using testing::WriteBytes;

// A middle game with kings, and bytes 2 and 3 of two cells that are not zero.
Board MiddleGame() {
  Board board = BoardOf("cx.x.xCx/x.xcx.x./.xcx.x.x/x.x.xpx./.x.x.x.x/xpxPx.x./.x.x.xpx/x.x.x.x.");
  board.cells[0].extra[0] = 0xAB;
  board.cells[63].extra[1] = 0xCD;
  return board;
}

std::vector<uint8_t> ImageOf(const Board& board) {
  std::vector<uint8_t> image(sizeof board);
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

TEST(SavedGame, StoresTheBoardImageColumnAfterColumn) {
  TempFolder folder;
  const fs::path file = folder / "game.KRP";
  WriteBytes(file, Counting(1000));  // a longer file is replaced, not overwritten in part
  WriteSavedGame(file, MiddleGame());
  const std::vector<uint8_t> bytes = ReadBytes(file);
  ASSERT_EQ(bytes.size(), 192u);
  EXPECT_EQ(bytes, ImageOf(MiddleGame()));
  EXPECT_EQ(bytes[0], 1);     // A1, a man of side +1
  EXPECT_EQ(bytes[1], 0xAB);  // byte 2 of A1
  EXPECT_EQ(bytes[87], 254);  // D6 = column 4, row 6: a king of side -1
  EXPECT_EQ(bytes[191], 0xCD);
  EXPECT_EQ(ImageOf(ReadSavedGame(file)), ImageOf(MiddleGame()));
}

TEST(LoadSavedGame, StartsANewGameOnTheStoredPosition) {
  TempFolder folder;
  const std::vector<uint8_t> image = ImageOf(MiddleGame());
  std::vector<uint8_t> two_records = image;
  const std::vector<uint8_t> second = Counting(192, 1);
  two_records.insert(two_records.end(), second.begin(), second.end());
  WriteBytes(folder / "two.KRP", two_records);
  WriteBytes(folder / "empty.KRP", {});
  WriteBytes(folder / "short.KRP", std::vector<uint8_t>(image.begin(), image.begin() + 100));
  WriteBytes(folder / "won.KRP", ImageOf(BoardOf(".x.x.x.x/x.x.x.x./.x.x.x.x/x.x.x.x./"
                                                 ".x.x.x.x/xpx.x.x./.x.x.x.x/x.x.x.x.")));
  fs::create_directory(folder / "folder.KRP");

  // The reset writes the codes only: bytes 2 and 3 stay those of the game before.
  Board initial = PlayedOn().board;
  SetupInitialPosition(initial);
  const struct {
    const char* name;
    const char* file;
    bool loaded;
    std::vector<std::string> events;
    std::optional<Board> board;  // none: the won position of won.KRP
  } cases[] = {
      {"first of two records", "two.KRP", true, {"gauges 40 40"}, MiddleGame()},
      {"empty file", "empty.KRP", false, {"message Lecture au-delà de la fin de fichier"}, initial},
      {"file cut short",
       "short.KRP",
       false,
       {"message Lecture au-delà de la fin de fichier"},
       initial},
      {"missing file", "missing.KRP", false, {"message Fichier introuvable"}, initial},
      {"folder as the file", "folder.KRP", false, {"message Accès au fichier refusé"}, initial},
      {"side +1 has no piece",
       "won.KRP",
       true,
       {"gauges 10 0", "title Congratulation", "message  * * *  you have WIN  * * * ",
        "panel shown"},
       std::nullopt},
  };
  for (const auto& c : cases) {
    GameState state = PlayedOn();
    RecordingPort port;
    port.take_back_caption = "2";
    EXPECT_EQ(LoadSavedGame(state, port, folder / c.file), c.loaded) << c.name;
    EXPECT_EQ(port.Take(), c.events) << c.name;
    if (c.board) {
      EXPECT_EQ(ImageOf(state.board), ImageOf(*c.board)) << c.name;
    }
    EXPECT_EQ(state.side_to_move, kPlayerSide) << c.name;
    EXPECT_TRUE(state.history.empty()) << c.name;
    EXPECT_EQ(state.history_count, 0u) << c.name;
    EXPECT_EQ(port.take_back_caption, "0") << c.name;
    EXPECT_EQ(state.game_over, c.board == std::nullopt) << c.name;
  }
}

TEST(OpenSavedGame, DrawsTheBoardOnlyWhenTheFileWasRead) {
  TempFolder folder;
  WriteSavedGame(folder / "game.KRP", MiddleGame());
  for (const auto& [file, events] : std::vector<std::pair<const char*, std::vector<std::string>>>{
           {"game.KRP", {"gauges 40 40", "draw"}},
           {"missing.KRP", {"message Fichier introuvable"}},
       }) {
    GameState state = PlayedOn();
    RecordingPort port;
    port.record_draws = true;
    OpenSavedGame(state, port, folder / file);
    EXPECT_EQ(port.Take(), events) << file;
  }
}

TEST(SaveGame, AFailedSaveIsShownAndKeepsTheOldFile) {
  TempFolder folder;
  const fs::path file = folder / "game.KRP";
  WriteSavedGame(file, BoardOf(testing::kInitialLine));
  const std::vector<uint8_t> old_bytes = ReadBytes(file);
  // Files may not grow past 100 bytes: the record cannot be written whole.
  EXPECT_EQ(testing::IoErrorUnderSizeLimit(100, [&] { WriteSavedGame(file, MiddleGame()); }),
            "Erreur E/S 27");
  EXPECT_EQ(ReadBytes(file), old_bytes);
  EXPECT_EQ(folder.Entries(), std::vector<std::string>{"game.KRP"});

  RecordingPort port;
  SaveGame(PlayedOn(), port, folder / "nowhere" / "game.KRP");
  EXPECT_EQ(port.Take(), std::vector<std::string>{"message Fichier introuvable"});
  SaveGame(PlayedOn(), port, file);
  EXPECT_EQ(port.Take(), std::vector<std::string>{});
  EXPECT_EQ(ReadBytes(file), ImageOf(MiddleGame()));
}

}  // namespace
}  // namespace zelbo
