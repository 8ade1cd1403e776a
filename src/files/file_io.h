// SPDX-License-Identifier: GPL-3.0-or-later
// Reading and rewriting the program's data files. Every step is checked at once and the first
// failure throws an IoError. Only regular files are read or replaced: a pipe, a device or a folder
// in a file's place is refused access, and opening one never waits for a writer. A rewritten file
// is written beside the old one, flushed to the disk and renamed over it, so a failed write, a
// killed process or a power cut leaves the old file or the new one, never half of one.
//
// The new file is written unnamed where the file system allows it and gets its temporary name
// (".NAME.tmp-XXXXXX") just before the rename, so a process killed while writing leaves nothing.
// The writer holds a lock on it throughout; a temporary of that pattern that nobody holds was left
// by a save that died, and the next save in the folder removes it.
//
// This module is where the library meets the operating system: besides the standard library it
// uses the POSIX calls that have no standard counterpart (open without blocking, fstat, access
// checks, fsync, unnamed files, advisory locks), in file_io.cpp only.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <span>
#include <vector>

#include "files/io_error.h"

namespace zelbo {

// The largest data file read whole: 64 MiB, far beyond anything the program writes or anyone
// types. A larger file is refused whole ("Fichier trop grand (plus de 64 Mio)" and its name)
// rather than read cut short.
inline constexpr std::size_t kMaxWholeFileBytes = std::size_t{64} << 20;

// The first `max_bytes` bytes of a file, or all of it when it is shorter. Anything but a regular
// file (a folder, a pipe, a device) is refused access.
std::vector<uint8_t> ReadFileBytes(const std::filesystem::path& path, std::size_t max_bytes);

// The whole of a file of at most `max_bytes`; a larger one fails with "Fichier trop grand".
std::vector<uint8_t> ReadWholeFile(const std::filesystem::path& path,
                                   std::size_t max_bytes = kMaxWholeFileBytes);

// What a file holds, as far as the program reads it: its size and its first bytes. A file whose
// version changed is another file to the user; one rewritten with the same bytes is not.
struct FileVersion {
  std::uintmax_t size = 0;
  std::vector<uint8_t> head;

  friend bool operator==(const FileVersion&, const FileVersion&) = default;
};

// The version of the file at `path` from its first `head_bytes` bytes; none when it cannot be
// read.
std::optional<FileVersion> ReadFileVersion(const std::filesystem::path& path,
                                           std::size_t head_bytes);

// The files this run read or wrote, each as it left them, under the name of the file itself
// (whatever link or relative name leads to it).
using KnownFileVersions = std::map<std::filesystem::path, FileVersion>;

// Remembers `version` as what this run read of the file at `path`.
void RememberFileVersion(KnownFileVersions& known, const std::filesystem::path& path,
                         FileVersion version);

// Exactly the first `record_size` bytes of a file; bytes after them are not read. A shorter file
// fails with "Lecture au-delà de la fin de fichier". `version`, when given, receives the version of
// the file read, from that record.
std::vector<uint8_t> ReadFirstRecord(const std::filesystem::path& path, std::size_t record_size,
                                     FileVersion* version = nullptr);

// An advisory lock on a folder, held while it lives: the copies of the program that rewrite a
// file of the folder under it take turns, each reading what the one before wrote. A folder that
// cannot be opened, or a file system without locks, gives no turns, and the work goes on without.
// A turn not had within `patience` (another program holds the lock) fails with FolderBusyError.
class FolderLock {
 public:
  static constexpr std::chrono::milliseconds kPatience{3000};

  explicit FolderLock(const std::filesystem::path& folder,
                      std::chrono::milliseconds patience = kPatience);
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;
  ~FolderLock();

 private:
  int descriptor_;
};

// Replaces the contents of `path` with `bytes`. A symbolic link is followed and its target
// replaced. An existing file that this process may not write, or that is not a regular file, is
// refused access and left as it was. Otherwise the bytes go to a new file in the same folder,
// which takes the permissions of the file it replaces, and that file is renamed over the old one;
// on failure it is removed and the old file stays whole. When the folder takes no new file (or
// refuses the rename) but the file itself may be written, the file is rewritten in place, as a
// plain rewrite would do.
void ReplaceFile(const std::filesystem::path& path, std::span<const uint8_t> bytes);

// ReplaceFile for a file the user saves by name, under the lock of its folder. A file that this
// run read or wrote before, and that changed on the disk since (another copy of the program,
// another program), is not replaced: ChangedOnDiskError says so, and the change is remembered, so
// that the next save, the user now knowing, replaces it. What is written is remembered as the
// file's version. The versions are compared on as many first bytes as `known` holds of the file.
void ReplaceKnownFile(KnownFileVersions& known, const std::filesystem::path& path,
                      std::span<const uint8_t> bytes);

}  // namespace zelbo
