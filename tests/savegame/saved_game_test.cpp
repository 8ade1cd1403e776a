// SPDX-License-Identifier: GPL-3.0-or-later
// Saving and opening a position, as the file and the board window see it.
#include "savegame/saved_game.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "experience/experience_file.h"
#include "files/child_process.h"
#include "files/fifo.h"
#include "files/saving_process.h"
#include "files/temp_folder.h"
#include "record/pdn_file.h"
#include "record/played_moves.h"
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

// The two kinds of saved game, a position (.KRP) and a whole game (PDN): how each is opened and
// saved, and two games of each kind that differ.
struct SavedKind {
  const char* file;
  const char* link;
  std::function<void(GameState&, RecordingPort&, const std::filesystem::path&)> open, save;
  std::function<void(GameState&, int)> put;  // puts game 0 or 1 in the state

  // What a save of game `game` writes.
  Bytes Contents(int game) const {
    GameState state;
    RecordingPort port;
    put(state, game);
    if (file == std::string_view("game.KRP")) return ImageOf(state.board);
    const std::string text = PdnText(state.record, PdnDefaultsFor(state, port)).value();
    return Bytes(text.begin(), text.end());
  }
};

std::vector<SavedKind> SavedKinds() {
  GameRecord moved;
  moved.Append(moved.Start(),
               PlainStep(moved.Start().board, kPlayerSide, testing::Sq("D6"), testing::Sq("E5")));
  return {
      {"game.KRP", "link.KRP",
       [](GameState& state, RecordingPort& port, const std::filesystem::path& path) {
         OpenSavedGame(state, port, path);
       },
       SaveGame,
       [](GameState& state, int game) {
         state.board = game == 0 ? BoardOf(testing::kInitialLine) : MiddleGame();
       }},
      {"game.pdn", "link.pdn",
       [](GameState& state, RecordingPort& port, const std::filesystem::path& path) {
         OpenPdnGame(state, port, path);
       },
       SavePdnGame,
       [moved](GameState& state, int game) { state.record = game == 0 ? GameRecord() : moved; }},
  };
}

// Two copies of the program, and other programs, on one saved game, a position or a whole game: a
// save does not silently replace a file that changed since this copy opened or saved it. It says
// so and keeps the file; the next save, the user now knowing, replaces it. A file rewritten with
// the same bytes, or gone, has nothing to lose.
TEST(SaveGame, DoesNotSilentlyReplaceAFileChangedSinceThisRunHadIt) {
  for (const SavedKind& kind : SavedKinds()) {
    testing::TempFolder folder;
    const std::filesystem::path game = folder / kind.file, link = folder / kind.link;
    std::filesystem::create_symlink(kind.file, link);
    const Bytes first = kind.Contents(0), second = kind.Contents(1);
    WriteBytes(game, first);
    Bytes last_byte_changed = second;
    ++last_byte_changed.back();
    GameState mine, theirs;
    const auto refusal = [&](const char* name) {
      return "message Le fichier \"" + (folder / name).string() +
             "\" a été modifié depuis son ouverture ou son dernier enregistrement : il n'a pas "
             "été remplacé. Enregistrez de nouveau pour le remplacer.";
    };
    const auto save = [&kind](GameState& state, int which, const std::filesystem::path& path) {
      return [&kind, &state, which, path](RecordingPort& port) {
        kind.put(state, which);
        kind.save(state, port, path);
      };
    };
    const auto rewrite = [&game](const Bytes& bytes) {
      return [&game, bytes](RecordingPort&) { WriteBytes(game, bytes); };
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
           kind.open(mine, board_window, game);
         },
         nullptr, first},
        {"theirs saves over it", save(theirs, 1, game), nullptr, second},
        {"mine saves", save(mine, 0, game), kind.file, second},
        {"mine saves again", save(mine, 0, game), nullptr, first},
        {"mine saves once more", save(mine, 1, game), nullptr, second},
        {"another program rewrites it in place", rewrite(testing::Counting(192)), nullptr,
         testing::Counting(192)},
        {"mine saves", save(mine, 0, game), kind.file, testing::Counting(192)},
        {"it is removed", [&](RecordingPort&) { std::filesystem::remove(game); }, nullptr, {}},
        {"mine saves", save(mine, 0, game), nullptr, first},
        {"it is rewritten with the same bytes", rewrite(first), nullptr, first},
        {"mine saves", save(mine, 0, game), nullptr, first},
        {"theirs saves, through a link", save(theirs, 1, link), kind.link, first},
        {"theirs saves again", save(theirs, 1, link), nullptr, second},
        {"mine saves", save(mine, 0, game), kind.file, second},
        {"mine saves again", save(mine, 1, game), nullptr, second},
        {"another program changes its last byte", rewrite(last_byte_changed), nullptr,
         last_byte_changed},
        {"mine saves", save(mine, 1, game), kind.file, last_byte_changed},
    };
    for (const auto& step : steps) {
      RecordingPort port;
      step.action(port);
      EXPECT_EQ(port.Take(), step.refused ? Events{refusal(step.refused)} : Events{})
          << kind.file << ": " << step.name;
      EXPECT_EQ(ReadBytes(game), step.file) << kind.file << ": " << step.name;
    }
    EXPECT_EQ(folder.Entries(), (std::vector<std::string>{kind.file, kind.link}));
  }
}

