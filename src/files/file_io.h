// Reading and rewriting the program's data files. Every step is checked at once and the first
// failure throws an IoError. A rewritten file is written beside the old one under a temporary
// name and renamed over it, so a failed write never leaves half a file behind.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

#include "files/io_error.h"

namespace zelbo {

// The first `max_bytes` bytes of a file, or all of it when it is shorter, read in one call. A
// folder given as the file is refused access.
std::vector<uint8_t> ReadFileBytes(const std::filesystem::path& path, std::size_t max_bytes);

// Exactly the first `record_size` bytes of a file; bytes after them are not read. A shorter file
// fails with "Lecture au-delà de la fin de fichier".
std::vector<uint8_t> ReadFirstRecord(const std::filesystem::path& path, std::size_t record_size);

// Replaces the contents of `path` with `bytes`: written to a new file in the same folder, which
// takes the permissions of the file it replaces, then renamed over it. A symbolic link is followed
// and its target replaced. On failure the temporary file is removed and the old file stays whole.
void ReplaceFile(const std::filesystem::path& path, std::span<const uint8_t> bytes);

}  // namespace zelbo
