// SPDX-License-Identifier: GPL-3.0-or-later
// Two copies of the program may edit one store: each read it once and rewrites it whole. Before a
// save, what this copy changed since it last read or wrote the store is carried over to what the
// file holds now, so that the records another copy added or deleted meanwhile are kept as it left
// them.
//
// The editor only appends records and deletes them, so this copy's changes are read off its list:
// the records of the store as it last saw it that its list no longer holds were deleted, and those
// at the end of its list that the store did not hold were added. A record is known by its 198
// bytes: a deletion removes the record of those bytes from the file, the same one among equal
// records (the first, second ... of them), or the last when there are fewer now, and nothing when
// another copy deleted it already; the additions go after the file's records, in their order.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "experience/experience_record.h"

namespace zelbo {

struct MergedStore {
  std::vector<ExperienceRecord> records;
  // The index the editor shows in the merged list: the record it showed, wherever that is now;
  // one past the end when it showed none.
  uint32_t index = 0;
};

// The store to write: `ours` (the list, showing `index`) with this copy's changes since `base` (the
// store as this copy last read or wrote it) carried over to `disk` (what the file holds now).
// None when `disk` is `base`: `ours` is then the store, as it stands.
std::optional<MergedStore> MergeExperience(std::span<const ExperienceRecord> base,
                                           std::span<const ExperienceRecord> ours, uint32_t index,
                                           std::span<const ExperienceRecord> disk);

}  // namespace zelbo
