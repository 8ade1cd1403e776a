// SPDX-License-Identifier: GPL-3.0-or-later
// Two copies of the program editing one store, as two real processes (saving_process, the editor's
// "+" and "x" on the library): neither loses what the other saved, and each shows the store as
// both left it.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "experience/experience_file.h"
#include "files/saving_process.h"
#include "files/temp_folder.h"
#include "game/board.h"

namespace zelbo {
namespace {

namespace fs = std::filesystem;
using Tags = std::vector<int>;

ExperienceRecord Tagged(int tag) {
  ExperienceRecord record{};
  SetupInitialPosition(record.pattern);
  record.captured = static_cast<SquareRef>(tag);
  return record;
}

void WriteStore(const fs::path& path, const Tags& tags) {
  std::vector<ExperienceRecord> records;
  for (const int tag : tags) records.push_back(Tagged(tag));
  WriteExperienceFile(path, records);
}

Tags StoreTags(const fs::path& path) {
  Tags tags;
  for (const ExperienceRecord& record : ReadExperienceFile(path).records) {
    tags.push_back(record.captured);
  }
  return tags;
}

// A copy's answer: its messages, then the list in its memory and the index its editor shows.
struct Answer {
  std::vector<std::string> messages;
  uint32_t index = 0;
  Tags tags;
};

Answer Parse(const std::vector<std::string>& lines) {
  Answer answer;
  answer.messages.assign(lines.begin(), lines.end() - 1);
  std::istringstream last(lines.back());
  std::string word, list;
  uint32_t count = 0;
  last >> word >> count >> word >> answer.index >> word >> list;
  std::istringstream tags(list);
  for (std::string tag; std::getline(tags, tag, ',');) answer.tags.push_back(std::stoi(tag));
  EXPECT_EQ(answer.tags.size(), count) << lines.back();
  return answer;
}

class TwoCopiesTest : public ::testing::Test {
 protected:
  void SetUp() override { WriteStore(store, {1, 2}); }

  testing::TempFolder folder;
  const fs::path store = ExperienceFilePath(folder.path());
};

// The two copies take turns, each saving once between two saves of the other: every save finds
// the store changed since its copy last wrote it.
TEST_F(TwoCopiesTest, FiftyAdditionsEachInTurnLeaveAHundredNewRecords) {
  testing::SavingProcess a({"store", store.string()}), b({"store", store.string()});
  ASSERT_TRUE(a.started() && b.started());
  a.ReadAnswer();
  b.ReadAnswer();
  Tags expected = {1, 2};
  for (int i = 0; i < 50; ++i) {
    for (auto [copy, tag] : {std::pair{&a, 1000 + i}, std::pair{&b, 2000 + i}}) {
      const Answer answer = Parse(copy->Ask("add " + std::to_string(tag)));
      expected.push_back(tag);
      ASSERT_EQ(answer.messages, std::vector<std::string>{}) << tag;
      ASSERT_EQ(answer.tags, expected) << "the list in memory after adding " << tag;
      ASSERT_EQ(answer.index, expected.size() - 1) << tag;
    }
  }
  EXPECT_EQ(StoreTags(store), expected);
}

// Both copies save as fast as they can at once: each save reads the store and writes it under the
// lock, so no save falls between another's reading and writing.
TEST_F(TwoCopiesTest, FiftyAdditionsEachAtOnceLeaveAHundredNewRecords) {
  testing::SavingProcess a({"store", store.string()}), b({"store", store.string()});
  ASSERT_TRUE(a.started() && b.started());
  a.ReadAnswer();
  b.ReadAnswer();
  a.Send("add 1000 50");
  b.Send("add 2000 50");
  const Answer from_a = Parse(a.ReadAnswer());
  const Answer from_b = Parse(b.ReadAnswer());
  EXPECT_EQ(from_a.messages, std::vector<std::string>{});
  EXPECT_EQ(from_b.messages, std::vector<std::string>{});
  const Tags stored = StoreTags(store);
  ASSERT_EQ(stored.size(), 102U);
  // The base records and the first copy's, and the second copy's, each in its order.
  Tags of_a, of_b;
  for (const int tag : stored) (tag >= 2000 ? of_b : of_a).push_back(tag);
  Tags expected_a = {1, 2}, expected_b;
  for (int i = 0; i < 50; ++i) {
    expected_a.push_back(1000 + i);
    expected_b.push_back(2000 + i);
  }
  EXPECT_EQ(of_a, expected_a);
  EXPECT_EQ(of_b, expected_b);
  // The copy that saved last holds the whole store.
  EXPECT_TRUE(from_a.tags == stored || from_b.tags == stored);
}

// A deletion removes the record its copy showed, wherever the other copy's changes have put it,
// and nothing when the other copy deleted it first.
TEST_F(TwoCopiesTest, ADeletionRemovesTheRecordItsCopyShowed) {
  WriteStore(store, {1, 2, 3, 4, 5});
  testing::SavingProcess a({"store", store.string()}), b({"store", store.string()});
  ASSERT_TRUE(a.started() && b.started());
  a.ReadAnswer();
  b.ReadAnswer();
  const struct {
    testing::SavingProcess* copy;
    const char* command;
    Tags store;      // the file after it
    uint32_t shown;  // the index the copy's editor shows
  } steps[] = {
      {&b, "add 900", {1, 2, 3, 4, 5, 900}, 5},
      {&a, "delete 3", {1, 2, 4, 5, 900}, 1},  // record 2, the one before 3
      {&b, "delete 3", {1, 2, 4, 5, 900}, 1},  // gone already: nothing else goes
      {&a, "delete 900", {1, 2, 4, 5}, 3},
      {&b, "add 901", {1, 2, 4, 5, 901}, 4},
      {&a, "delete 1", {2, 4, 5, 901}, 0},
  };
  for (const auto& step : steps) {
    const Answer answer = Parse(step.copy->Ask(step.command));
    EXPECT_EQ(answer.messages, std::vector<std::string>{}) << step.command;
    EXPECT_EQ(StoreTags(store), step.store) << step.command;
    EXPECT_EQ(answer.tags, step.store) << step.command << ": the list in memory";
    EXPECT_EQ(answer.index, step.shown) << step.command;
  }
}

}  // namespace
}  // namespace zelbo