// Another program holding the lock of a folder, as a copy of this one stopped in the middle of a
// save would, for as long as the test needs it.
class FolderHeldElsewhere {
 public:
  explicit FolderHeldElsewhere(const std::filesystem::path& folder) {
    int ready[2];
    if (pipe(ready) != 0 || pipe(release_) != 0) return;
    child_ = fork();
    if (child_ == 0) {
      const int held = open(folder.c_str(), O_RDONLY | O_DIRECTORY);
      const char done = held >= 0 && flock(held, LOCK_EX) == 0 ? 'y' : 'n';
      close(release_[1]);
      if (write(ready[1], &done, 1) != 1) _exit(1);
      char ignored;
      while (read(release_[0], &ignored, 1) > 0) {
      }
      _exit(0);
    }
    close(ready[1]);
    close(release_[0]);
    char done = 'n';
    held_ = child_ > 0 && read(ready[0], &done, 1) == 1 && done == 'y';
    close(ready[0]);
  }
  ~FolderHeldElsewhere() { Release(); }
  bool held() const { return held_; }
  void Release() {
    if (child_ <= 0) return;
    close(release_[1]);
    waitpid(child_, nullptr, 0);
    child_ = 0;
  }

 private:
  int release_[2] = {-1, -1};
  pid_t child_ = 0;
  bool held_ = false;
};

// A save waits its turn at a folder that another program holds a few seconds at most, then says so
// and writes nothing; what it was to save is kept, and saved once the folder is free.
TEST(SaveGame, AFolderHeldElsewhereDelaysASaveAFewSecondsAtMost) {
  using Clock = std::chrono::steady_clock;
  for (const SavedKind& kind : SavedKinds()) {
    testing::TempFolder folder;
    const std::filesystem::path game = folder / kind.file;
    const auto store = ExperienceFilePath(folder.path());
    WriteBytes(game, kind.Contents(0));
    WriteBytes(store, {});
    GameState state;
    kind.put(state, 1);
    state.experience_list.assign(3, ExperienceRecord{});
    state.experience_count = 3;
    const auto save_both = [&] {
      RecordingPort port;
      kind.save(state, port, game);
      SaveExperienceFile(state, port, store);
      return port.Take();
    };
    FolderHeldElsewhere other(folder.path());
    ASSERT_TRUE(other.held());
    const auto start = Clock::now();
    const std::string busy = "message Le dossier \"" + folder.path().string() +
                             "\" est occupé par un autre programme : rien n'a été enregistré. "
                             "Réessayez dans un moment.";
    EXPECT_EQ(save_both(), (Events{busy, busy})) << kind.file;
    const auto waited = Clock::now() - start;
    EXPECT_GE(waited, 2 * FolderLock::kPatience) << kind.file;
    EXPECT_LT(waited, 2 * FolderLock::kPatience + std::chrono::seconds(2)) << kind.file;
    EXPECT_EQ(ReadBytes(game), kind.Contents(0)) << kind.file;
    EXPECT_EQ(ReadBytes(store), Bytes{}) << kind.file;
    other.Release();
    EXPECT_EQ(save_both(), Events{}) << kind.file;
    EXPECT_EQ(ReadBytes(game), kind.Contents(1)) << kind.file;
    EXPECT_EQ(ReadBytes(store).size(), 3 * kExperienceRecordSize) << kind.file;
  }
}

// The same with two real copies of zelbo-cli, on a position and on a whole game: the second one's
// save is not lost to the first.
TEST(SaveGame, TwoCopiesOfTheProgramLoseNothingOfEachOther) {
  const auto whole_game = [] {
    GameState state;
    RecordingPort port;
    port.computer_checked = true;  // as zelbo-cli starts
    const std::string text = PdnText(state.record, PdnDefaultsFor(state, port)).value();
    return Bytes(text.begin(), text.end());
  };
  const struct {
    const char* file;
    const char* open;
    const char* save;
    Bytes initial;  // what the first copy opens, and saves again
  } kinds[] = {
      {"game.KRP", "open ", "save ", ImageOf(BoardOf(testing::kInitialLine))},
      {"game.pdn", "pdn open ", "pdn save ", whole_game()},
  };
  for (const auto& kind : kinds) {
    testing::TempFolder folder;
    const std::filesystem::path game = folder / kind.file;
    WriteBytes(game, kind.initial);
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
    const std::string open = kind.open + game.string(), save = kind.save + game.string();
    EXPECT_EQ(ask(first, open).back(), "gauges 120 120") << kind.file;  // opened
    ask(second, "computer off");
    ask(second, "L D6");
    ask(second, "L E5");  // a move of the player's: the second copy's game differs
    EXPECT_EQ(ask(second, save), Events{}) << kind.file;
    const Bytes theirs = ReadBytes(game);
    ASSERT_NE(theirs, kind.initial) << kind.file;
    EXPECT_EQ(ask(first, save), Events{refused}) << kind.file;
    EXPECT_EQ(ReadBytes(game), theirs) << kind.file;
    EXPECT_EQ(ask(first, save), Events{}) << kind.file;
    EXPECT_EQ(ReadBytes(game), kind.initial) << kind.file;
  }
}

}  // namespace
}  // namespace zelbo
