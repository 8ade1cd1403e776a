// SPDX-License-Identifier: GPL-3.0-or-later
// `zelbo-cli tables build DIR` and `zelbo-cli tables FILE`, on the smallest tables (two pieces).
#include "cli/tables_command.h"

#include <gtest/gtest.h>

#include <sstream>

#include "files/temp_folder.h"

namespace zelbo {
namespace {

constexpr engine::TableScope kTwoPieces{2, 2};

TEST(TablesCommand, BuildsAFileThatListsItsEndings) {
  const testing::TempFolder scratch;
  const std::filesystem::path folder = scratch / "made/by/the/build";
  std::ostringstream out, errors;
  ASSERT_EQ(RunTablesBuild(folder, kTwoPieces, out, errors), 0) << errors.str();
  EXPECT_EQ(
      out.str().rfind("tables " + (folder / "endgame.tables").string() + "\nmaterials 4\n", 0), 0u)
      << out.str();
  EXPECT_NE(errors.str().find("4 of 4 built (M-M)"), std::string::npos) << errors.str();

  std::ostringstream listing;
  ASSERT_EQ(RunTablesListing(folder / "endgame.tables", listing, errors), 0) << errors.str();
  // A king against a king: 32 * 31 positions; the side to move takes at once in 194 of them, and
  // is lost in two, its king in a corner with the other on its diagonal.
  EXPECT_NE(listing.str().find("\nK-K 992 194 796 2 3 2 "), std::string::npos) << listing.str();
  EXPECT_NE(listing.str().find("\nall "), std::string::npos) << listing.str();
}

TEST(TablesCommand, SaysWhyItCannot) {
  const testing::TempFolder scratch;
  testing::WriteBytes(scratch / "plain", {'n', 'o'});
  std::ostringstream out, errors;
  EXPECT_EQ(RunTablesBuild(scratch / "plain/folder", kTwoPieces, out, errors), 1);
  EXPECT_NE(errors.str().find((scratch / "plain/folder").string()), std::string::npos)
      << errors.str();
  errors.str("");
  EXPECT_EQ(RunTablesListing(scratch / "plain", out, errors), 1);
  EXPECT_NE(errors.str().find("not an endgame tables file"), std::string::npos) << errors.str();
  errors.str("");
  EXPECT_EQ(RunTablesListing(scratch / "missing", out, errors), 1);
  EXPECT_NE(errors.str().find((scratch / "missing").string()), std::string::npos);
}

}  // namespace
}  // namespace zelbo
