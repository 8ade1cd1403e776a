// SPDX-License-Identifier: GPL-3.0-or-later
// The help window's answers: the marker grammar, the built-in text, and reading "help.eng".
#include "help/answers.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "files/fifo.h"
#include "files/temp_folder.h"
#include "help/help_text.h"

namespace zelbo {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;
using testing::TempFolder;
using testing::WriteBytes;

std::vector<uint8_t> Bytes(std::string_view text) { return {text.begin(), text.end()}; }

TEST(HelpAnswer, FollowsTheLineMarkers) {
  const Lines hello = {"[2]", "hello", "[E]"};
  const struct {
    const char* name;
    Lines lines;
    int n;
    const char* answer;
  } cases[] = {
      {"question 3, built in", BuiltInAnswers(), 3,
       "\"Outils\" puis   \"Skin\"\r\rOU\r\rCliquez à Bouton \"S\"\r"},
      {"question 0, built in", BuiltInAnswers(), 0,
       "Cliquez \"F2\"\r\r      OU\r\r \"Fichier\" puis  \"Nouveau\"\r"},
      {"help.eng with hello", hello, 2, "hello\r"},
      {"help.eng without topic 1", hello, 1, "No help for this question [1]"},
      {"marker followed by an empty line", {"[1]", "", "text"}, 1, ""},
      {"the rest of the marker line is ignored", {"topic [4] here", "a"}, 4, "a\r"},
      {"a mention in another answer comes first",
       {"[2]", "see [1] too", "two", "", "[1]", "one"},
       1,
       "two\r"},
      {"[10] is not [1]", {"[10]", "ten", "", "[1]", "one"}, 1, "one\r"},
      {"[S] anywhere stands for an empty line", {"[5]", "a", "xx[S]yy", "b"}, 5, "a\r\rb\r"},
      {"[E] ends the answer", {"[1]", "a", "b [E]", "c"}, 1, "a\r"},
      {"[E] before the marker",
       {"[1]", "a", "", "[E]", "[2]", "b"},
       2,
       "No help for this question [2]"},
      {"no [E] and no marker", {"[1]", "a"}, 3, "No help for this question [3]"},
      {"markers count case", {"[1]", "[s]", "[e]"}, 1, "[s]\r[e]\r"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(HelpAnswer(c.lines, static_cast<uint8_t>(c.n)), c.answer) << c.name;
  }
}

TEST(HelpAnswer, TheBuiltInTextAnswersTheEightQuestionsOnly) {
  const Lines lines = BuiltInAnswers();
  for (int n = 0; n <= 255; ++n) {
    const std::string answer = HelpAnswer(lines, static_cast<uint8_t>(n));
    const std::string no_help = "No help for this question [" + std::to_string(n) + "]";
    if (n < static_cast<int>(kHelpQuestions.size())) {
      EXPECT_NE(answer, no_help) << n;
      EXPECT_TRUE(answer.ends_with("\r")) << n;
    } else {
      EXPECT_EQ(answer, no_help) << n;
    }
  }
  // Topic 4 runs to its end, through the two lines that begin with a carriage return.
  const std::string skins = HelpAnswer(lines, 4);
  EXPECT_TRUE(skins.starts_with(" commencez avec faire un classeur\r")) << skins;
  EXPECT_NE(skins.find("joueur 1\r\r\"6.bmp\" pour le grand morceau de \rjoueur 1\r"),
            std::string::npos);
  EXPECT_TRUE(skins.ends_with("bouton\r\r\"C.bmp\" pour  dessiner  le cadre\r")) << skins;
}

TEST(SplitAnswerLines, BreaksLinesTheWayATextBoxLoadsAFile) {
  const struct {
    const char* text;
    Lines lines;
  } cases[] = {
      {"", {}},     {"a\r\nb\r\n", {"a", "b"}}, {"a\nb", {"a", "b"}},       {"a\rb\r", {"a", "b"}},
      {"\n", {""}}, {"a\n\nb", {"a", "", "b"}}, {"a\n\rb", {"a", "", "b"}},
  };
  for (const auto& c : cases) EXPECT_EQ(SplitAnswerLines(c.text), c.lines) << c.text;
}

TEST(DecodeAnswersText, ReadsUtf8ElseWindows1252) {
  const struct {
    const char* name;
    std::string bytes;
    const char* text;
  } cases[] = {
      {"UTF-8", "d\xC3\xA9placer \xE2\x82\xAC", "déplacer €"},
      {"UTF-8 with a byte-order mark", "\xEF\xBB\xBF[1]", "[1]"},
      {"Windows-1252 e acute", "d\xE9placer", "déplacer"},
      {"Windows-1252 euro and Y diaeresis", "\x80\x9F", "€Ÿ"},
      {"unassigned byte keeps its control character", "\x81", "\xC2\x81"},
      {"one stray byte makes the whole file Windows-1252", "\xC3\xA9 \xE9", "Ã© é"},
      {"an overlong form is not UTF-8", "\xC0\xAF", "À¯"},
      {"a cut sequence is not UTF-8", "a\xE2\x82", "aâ‚"},
  };
  for (const auto& c : cases) EXPECT_EQ(DecodeAnswersText(Bytes(c.bytes)), c.text) << c.name;
}

TEST(LoadAnswers, TakesHelpEngBesideTheProgramWhenThereIsOne) {
  TempFolder empty, with_file, with_folder, with_loop, with_pipe;
  WriteBytes(with_file / "help.eng", Bytes("[2]\r\nd\xE9truire\r\n[E]\r\n"));
  fs::create_directory(with_folder / "help.eng");
  fs::create_symlink("help.eng", with_loop / "help.eng");  // cannot be opened
  const std::string loop_path = (with_loop / "help.eng").string();
  ASSERT_TRUE(testing::MakeFifo(with_pipe / "help.eng"));
  const testing::FifoWatchdog watchdog({with_pipe / "help.eng"});
  const struct {
    const char* name;
    const TempFolder& folder;
    Lines lines;
    std::optional<std::string> failure;
  } cases[] = {
      {"none", empty, BuiltInAnswers(), std::nullopt},
      {"a file", with_file, {"[2]", "détruire", "[E]"}, std::nullopt},
      {"a folder of that name", with_folder, BuiltInAnswers(), std::nullopt},
      {"unreadable", with_loop, BuiltInAnswers(),
       "Impossible d'ouvrir le fichier \"" + loop_path + "\". Boucle de liens symboliques"},
      {"a pipe", with_pipe, BuiltInAnswers(),
       "Impossible d'ouvrir le fichier \"" + (with_pipe / "help.eng").string() +
           "\". Accès au fichier refusé"},
  };
  for (const auto& c : cases) {
    const AnswersText answers = LoadAnswers(c.folder.path());
    EXPECT_EQ(answers.lines, c.lines) << c.name;
    EXPECT_EQ(answers.failure, c.failure) << c.name;
  }
  EXPECT_EQ(HelpAnswer(LoadAnswers(with_file.path()).lines, 2), "détruire\r");
  try {
    LoadAnswersFile(empty / "help.eng");
    ADD_FAILURE() << "a missing file was read";
  } catch (const IoError& error) {
    EXPECT_EQ(UnreadableAnswersFileMessage("/x/help.eng", error),
              "Impossible d'ouvrir le fichier \"/x/help.eng\". Fichier introuvable");
  }
}

// A help.eng is read whole however long, so that no letter is cut in two; past the limit of the
// data files it is reported and the built-in text stays.
TEST(LoadAnswers, ReadsALongHelpFileWhole) {
  TempFolder folder;
  // Filler lines up to the first MiB, ending with the middle of an "é", then topic 4.
  std::string text = "[2]\nd\xC3\xA9truire\n\n";
  const std::size_t mib = std::size_t{1} << 20;
  while (text.size() < mib - 100) text += std::string(79, '-') + "\n";
  text += std::string(mib - 1 - text.size(), '-') + "\xC3\xA9\n[4]\nplus loin\n[E]\n";
  ASSERT_EQ(text.substr(mib - 1, 2), "\xC3\xA9");
  WriteBytes(folder / "help.eng", Bytes(text));
  const AnswersText answers = LoadAnswers(folder.path());
  EXPECT_EQ(answers.failure, std::nullopt);
  EXPECT_EQ(HelpAnswer(answers.lines, 2), "détruire\r");
  EXPECT_EQ(HelpAnswer(answers.lines, 4), "plus loin\r");

  fs::resize_file(folder / "help.eng", kMaxAnswersFileBytes + 1);
  const AnswersText too_long = LoadAnswers(folder.path());
  EXPECT_EQ(too_long.lines, BuiltInAnswers());
  EXPECT_EQ(too_long.failure, "Impossible d'ouvrir le fichier \"" + (folder / "help.eng").string() +
                                  "\". Fichier trop grand (plus de 64 Mio)");
}

}  // namespace
}  // namespace zelbo
