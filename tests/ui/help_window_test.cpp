// SPDX-License-Identifier: GPL-3.0-or-later
// The help window: its size after creation, the answers with the question as their caption, and a
// "help.eng" beside the program replacing the built-in text.
#include <gtest/gtest.h>

#include <QListWidget>
#include <QTest>
#include <filesystem>
#include <fstream>

#include "files/temp_folder.h"
#include "ui/Unit4.h"
#include "ui/fake_dialogs.h"

namespace zelbo {
namespace {

namespace fs = std::filesystem;

class HelpWindowTest : public ::testing::Test {
 protected:
  testing::TempFolder temp_folder;
  const fs::path folder = temp_folder.path();
  testing::FakeDialogs dialogs;
  Application application{dialogs};
};

TEST_F(HelpWindowTest, ListsTheQuestionsAndShowsAnAnswerUnderItsQuestion) {
  TForm4 help(application, folder);
  EXPECT_EQ(help.size(), QSize(576, 200));
  ASSERT_EQ(help.ListBox1->count(), 8);
  EXPECT_EQ(help.ListBox1->item(1)->text(), "Comment jouer? ");
  EXPECT_EQ(help.ListBox1->item(0)->sizeHint().height(), 20);
  EXPECT_TRUE(help.ListBox1->font().bold());

  application.SetTitle("Zelbo  ");
  help.ListBox1->setCurrentRow(3);
  help.ListBox1Click();
  EXPECT_EQ(dialogs.Take(),
            std::vector<std::string>{"changez  SKIN  : \"Outils\" puis   \"Skin\"\r\rOU\r\r"
                                     "Cliquez à Bouton \"S\"\r"});
  EXPECT_EQ(application.title(), "Zelbo  ");

  help.ShowHelpTopic(0);
  EXPECT_EQ(dialogs.Take(), std::vector<std::string>{
                                "\rcommencez une nouvelle partie\n: Cliquez \"F2\"\r\r      OU\r\r "
                                "\"Fichier\" puis  \"Nouveau\"\r"});
}

// The list's click comes from the keyboard too: a question reached with the arrow keys, or chosen
// again with Enter or Space, shows its answer as a click on it does.
TEST_F(HelpWindowTest, TheKeyboardShowsAnswersAsClicksDo) {
  TForm4 help(application, folder);
  help.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&help));
  help.ListBox1->setFocus();
  const QRect second = help.ListBox1->visualItemRect(help.ListBox1->item(1));
  QTest::mouseClick(help.ListBox1->viewport(), Qt::LeftButton, {}, second.center());
  QTest::mouseClick(help.ListBox1->viewport(), Qt::LeftButton, {}, second.center());
  QTest::keyClick(help.ListBox1, Qt::Key_Down);
  QTest::keyClick(help.ListBox1, Qt::Key_Return);
  QTest::keyClick(help.ListBox1, Qt::Key_Space);
  QTest::keyClick(help.ListBox1, Qt::Key_Up);
  std::vector<std::string> captions;
  for (const std::string& shown : dialogs.Take())
    captions.push_back(shown.substr(0, shown.find(':')));
  EXPECT_EQ(captions, (std::vector<std::string>{"Comment jouer? ", "Comment jouer? ",
                                                "détruisez 2 pieces  ", "détruisez 2 pieces  ",
                                                "détruisez 2 pieces  ", "Comment jouer? "}));
}

TEST_F(HelpWindowTest, AHelpFileReplacesTheBuiltInText) {
  std::ofstream(folder / "help.eng") << "[2]\nhello\n[E]\n";
  TForm4 help(application, folder);
  help.ShowHelpTopic(2);
  help.ShowHelpTopic(4);
  EXPECT_EQ(dialogs.Take(), (std::vector<std::string>{
                                "détruisez 2 pieces  : hello\r",
                                "ajoutez une nouvelle SKIN  : No help for this question [4]"}));
}

}  // namespace
}  // namespace zelbo
