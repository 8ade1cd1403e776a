// SPDX-License-Identifier: GPL-3.0-or-later
#include "experience/experience_merge.h"

#include <algorithm>
#include <cstddef>

namespace zelbo {
namespace {

using Records = std::span<const ExperienceRecord>;

// Which of the records equal to the one at `position` it is, 0 for the first of them, counting
// none of the positions marked `passed`.
std::size_t Rank(Records records, std::size_t position, const std::vector<bool>& passed) {
  std::size_t rank = 0;
  for (std::size_t i = 0; i < position; ++i) {
    if (!passed[i] && records[i] == records[position]) ++rank;
  }
  return rank;
}

// Where the record equal to `record` of rank `rank` stands in `records`, or the last equal one
// when there are fewer; none when no record is equal. Positions marked `passed` are passed over.
std::optional<std::size_t> Find(Records records, const ExperienceRecord& record, std::size_t rank,
                                const std::vector<bool>& passed) {
  std::optional<std::size_t> found;
  std::size_t seen = 0;
  for (std::size_t i = 0; i < records.size() && seen <= rank; ++i) {
    if (passed[i] || records[i] != record) continue;
    found = i;
    ++seen;
  }
  return found;
}

// What this copy did to `base` to get `ours`: the record of `base` that each of the first records
// of `ours` is, in order, and which records of `base` it deleted. The rest of `ours` it added.
struct Changes {
  std::vector<std::size_t> kept;  // kept[i]: the position in `base` of ours[i]
  std::vector<bool> deleted;      // by position in `base`
};

Changes ChangesSince(Records base, Records ours) {
  Changes changes{{}, std::vector<bool>(base.size(), true)};
  std::size_t b = 0;
  for (const ExperienceRecord& record : ours) {
    while (b < base.size() && base[b] != record) ++b;
    if (b == base.size()) break;
    changes.kept.push_back(b);
    changes.deleted[b++] = false;
  }
  return changes;
}

}  // namespace

std::optional<MergedStore> MergeExperience(Records base, Records ours, uint32_t index,
                                           Records disk) {
  if (std::ranges::equal(base, disk)) return std::nullopt;
  const Changes changes = ChangesSince(base, ours);
  std::vector<bool> removed(disk.size(), false);
  for (std::size_t b = 0; b < base.size(); ++b) {
    if (!changes.deleted[b]) continue;
    if (const auto at = Find(disk, base[b], Rank(base, b, changes.deleted), removed))
      removed[*at] = true;
  }
  MergedStore merged;
  for (std::size_t i = 0; i < disk.size(); ++i) {
    if (!removed[i]) merged.records.push_back(disk[i]);
  }
  const std::size_t theirs = merged.records.size();
  merged.records.insert(merged.records.end(), ours.begin() + changes.kept.size(), ours.end());

  // The shown record: one of ours added at the end, or one kept from the store where the file
  // holds it now, or, gone from the file, the record at the same index.
  const std::size_t count = merged.records.size();
  std::size_t shown = std::min<std::size_t>(index, count == 0 ? 0 : count - 1);
  if (index >= ours.size()) {
    shown = count;
  } else if (index >= changes.kept.size()) {
    shown = theirs + (index - changes.kept.size());
  } else {
    const std::size_t b = changes.kept[index];
    if (const auto at = Find(disk, base[b], Rank(base, b, changes.deleted), removed)) {
      shown =
          *at - static_cast<std::size_t>(std::count(removed.begin(), removed.begin() + *at, true));
    }
  }
  merged.index = static_cast<uint32_t>(shown);
  return merged;
}

}  // namespace zelbo
