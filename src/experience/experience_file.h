// SPDX-License-Identifier: GPL-3.0-or-later
// The experience store "braskel.exp": the records of the list one after another, 198 bytes each,
// with no header, count or checksum. A record is its pattern's 192-byte board image, then From,
// To and Captured as little-endian 16-bit words; every byte is kept as it was read, so a store
// goes back to its file byte for byte. Trailing bytes that make no whole record are not read.
//
// The store is never created here: a missing file is reported as " No experience " both when it is
// loaded and when it is saved. A save writes the whole list to a new file beside the old one and
// renames it over it, so a failed save leaves the old store whole.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "experience/experience_record.h"
#include "files/file_io.h"
#include "files/file_places.h"
#include "files/io_error.h"
#include "game/board_window_port.h"
#include "game/game_state.h"

namespace zelbo {

inline constexpr std::size_t kExperienceRecordSize = 198;
inline constexpr std::string_view kExperienceFileName = "braskel.exp";
inline constexpr std::string_view kNoExperienceText = " No experience ";

// The largest store that is read: 64 MiB, some 340,000 records, far beyond what anyone draws by
// hand. A larger file is refused whole ("Fichier trop grand (plus de 64 Mio)" and its name) rather
// than loaded cut short, which the next save would make final.
inline constexpr std::size_t kMaxExperienceFileBytes = kMaxWholeFileBytes;

// "braskel.exp" in `folder` (the executable's folder in the program).
std::filesystem::path ExperienceFilePath(const std::filesystem::path& folder);

// A record from its 198 bytes, and back.
ExperienceRecord DecodeExperienceRecord(std::span<const uint8_t, kExperienceRecordSize> bytes);
void EncodeExperienceRecord(const ExperienceRecord& record,
                            std::span<uint8_t, kExperienceRecordSize> bytes);

struct ExperienceFileContents {
  std::vector<ExperienceRecord> records;
  std::size_t trailing_bytes = 0;  // after the last whole record, not read as one
};

// The records of a store file; any failure throws its IoError.
ExperienceFileContents ReadExperienceFile(const std::filesystem::path& path);

// Replaces the file by the records; any failure throws its IoError and leaves the old file whole.
void WriteExperienceFile(const std::filesystem::path& path,
                         std::span<const ExperienceRecord> records);

// Reads the store at `place.read` into the list. Without a file the message " No experience " is
// shown and nothing changes. Otherwise the list is emptied and filled with the file's records, the
// last of them becomes the editor's record and the editor's index points one past the end. A
// failure is shown and ends the load with the list empty. Returns the record that the editor should
// now draw: the last one loaded, none when the file held none or could not be read.
std::optional<ExperienceRecord> LoadExperienceFile(GameState& state, BoardWindowPort& port,
                                                   const UserFilePlace& place);
std::optional<ExperienceRecord> LoadExperienceFile(GameState& state, BoardWindowPort& port,
                                                   const std::filesystem::path& path);

// Rewrites the store at `place.write` from the list, making its folder first when it is missing.
// The store exists when either the file read or the file written does; without one the message
// " No experience " is shown and nothing is written, so records added then live in memory only;
// the same holds, with the load's failure shown again, for a store that could not be read. A
// failure is shown.
//
// Other copies of the program may save the store too: under a lock on its folder, the file is read
// again, and when another copy changed it since this one last read or wrote it, this copy's
// additions and deletions are carried over to it (see experience_merge.h); the list, its count and
// the editor's index then become the merged store. A file that did not change is replaced by the
// list, as it stands.
void SaveExperienceFile(GameState& state, BoardWindowPort& port, const UserFilePlace& place);
void SaveExperienceFile(GameState& state, BoardWindowPort& port, const std::filesystem::path& path);

}  // namespace zelbo
