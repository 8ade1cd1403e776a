// SPDX-License-Identifier: GPL-3.0-or-later
// `zelbo-cli experience FILE.exp`, and the store that ships with the program: every record of it
// is one the editor could have drawn, with a move its check allows.
#include "cli/experience_listing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>

#include "experience/experience_editing.h"
#include "experience/experience_file.h"
#include "files/temp_folder.h"
#include "game/notation.h"
#include "support/positions.h"

namespace zelbo {
namespace {

TEST(ExperienceListing, ListsEveryWholeRecordAndCountsTheRest) {
  testing::TempFolder folder;
  // The opening position, From C3, a To that names no square, Captured D4, then 5 bytes more.
  std::vector<uint8_t> bytes(198 + 5);
  for (int column = 1; column <= 8; ++column) {
    for (int row = 1; row <= 8; ++row) {
      bytes[(column - 1) * 24 + (row - 1) * 3] =
          static_cast<uint8_t>(testing::BoardOf(testing::kInitialLine).Code(column, row));
    }
  }
  const uint8_t moves[] = {3, 3, 0, 7, 4, 4};
  std::copy(std::begin(moves), std::end(moves), bytes.begin() + 192);
  testing::WriteBytes(folder / "partial.exp", bytes);
  std::filesystem::create_directory(folder / "folder.exp");

  const std::string grid =
      "record 0 from=C3 to=- captured=D4\n"
      "  A B C D E F G H\n1 c x c x c x c x\n2 x c x c x c x c\n3 c x c x c x c x\n"
      "4 x . x . x . x .\n5 . x . x . x . x\n6 x p x p x p x p\n7 p x p x p x p x\n"
      "8 x p x p x p x p\n\n";
  const struct {
    const char* file;
    int status;
    std::string out;
    std::string errors;
  } cases[] = {
      {"partial.exp", 0, grid + "1 record\ntrailing 5 bytes not listed\n", ""},
      {"missing.exp", 1, "", "Fichier introuvable\n"},
      {"folder.exp", 1, "", "Accès au fichier refusé\n"},
  };
  for (const auto& test : cases) {
    std::ostringstream out, errors;
    EXPECT_EQ(RunExperienceListing(folder / test.file, out, errors), test.status) << test.file;
    EXPECT_EQ(out.str(), test.out) << test.file;
    EXPECT_EQ(errors.str(), test.errors) << test.file;
  }
}

TEST(ShippedStore, HoldsOnlyRecordsTheEditorCouldHaveDrawn) {
  const auto store = ReadExperienceFile(std::filesystem::path(ZELBO_ASSETS_DIR) / "braskel.exp");
  EXPECT_GE(store.records.size(), 6u);
  EXPECT_EQ(store.trailing_bytes, 0u);
  for (std::size_t i = 0; i < store.records.size(); ++i) {
    const ExperienceRecord& record = store.records[i];
    for (int column = 1; column <= 8; ++column) {
      for (int row = 1; row <= 8; ++row) {
        const bool playable = (column + row) % 2 == 0;
        EXPECT_EQ(record.pattern.Code(column, row) == kUnusable, !playable) << i;
      }
    }
    for (const Cell& cell : record.pattern.cells) EXPECT_EQ(cell.extra[0] | cell.extra[1], 0) << i;
    ExperienceRecord chosen = record;
    chosen.from = chosen.to = chosen.captured = 0;
    ASSERT_TRUE(ChooseMoveFrom(chosen, record.from)) << i;
    ASSERT_EQ(ChooseMoveTo(chosen, record.to), MoveToOutcome::kChosen) << i;
    EXPECT_EQ(chosen, record) << i;
  }
}

}  // namespace
}  // namespace zelbo
