// SPDX-License-Identifier: GPL-3.0-or-later
// Saving and opening a position, as the file and the board window see it.
#include "savegame/saved_game.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "files/child_process.h"
#include "files/fifo.h"
#include "files/saving_process.h"
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
  GameState state = PlayedOn();
  SaveGame(state, port, folder / "nowhere" / "game.KRP");
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
      GameState state = PlayedOn();
      SaveGame(state, port, folder / file);
      for (const std::string& event : port.Take()) throw IoError(event);
    });
    if (outcome == testing::kStillRoot) GTEST_SKIP() << outcome;
    EXPECT_EQ(outcome, "message Accès au fichier refusé") << file;
  }
  EXPECT_EQ(ReadBytes(folder / "game.KRP"), old_bytes);
  EXPECT_TRUE(std::filesystem::is_fifo(folder / "pipe.KRP"));
  EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"game.KRP", "pipe.KRP"}));
}

// Two copies of the program, and other programs, on one saved game: a save does not silently
// replace a file that changed since this copy opened or saved it. It says so and keeps the file;
// the next save, the user now knowing, replaces it. A file rewritten with the same bytes, or gone,
// has nothing to lose.
TEST(SaveGame, DoesNotSilentlyReplaceAFileChangedSinceThisRunHadIt) {
  testing::TempFolder folder;
  const std::filesystem::path game = folder / "game.KRP", link = folder / "link.KRP";
  std::filesystem::create_symlink("game.KRP", link);
  const Board initial = BoardOf(testing::kInitialLine), middle = MiddleGame();
  WriteSavedGame(game, initial);
  GameState mine, theirs;
  const auto refusal = [&](const char* name) {
    return "message Le fichier \"" + (folder / name).string() +
           "\" a été modifié depuis son ouverture ou son dernier enregistrement : il n'a pas été "
           "remplacé. Enregistrez de nouveau pour le remplacer.";
  };
  const auto save = [](GameState& state, const Board& board, const std::filesystem::path& path) {
    return [&state, board, path](RecordingPort& port) {
      state.board = board;
      SaveGame(state, port, path);
    };
  };
  const struct {
    const char* name;
    std::function<void(RecordingPort&)> action;
    const char* refused;  // the name the refusal gives, or none
    Bytes file;           // what the file holds after
  } steps[] = {
      {"mine opens it",
       [&](RecordingPort&) {
         RecordingPort board_window;  // the gauges of the opened game
         OpenSavedGame(mine, board_window, game);
       },
       nullptr, ImageOf(initial)},
      {"theirs saves over it", save(theirs, middle, game), nullptr, ImageOf(middle)},
      {"mine saves", save(mine, initial, game), "game.KRP", ImageOf(middle)},
      {"mine saves again", save(mine, initial, game), nullptr, ImageOf(initial)},
      {"mine saves once more", save(mine, middle, game), nullptr, ImageOf(middle)},
      {"another program rewrites it in place",
       [&](RecordingPort&) { WriteBytes(game, testing::Counting(192)); }, nullptr,
       testing::Counting(192)},
      {"mine saves", save(mine, initial, game), "game.KRP", testing::Counting(192)},
      {"it is removed", [&](RecordingPort&) { std::filesystem::remove(game); }, nullptr, {}},
      {"mine saves", save(mine, initial, game), nullptr, ImageOf(initial)},
      {"it is rewritten with the same bytes",
       [&](RecordingPort&) { WriteBytes(game, ImageOf(initial)); }, nullptr, ImageOf(initial)},
      {"mine saves", save(mine, initial, game), nullptr, ImageOf(initial)},
      {"theirs saves, through a link", save(theirs, middle, link), "link.KRP", ImageOf(initial)},
      {"theirs saves again", save(theirs, middle, link), nullptr, ImageOf(middle)},
      {"mine saves", save(mine, initial, game), "game.KRP", ImageOf(middle)},
  };
  for (const auto& step : steps) {
    RecordingPort port;
    step.action(port);
    EXPECT_EQ(port.Take(), step.refused ? Events{refusal(step.refused)} : Events{}) << step.name;
    EXPECT_EQ(ReadBytes(game), step.file) << step.name;
  }
  EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"game.KRP", "link.KRP"}));
}

// The same with two real copies of zelbo-cli: the second one's save is not lost to the first.
TEST(SaveGame, TwoCopiesOfTheProgramLoseNothingOfEachOther) {
  testing::TempFolder folder;
  const std::filesystem::path game = folder / "game.KRP";
  WriteSavedGame(game, BoardOf(testing::kInitialLine));
  testing::SavingProcess first({"play"}, ZELBO_CLI_PROGRAM), second({"play"}, ZELBO_CLI_PROGRAM);
  ASSERT_TRUE(first.started() && second.started());
  first.ReadAnswer("board ");
  second.ReadAnswer("board ");
  const auto ask = [&](testing::SavingProcess& copy, const std::string& command) {
    Events lines = copy.Ask(command, "board ");
    return Events(lines.begin(), lines.end() - 2);  // less the state and board lines
  };
  const std::string refused = "message Le fichier \"" + game.string() +
                              "\" a été modifié depuis son ouverture ou son dernier "
                              "enregistrement : il n'a pas été remplacé. Enregistrez de nouveau "
                              "pour le remplacer.";
  ask(first, "open " + game.string());
  ask(second, "computer off");
  ask(second, "L D6");
  ask(second, "L E5");  // a move of the player's: the second copy's board differs
  EXPECT_EQ(ask(second, "save " + game.string()), Events{});
  const Bytes theirs = ReadBytes(game);
  ASSERT_NE(theirs, ImageOf(BoardOf(testing::kInitialLine)));
  EXPECT_EQ(ask(first, "save " + game.string()), Events{refused});
  EXPECT_EQ(ReadBytes(game), theirs);
  EXPECT_EQ(ask(first, "save " + game.string()), Events{});
  EXPECT_EQ(ReadBytes(game), ImageOf(BoardOf(testing::kInitialLine)));
}

}  // namespace
}  // namespace zelbo
