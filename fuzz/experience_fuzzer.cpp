// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes as "braskel.exp": load the store, match it against a few boards and let the computer
// play from it, save it untouched, then page, delete and add in the editor's logic, perhaps let
// another copy of the program rewrite the store meanwhile, and save again. The bytes after the
// last whole record, which the store ignores, choose the editing.
//
// What must hold: the store holds one record per whole 198 bytes, each as its bytes say, and
// the editor starts one past the last; a save with no change gives back exactly the whole records
// of the input; the computer plays the newest matching record with a playable move, changing no
// square but its From, To and Captured, or plays nothing when none matches; paging stays within
// the list, a delete removes one record, an add appends the working record; what is saved is
// what the list then holds; and of what the other copy saved, only records this copy deleted go,
// while every record this copy added stays.
#include <algorithm>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "computer/experience_matching.h"
#include "experience/experience_editing.h"
#include "experience/experience_file.h"
#include "fuzz_support.h"
#include "game/game_state.h"

namespace zelbo::fuzz {
namespace {

// How many times each record stands in a list, by its bytes.
std::map<std::vector<uint8_t>, int> Counts(const std::vector<ExperienceRecord>& records) {
  std::map<std::vector<uint8_t>, int> counts;
  for (const ExperienceRecord& record : records) {
    std::vector<uint8_t> bytes(kExperienceRecordSize);
    EncodeExperienceRecord(record, std::span<uint8_t, kExperienceRecordSize>(bytes.data(), 198));
    ++counts[bytes];
  }
  return counts;
}

// Another copy of the program saves the store it read: without every `step`-th record, with the
// first `extra` records again at its end.
std::vector<ExperienceRecord> OtherCopySaves(const std::filesystem::path& path,
                                             const std::vector<ExperienceRecord>& read,
                                             uint8_t choice) {
  const std::size_t step = choice % 5 + 2, extra = choice / 5 % 4;
  std::vector<ExperienceRecord> theirs;
  for (std::size_t i = 0; i < read.size(); ++i) {
    if (i % step != 0) theirs.push_back(read[i]);
  }
  for (std::size_t i = 0; i < std::min(extra, read.size()); ++i) theirs.push_back(read[i]);
  WriteExperienceFile(path, theirs);
  return theirs;
}

// The counts of a record in the base both copies read, in each copy's list, and in the merged
// store: what the other copy added is there unless this copy deleted as many, and what this copy
// added is there.
void CheckMerged(const std::vector<ExperienceRecord>& base,
                 const std::vector<ExperienceRecord>& ours,
                 const std::vector<ExperienceRecord>& theirs,
                 const std::vector<ExperienceRecord>& merged) {
  const auto in_base = Counts(base), in_ours = Counts(ours), in_theirs = Counts(theirs);
  const auto in_merged = Counts(merged);
  const auto count = [](const auto& counts, const auto& key) {
    const auto found = counts.find(key);
    return found == counts.end() ? 0 : found->second;
  };
  for (const auto& counts : {in_ours, in_theirs, in_merged}) {
    for (const auto& [record, n] : counts) {
      const int b = count(in_base, record), o = count(in_ours, record);
      const int t = count(in_theirs, record), m = count(in_merged, record);
      ZELBO_CHECK(m >= t - b && m >= o - b && m <= t + o,
                  "base " + std::to_string(b) + " ours " + std::to_string(o) + " theirs " +
                      std::to_string(t) + " merged " + std::to_string(m));
    }
  }
}

std::vector<uint8_t> Encoded(const std::vector<ExperienceRecord>& records) {
  std::vector<uint8_t> bytes(records.size() * kExperienceRecordSize);
  for (std::size_t i = 0; i < records.size(); ++i) {
    EncodeExperienceRecord(records[i],
                           std::span<uint8_t, kExperienceRecordSize>(
                               bytes.data() + i * kExperienceRecordSize, kExperienceRecordSize));
  }
  return bytes;
}

// The computer's experience on one board: the newest matching record with a playable move.
void CheckMatch(GameState& state, const Board& board) {
  state.board = board;
  state.side_to_move = kComputerSide;
  FuzzPort port;
  std::size_t newest = state.experience_list.size();
  for (std::size_t i = state.experience_list.size(); i-- > 0;) {
    const ExperienceRecord& r = state.experience_list[i];
    if (PatternMatches(r, board) && HasPlayableMove(r)) {
      newest = i;
      break;
    }
  }
  bool played = false;
  PlayExperience(state, port, played);
  if (newest == state.experience_list.size()) {
    ZELBO_CHECK(!played && port.messages.empty() && state.board == board, DescribeBoard(board));
    ZELBO_CHECK(state.side_to_move == kComputerSide, "");
    return;
  }
  const ExperienceRecord& r = state.experience_list[newest];
  ZELBO_CHECK(played && state.side_to_move == kPlayerSide, "");
  ZELBO_CHECK(port.messages.size() == 1, std::to_string(port.messages.size()));
  ZELBO_CHECK(port.messages[0].ends_with(std::to_string(newest)), port.messages[0]);
  ZELBO_CHECK(SameExtraBytes(state.board, board), DescribeBoard(state.board));
  for (int column = 1; column <= 8; ++column) {
    for (int row = 1; row <= 8; ++row) {
      const SquareRef s = MakeSquare(column, row);
      if (s == r.from || s == r.to || s == r.captured) continue;
      ZELBO_CHECK(state.board.Code(column, row) == board.Code(column, row),
                  SquareName(s) + " changed: " + DescribeBoard(state.board));
    }
  }
}

void Run(std::span<const uint8_t> bytes) {
  const std::filesystem::path path = ScratchFolder() / "braskel.exp";
  WriteWholeFile(path, bytes);
  const std::size_t count = bytes.size() / kExperienceRecordSize;
  const std::size_t whole = count * kExperienceRecordSize;

  const ExperienceFileContents contents = ReadExperienceFile(path);
  ZELBO_CHECK(contents.records.size() == count, std::to_string(contents.records.size()));
  ZELBO_CHECK(contents.trailing_bytes == bytes.size() - whole, "");
  const std::vector<uint8_t> input_records(bytes.begin(),
                                           bytes.begin() + static_cast<std::ptrdiff_t>(whole));
  ZELBO_CHECK(Encoded(contents.records) == input_records, "a record is not its bytes");

  GameState state;
  FuzzPort port;
  const auto shown = LoadExperienceFile(state, port, path);
  ZELBO_CHECK(port.messages.empty(), port.messages.front());
  ZELBO_CHECK(state.experience_list == contents.records, "");
  ZELBO_CHECK(state.experience_count == count && state.experience_index == count, "");
  ZELBO_CHECK(shown.has_value() == (count > 0), "");
  if (shown) ZELBO_CHECK(*shown == contents.records.back() && state.edit_record == *shown, "");

  SaveExperienceFile(state, port, path);
  ZELBO_CHECK(port.messages.empty(), port.messages.front());
  ZELBO_CHECK(ReadWholeFile(path) == input_records, "a save with no change rewrote the store");

  // The opening, and each record's own pattern as a board.
  Board opening{};
  SetupInitialPosition(opening);
  const std::vector<ExperienceRecord> loaded = state.experience_list;
  CheckMatch(state, opening);
  for (std::size_t i = 0; i < std::min<std::size_t>(loaded.size(), 4); ++i) {
    CheckMatch(state, loaded[loaded.size() - 1 - i].pattern);
  }
  ZELBO_CHECK(state.experience_list == loaded, "matching changed the store");

  ByteSource edits(bytes.subspan(whole));
  for (int step = 0; step < 16 && !edits.empty(); ++step) {
    const uint8_t op = edits.Next();
    const std::size_t size = state.experience_list.size();
    switch (op % 4) {
      case 0:
      case 1: {
        const bool paged = PageExperience(state, op % 4 == 0);
        ZELBO_CHECK(paged == (size > 0), "");
        if (paged) {
          ZELBO_CHECK(state.experience_index < size, std::to_string(state.experience_index));
          ZELBO_CHECK(state.edit_record == state.experience_list[state.experience_index], "");
        }
        break;
      }
      case 2: {
        const bool deleted = DeleteExperienceRecord(state);
        ZELBO_CHECK(deleted == (size > 0), "");
        ZELBO_CHECK(state.experience_list.size() == size - (deleted ? 1 : 0), "");
        break;
      }
      default: {
        const ExperienceRecord working = state.edit_record;
        AddExperienceRecord(state);
        ZELBO_CHECK(state.experience_list.size() == size + 1, "");
        ZELBO_CHECK(state.experience_list.back() == working, "");
        break;
      }
    }
    ZELBO_CHECK(state.experience_count == state.experience_list.size(),
                std::to_string(state.experience_count));
  }
  const std::vector<ExperienceRecord> ours = state.experience_list;
  const std::optional<std::vector<ExperienceRecord>> theirs =
      edits.empty() ? std::nullopt : std::optional(OtherCopySaves(path, loaded, edits.Next()));
  SaveExperienceFile(state, port, path);
  ZELBO_CHECK(port.messages.empty(), port.messages.front());
  ZELBO_CHECK(ReadWholeFile(path) == Encoded(state.experience_list), "the save is not the list");
  ZELBO_CHECK(state.experience_count == state.experience_list.size(), "");
  ZELBO_CHECK(state.experience_index <= state.experience_count, "");
  if (theirs) CheckMerged(loaded, ours, *theirs, state.experience_list);
}

}  // namespace
}  // namespace zelbo::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  zelbo::fuzz::Run(std::span<const uint8_t>(data, size));
  return 0;
}
