// The help window: its size after creation, the answers with the question as their caption, and a
// "help.eng" beside the program replacing the built-in text.
#include <gtest/gtest.h>

#include <QListWidget>
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
