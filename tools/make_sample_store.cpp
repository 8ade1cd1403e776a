// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the experience store that Zelbo ships, braskel.exp, into the folder it is given:
//   build/tools/zelbo-make-sample-store assets
// Each record is drawn as the editor would draw it (unusable squares 3, the other bytes zero), in
// the board notation of zelbo-cli: rows 1 to 8, columns A to H, '?' not important, '+' any piece
// of side +1, '-' any piece of side -1. The first records answer the player's first moves, so
// that with "Experience" ticked they are seen at work from the opening; the last two take a man
// to the far row and move the new king.
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <optional>
#include <vector>

#include "experience/experience_file.h"
#include "files/io_error.h"
#include "game/notation.h"

namespace {

struct SampleRecord {
  const char* pattern;
  const char* from;
  const char* to;
  const char* captured;  // "-" for none
};

// Oldest first; the computer tries the newest first.
constexpr SampleRecord kSamples[] = {
    // 0: whatever the player's first move, C3 steps out to D4.
    {"cxcxcxcx/xcxcxcxc/cxcxcxcx/x.x.x.x./?x?x?x?x/x?x?x?x?/?x?x?x?x/x?x?x?x?", "C3", "D4", "-"},
    // 1: a piece of the player that took its way to C3 is taken back from B2.
    {"?x?x?x?x/xcx?x?x?/?x-x?x?x/x?x.x?x?/?x?x?x?x/x?x?x?x?/?x?x?x?x/x?x?x?x?", "B2", "D4", "C3"},
    // 2: D4 still stands with nothing beside it: B2 fills the gap behind it.
    {"cxcxcxcx/xcxcxcxc/cx.xcxcx/x.x+x.x./?x.x.x?x/x?x?x?x?/?x?x?x?x/x?x?x?x?", "B2", "C3", "-"},
    // 3: a king on H8 with the diagonal open comes out to F6.
    {"?x?x?x?x/x?x?x?x?/?x?x?x?x/x?x?x?x?/?x?x?x?x/x?x?x.x?/?x?x?x.x/x?x?x?xC", "H8", "F6", "-"},
    // 4: after the exchange on C3, the piece on D2 takes C3 to guard D4.
    {"cxcxcxcx/x.x+x?x?/?x.x?x?x/x?x+x?x?/?x.x.x?x/x?x?x?x?/?x?x?x?x/x?x?x?x?", "D2", "C3", "-"},
    // 5: a man on G7 with H8 free goes on to be crowned.
    {"?x?x?x?x/x?x?x?x?/?x?x?x?x/x?x?x?x?/?x?x?x?x/x?x?x?x?/?x?x?xcx/x?x?x?x.", "G7", "H8", "-"},
};

std::optional<zelbo::ExperienceRecord> RecordOf(const SampleRecord& sample) {
  const auto pattern = zelbo::ParseBoardLine(sample.pattern);
  const auto from = zelbo::ParseSquareName(sample.from);
  const auto to = zelbo::ParseSquareName(sample.to);
  const auto captured = std::string_view(sample.captured) == "-"
                            ? std::optional<zelbo::SquareRef>(0)
                            : zelbo::ParseSquareName(sample.captured);
  if (!pattern || !from || !to || !captured) return std::nullopt;
  return zelbo::ExperienceRecord{*pattern, *from, *to, *captured};
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: zelbo-make-sample-store FOLDER\n";
    return 2;
  }
  std::vector<zelbo::ExperienceRecord> records;
  for (const SampleRecord& sample : kSamples) {
    const auto record = RecordOf(sample);
    if (!record) {
      std::cerr << "bad sample record: " << sample.pattern << '\n';
      return 1;
    }
    records.push_back(*record);
  }
  const std::filesystem::path path = zelbo::ExperienceFilePath(argv[1]);
  try {
    zelbo::WriteExperienceFile(path, records);
  } catch (const zelbo::IoError& error) {
    std::cerr << path.string() << ": " << error.text() << '\n';
    return 1;
  }
  std::cout << path.string() << ": " << records.size() << " records\n";
  return EXIT_SUCCESS;
}
