// SPDX-License-Identifier: GPL-3.0-or-later
// The windows of a program installed in a prefix, as Project1 creates them, for a user whose data
// folder is new: the shipped store loads without a word, the editor's "+" keeps the shipped
// records in the user's own copy, the user's skins and answers text win over the shipped ones, and
// nothing under the prefix changes.
#include <gtest/gtest.h>

#include <QImage>
#include <QListWidget>
#include <QTest>
#include <QToolButton>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "experience/experience_file.h"
#include "files/temp_folder.h"
#include "game/board.h"
#include "help/answers.h"
#include "ui/Unit1.h"
#include "ui/Unit2.h"
#include "ui/Unit3.h"
#include "ui/Unit4.h"
#include "ui/fake_dialogs.h"

namespace zelbo {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

ExperienceRecord Numbered(uint8_t n) {
  ExperienceRecord record{};
  SetupInitialPosition(record.pattern);
  record.from = n;
  return record;
}

void PutBitmap(const fs::path& skin, const char* file, QColor colour) {
  fs::create_directories(skin);
  QImage image(32, 32, QImage::Format_RGB888);
  image.fill(colour);
  image.setPixelColor(0, 31, Qt::black);  // the key colour of a piece drawn on its square
  ASSERT_TRUE(image.save(QString::fromStdString((skin / file).string()), "BMP"));
}

void PutText(const fs::path& path, const std::string& text) {
  fs::create_directories(path.parent_path());
  testing::WriteBytes(path, {text.begin(), text.end()});
}

// Every file under a folder with its size and modification time.
std::vector<std::string> Listing(const fs::path& folder) {
  std::vector<std::string> lines;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    std::string line = fs::relative(entry.path(), folder).string();
    if (entry.is_regular_file()) line += " " + std::to_string(entry.file_size());
    line += " " + std::to_string(entry.last_write_time().time_since_epoch().count());
    lines.push_back(line);
  }
  std::sort(lines.begin(), lines.end());
  return lines;
}

class InstalledTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(prefix / "bin");
    fs::create_directories(shipped);
    WriteExperienceFile(shipped / "braskel.exp", {{Numbered(1), Numbered(2)}});
    PutBitmap(shipped / "SKIN" / "Bois", "4.bmp", Qt::red);
    PutBitmap(shipped / "SKIN" / "Marbre", "4.bmp", Qt::blue);
    PutText(shipped / "help.eng", "[2]\nshipped\n[E]\n");
    before = Listing(prefix);
  }

  // The four windows in the program's order, for a program in PREFIX/bin.
  void Start(const std::string& xdg_data_home = "") {
    const FilePlaces places = FilePlaces::Find(prefix / "bin", {xdg_data_home, home.string()});
    ASSERT_TRUE(places.installed());
    board = std::make_unique<TForm1>(application, std::nullopt, places);
    editor = std::make_unique<TForm2>(application, *board);
    skins = std::make_unique<TForm3>(application, *board);
    help =
        std::make_unique<TForm4>(application, board->file_places.FolderHolding(kAnswersFileName));
    board->SetWindows(editor.get(), skins.get(), help.get());
  }

  Names Listed() const {
    Names names;
    for (int i = 0; i < skins->ListBox1->count(); ++i) {
      names.push_back(skins->ListBox1->item(i)->text().toStdString());
    }
    return names;
  }

  testing::TempFolder root;
  const fs::path prefix = root / "usr";
  const fs::path shipped = prefix / "share" / "zelbo";
  const fs::path home = root / "home";
  const fs::path user = home / ".local" / "share" / "zelbo";
  std::vector<std::string> before;
  testing::FakeDialogs dialogs;
  Application application{dialogs};
  std::unique_ptr<TForm1> board;
  std::unique_ptr<TForm2> editor;
  std::unique_ptr<TForm3> skins;
  std::unique_ptr<TForm4> help;
};

TEST_F(InstalledTest, AFirstAdditionCopiesTheShippedStoreIntoTheUsersFolder) {
  fs::create_directories(home);
  Start();
  EXPECT_EQ(dialogs.Take(), Names{});  // no " No experience "
  EXPECT_EQ(board->state().experience_count, 2U);
  EXPECT_FALSE(fs::exists(user));

  board->state().edit_record = Numbered(3);
  QTest::mouseClick(editor->SpeedButton1, Qt::LeftButton);
  EXPECT_EQ(dialogs.Take(), Names{});
  const std::vector<ExperienceRecord> expected = {Numbered(1), Numbered(2), Numbered(3)};
  EXPECT_EQ(ReadExperienceFile(user / "braskel.exp").records, expected);
  EXPECT_EQ(fs::status(user).permissions(), fs::perms::owner_all);

  // The next start reads the user's copy.
  board->state().edit_record = Numbered(4);
  QTest::mouseClick(editor->SpeedButton1, Qt::LeftButton);
  Start();
  EXPECT_EQ(board->state().experience_count, 4U);
  EXPECT_EQ(Listing(prefix), before);
}

TEST_F(InstalledTest, TheUsersSkinsAndAnswersWinOverTheShippedOnes) {
  PutBitmap(user / "SKIN" / "Bois", "4.bmp", Qt::green);
  PutBitmap(user / "SKIN" / "Mine", "4.bmp", Qt::yellow);
  PutText(user / "help.eng", "[2]\nthe user's\n[E]\n");
  Start();
  EXPECT_EQ(Listed(), (Names{"Bois", "Mine", "Marbre"}));
  const struct {
    const char* skin;
    QColor man;  // the computer's man, which "4.bmp" draws
  } cases[] = {{"Bois", Qt::green}, {"Mine", Qt::yellow}, {"Marbre", Qt::blue}};
  for (const auto& test : cases) {
    ASSERT_TRUE(board->ApplySkin(test.skin));
    EXPECT_EQ(board->Im1.image().pixelColor(16, 16), test.man) << test.skin;
  }
  EXPECT_EQ(help->Memo1, (Names{"[2]", "the user's", "[E]"}));
  EXPECT_EQ(dialogs.Take(), Names{});
  EXPECT_EQ(Listing(prefix), before);
}

