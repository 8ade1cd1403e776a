// SPDX-License-Identifier: GPL-3.0-or-later
// What a save makes of a store that another copy of the program changed since this one read it:
// both copies' additions kept, each copy's deletions carried out on the record it showed, and the
// editor still showing the record it showed. Records are written as letters: "ABC" is a store of
// three, and equal letters are equal records.
#include "experience/experience_merge.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/board.h"

namespace zelbo {
namespace {

std::vector<ExperienceRecord> Store(const std::string& letters) {
  std::vector<ExperienceRecord> records;
  for (const char letter : letters) {
    ExperienceRecord record{};
    SetupInitialPosition(record.pattern);
    record.captured = static_cast<SquareRef>(letter);
    records.push_back(record);
  }
  return records;
}

std::string Letters(const std::vector<ExperienceRecord>& records) {
  std::string letters;
  for (const ExperienceRecord& record : records) letters += static_cast<char>(record.captured);
  return letters;
}

TEST(MergeExperience, KeepsWhatBothCopiesDid) {
  const struct {
    const char* name;
    const char* base;  // the store as this copy last read or wrote it
    const char* ours;  // its list now
    uint32_t index;    // the record its editor shows
    const char* disk;  // the file now
    const char* merged;
    uint32_t merged_index;
  } cases[] = {
      {"both added", "AB", "ABX", 2, "ABZ", "ABZX", 3},
      {"they added, we deleted", "ABC", "AC", 0, "ABCZ", "ACZ", 0},
      {"they added, we deleted the first", "ABC", "BC", 0, "ABCZ", "BCZ", 0},
      {"both deleted the same", "ABC", "AC", 0, "AC", "AC", 0},
      {"they deleted, we added", "ABC", "ABCX", 3, "BC", "BCX", 2},
      {"they deleted what we show", "ABC", "ABCX", 1, "AC", "ACX", 1},
      {"unsaved additions of ours", "A", "AXY", 1, "AZ", "AZXY", 2},
      {"the second of equal records", "AXBX", "AXB", 2, "AXBXZ", "AXBZ", 2},
      {"the first of equal records", "AXBX", "ABX", 1, "AXBXZ", "ABXZ", 1},
      {"they put records in front", "ABC", "AB", 1, "ZABC", "ZAB", 2},
      {"a store replaced whole", "ABC", "AC", 1, "PQ", "PQ", 1},
      {"one past the end", "ABC", "AB", 2, "ABCZ", "ABZ", 3},
      {"emptied", "AB", "", 0, "ABZ", "Z", 1},
  };
  for (const auto& c : cases) {
    const auto merged = MergeExperience(Store(c.base), Store(c.ours), c.index, Store(c.disk));
    ASSERT_TRUE(merged.has_value()) << c.name;
    EXPECT_EQ(Letters(merged->records), c.merged) << c.name;
    EXPECT_EQ(merged->index, c.merged_index) << c.name;
  }
}

// A file no other copy touched is this copy's list as it stands.
TEST(MergeExperience, LeavesAStoreNobodyElseChangedToThisCopy) {
  for (const char* ours : {"AB", "ABX", "A", ""}) {
    EXPECT_FALSE(MergeExperience(Store("AB"), Store(ours), 1, Store("AB")).has_value()) << ours;
  }
}

}  // namespace
}  // namespace zelbo
