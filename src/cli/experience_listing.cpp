// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/experience_listing.h"

#include "cli/board_grid.h"
#include "experience/experience_file.h"
#include "files/io_error.h"
#include "game/notation.h"

namespace zelbo {

int RunExperienceListing(const std::filesystem::path& file, std::ostream& out,
                         std::ostream& errors) {
  ExperienceFileContents store;
  try {
    store = ReadExperienceFile(file);
  } catch (const IoError& error) {
    errors << error.text() << '\n';
    return 1;
  }
  for (std::size_t i = 0; i < store.records.size(); ++i) {
    const ExperienceRecord& record = store.records[i];
    out << "record " << i << " from=" << SquareName(record.from) << " to=" << SquareName(record.to)
        << " captured=" << SquareName(record.captured) << '\n'
        << BoardGrid(record.pattern) << '\n';
  }
  out << store.records.size() << (store.records.size() == 1 ? " record" : " records") << '\n';
  if (store.trailing_bytes > 0) {
    out << "trailing " << store.trailing_bytes << " bytes not listed\n";
  }
  return 0;
}

}  // namespace zelbo