// A data folder that cannot be used counts as absent: no box at the start, the shipped store and
// skins in their place; the editor's "+" then says why it cannot save and names the folder. A
// store too large to read is named with the reason, at the start and at "+".
TEST_F(InstalledTest, ABrokenDataFolderIsAbsentAndARefusalSaysWhy) {
  const fs::path data = root / "data";
  const struct {
    const char* name;
    std::function<void()> prepare;
    std::string at_start;  // the box shown while the windows are made, or none
    std::string at_add;    // the box shown by "+", or none
    std::size_t count;     // the records in memory after the start
  } cases[] = {
      {"XDG_DATA_HOME loops", [&] { fs::create_symlink(data, data); }, "",
       "Boucle de liens symboliques : \"" + (data / "zelbo").string() + "\"", 2},
      {"its zelbo links to nothing",
       [&] {
         fs::create_directories(data);
         fs::create_symlink(root / "gone", data / "zelbo");
       },
       "", "Lien symbolique vers un dossier absent : \"" + (data / "zelbo").string() + "\"", 2},
      {"its SKIN loops",
       [&] {
         fs::create_directories(data / "zelbo");
         fs::create_symlink(data / "zelbo" / "SKIN", data / "zelbo" / "SKIN");
       },
       "", "", 2},
      {"the store is over 64 MiB",
       [&] {
         fs::create_directories(data / "zelbo");
         testing::WriteBytes(data / "zelbo" / "braskel.exp", {});
         fs::resize_file(data / "zelbo" / "braskel.exp", kMaxExperienceFileBytes + 1);
       },
       "Fichier trop grand (plus de 64 Mio) : \"" + (data / "zelbo" / "braskel.exp").string() +
           "\"",
       "Fichier trop grand (plus de 64 Mio) : \"" + (data / "zelbo" / "braskel.exp").string() +
           "\"",
       0},
  };
  for (const auto& c : cases) {
    fs::remove_all(data);
    c.prepare();
    Start(data.string());
    // A box of the application's title, which no game has set yet, and the text.
    const auto box = [](const std::string& text) {
      return text.empty() ? Names{} : Names{": " + text};
    };
    EXPECT_EQ(dialogs.Take(), box(c.at_start)) << c.name;
    EXPECT_EQ(board->state().experience_count, c.count) << c.name;
    EXPECT_EQ(Listed(), (Names{"Bois", "Marbre"})) << c.name;
    ASSERT_TRUE(board->ApplySkin("Bois")) << c.name;
    EXPECT_EQ(board->Im1.image().pixelColor(16, 16), QColor(Qt::red)) << c.name;
    board->state().edit_record = Numbered(3);
    QTest::mouseClick(editor->SpeedButton1, Qt::LeftButton);
    EXPECT_EQ(dialogs.Take(), box(c.at_add)) << c.name;
  }
  EXPECT_EQ(Listing(prefix), before);
}

// Another copy of the program saves the store while this one's editor is open: "+" and "x" keep
// what it saved, the editor's list becomes the store both left, and "x" deletes the record shown.
TEST_F(InstalledTest, TheEditorKeepsWhatAnotherCopySaved) {
  fs::create_directories(home);
  Start();
  const auto another_copy_saves = [&](std::vector<ExperienceRecord> records) {
    fs::create_directories(user);
    WriteExperienceFile(user / "braskel.exp", records);
  };
  const auto numbers = [](const std::vector<ExperienceRecord>& records) {
    std::vector<int> from;
    for (const ExperienceRecord& record : records) from.push_back(record.from);
    return from;
  };
  another_copy_saves({Numbered(1), Numbered(2), Numbered(9)});
  board->state().edit_record = Numbered(3);
  QTest::mouseClick(editor->SpeedButton1, Qt::LeftButton);
  EXPECT_EQ(numbers(ReadExperienceFile(user / "braskel.exp").records),
            (std::vector<int>{1, 2, 9, 3}));
  EXPECT_EQ(numbers(board->state().experience_list), (std::vector<int>{1, 2, 9, 3}));
  EXPECT_EQ(board->state().experience_index, 3U);

  QTest::mouseClick(editor->SpeedButton2, Qt::LeftButton);  // previous: the other copy's record
  EXPECT_EQ(board->state().edit_record, Numbered(9));
  // The other copy deletes record 1 and adds 10.
  another_copy_saves({Numbered(2), Numbered(9), Numbered(3), Numbered(10)});
  QTest::mouseClick(editor->SpeedButton3, Qt::LeftButton);  // delete the record shown
  const std::vector<int> left = {2, 3, 10};
  EXPECT_EQ(numbers(ReadExperienceFile(user / "braskel.exp").records), left);
  EXPECT_EQ(numbers(board->state().experience_list), left);
  EXPECT_EQ(board->state().edit_record, Numbered(2));  // the record before the deleted one
  EXPECT_EQ(board->state().experience_index, 0U);
  EXPECT_EQ(editor->windowTitle(), QString::fromUtf8(" experience N:°0"));
  EXPECT_EQ(dialogs.Take(), Names{});
}

}  // namespace
}  // namespace zelbo
