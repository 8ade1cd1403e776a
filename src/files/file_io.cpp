// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/file_io.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <system_error>
#include <thread>
#include <utility>

namespace zelbo {
namespace {

namespace fs = std::filesystem;

// The error number of the call that just failed, or `fallback` when the system left none.
int LastError(int fallback) { return errno != 0 ? errno : fallback; }

// The failure of a call on `file`, the file the user knows (not a temporary name).
[[noreturn]] void Fail(int fallback, const fs::path& file) {
  throw SystemIoError(LastError(fallback), file);
}

// An open file, and the name its failures are reported under. A failure that leaves it open
// closes it unchecked; the normal path closes it with Close, which checks.
class Descriptor {
 public:
  explicit Descriptor(int fd = -1, fs::path file = {}) : fd_(fd), file_(std::move(file)) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }

  void Reset(int fd) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
  }
  int get() const { return fd_; }
  const fs::path& file() const { return file_; }

  void Close() {
    errno = 0;
    if (::close(std::exchange(fd_, -1)) != 0) Fail(EIO, file_);
  }

 private:
  int fd_;
  fs::path file_;
};

struct stat StatusOf(const Descriptor& file) {
  struct stat status {};
  errno = 0;
  if (::fstat(file.get(), &status) != 0) Fail(EIO, file.file());
  return status;
}

// A folder, a pipe or a device where a data file should be is refused access.
void RequireRegular(const struct stat& status, const fs::path& file) {
  if (!S_ISREG(status.st_mode)) throw SystemIoError(EACCES, file);
}

// An existing regular file, opened without waiting: a pipe with no writer would hold the open
// forever. Anything else is refused before it is opened, since opening a device may act on it,
// and checked again once open, in case it was swapped in between.
void OpenRegular(const fs::path& path, int flags, Descriptor& file, struct stat& status) {
  errno = 0;
  if (::stat(path.c_str(), &status) != 0) Fail(ENOENT, path);
  RequireRegular(status, path);
  errno = 0;
  file.Reset(::open(path.c_str(), flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (file.get() < 0) Fail(EIO, path);
  status = StatusOf(file);
  RequireRegular(status, path);
}

// Up to `count` bytes from the current position; fewer at the end of the file.
std::vector<uint8_t> ReadUpTo(const Descriptor& file, std::size_t count) {
  std::vector<uint8_t> bytes(count);
  std::size_t done = 0;
  while (done < count) {
    errno = 0;
    const ssize_t n = ::read(file.get(), bytes.data() + done, count - done);
    if (n == 0) break;
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) Fail(EIO, file.file());
    done += static_cast<std::size_t>(n);
  }
  bytes.resize(done);
  return bytes;
}

void WriteAll(const Descriptor& file, std::span<const uint8_t> bytes) {
  while (!bytes.empty()) {
    errno = 0;
    const ssize_t n = ::write(file.get(), bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) Fail(ENOSPC, file.file());
    bytes = bytes.subspan(static_cast<std::size_t>(n));
  }
}

// Puts what was written on the disk. A file system that cannot sync has nothing to put there.
void Sync(const Descriptor& file) {
  errno = 0;
  if (::fsync(file.get()) != 0 && errno != EINVAL) Fail(EIO, file.file());
}

fs::path FolderOf(const fs::path& file) {
  return file.has_parent_path() ? file.parent_path() : fs::path(".");
}

// Makes a rename in `folder` last through a power cut. The file has taken its new place by now:
// a folder this process may not open is left to the system's own pace.
void SyncFolder(const fs::path& folder) {
  Descriptor handle(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC), folder);
  if (handle.get() < 0) return;
  Sync(handle);
  handle.Close();
}

// The folder refuses this process a new entry, or refuses to let it replace the old one (a
// folder it may not write, a sticky folder and someone else's file).
bool FolderRefuses(int error) { return error == EACCES || error == EPERM; }

// The error number of a refusal by the folder, which a rewrite in place may get round; any other
// failure is thrown.
int Refusal(int error, const fs::path& target) {
  if (FolderRefuses(error)) return error;
  throw SystemIoError(error, target);
}

// The temporary names of this module: "." + the name of the file replaced (cut to 200 bytes, so
// that a name near the system's limit still leaves room) + ".tmp-" + six letters or digits.
constexpr std::string_view kTemporaryMark = ".tmp-";
constexpr std::string_view kSuffixLetters =
    "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
constexpr std::size_t kSuffixLength = 6;

std::string TemporaryName(const fs::path& target) {
  std::random_device random;
  std::uniform_int_distribution<std::size_t> pick(0, kSuffixLetters.size() - 1);
  std::string suffix(kSuffixLength, ' ');
  for (char& c : suffix) c = kSuffixLetters[pick(random)];
  return "." + target.filename().string().substr(0, 200) + std::string(kTemporaryMark) + suffix;
}

bool IsTemporaryName(std::string_view name) {
  if (name.size() < 2 + kTemporaryMark.size() + kSuffixLength || name.front() != '.') return false;
  const std::string_view suffix = name.substr(name.size() - kSuffixLength);
  const std::string_view mark =
      name.substr(name.size() - kSuffixLength - kTemporaryMark.size(), kTemporaryMark.size());
  return mark == kTemporaryMark && suffix.find_first_not_of(kSuffixLetters) == std::string::npos;
}

// Whether two status records are of one file.
bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// A temporary of this module whose writer is certainly gone: a writer holds a lock on its
// temporary from before the file has a name until it has been renamed, and the system lets the
// lock go when the writer dies, however it dies. Only the user's own regular files are looked at.
void RemoveIfStale(int folder, const std::string& name) {
  Descriptor file(
      ::openat(folder, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  struct stat status {};
  struct stat now {};
  if (file.get() < 0 || ::fstat(file.get(), &status) != 0) return;
  if (!S_ISREG(status.st_mode) || status.st_uid != ::geteuid()) return;
  if (::flock(file.get(), LOCK_EX | LOCK_NB) != 0) return;
  // The name may have been taken by a new temporary since it was opened.
  if (::fstatat(folder, name.c_str(), &now, AT_SYMLINK_NOFOLLOW) != 0) return;
  if (SameFile(status, now)) ::unlinkat(folder, name.c_str(), 0);
}

// Removes what saves killed part-way left in `folder`. Whatever cannot be looked at stays.
void RemoveStaleTemporaries(const fs::path& folder) {
  Descriptor handle(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (handle.get() < 0) return;
  std::error_code error;
  fs::directory_iterator entries(folder, error);
  for (; !error && entries != fs::directory_iterator(); entries.increment(error)) {
    const std::string name = entries->path().filename().string();
    if (IsTemporaryName(name)) RemoveIfStale(handle.get(), name);
  }
}

// A fresh file beside the one it will replace, locked from its start for as long as it lives. It
// is made without a name where the file system can (a process killed while writing it then leaves
// nothing) and named just before the rename; else it is named from the start. It is removed again
// unless Commit says it has taken the old file's place.
class TemporaryFile {
 public:
  // Its failures are reported under the name of the file it replaces.
  explicit TemporaryFile(const fs::path& target) : file_(-1, target) {}
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  ~TemporaryFile() {
    file_.Reset(-1);
    if (!path_.empty()) ::unlink(path_.c_str());
  }

  // Creates it; 0, or the system's error number when the folder takes no new file.
  int Create(const fs::path& target) {
    if (CreateUnnamed(target)) return 0;
    int error = EEXIST;
    for (int attempt = 0; attempt < 100 && error == EEXIST; ++attempt) {
      error = CreateNamed(FolderOf(target) / TemporaryName(target));
    }
    return error;
  }

  // Gives an unnamed file its temporary name; 0, or the system's error number.
  int Name(const fs::path& target) {
    if (!path_.empty()) return 0;
    int error = EEXIST;
    for (int attempt = 0; attempt < 100 && error == EEXIST; ++attempt) {
      const fs::path path = FolderOf(target) / TemporaryName(target);
      errno = 0;
      if (::linkat(AT_FDCWD, SelfPath().c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0) {
        path_ = path;
        return 0;
      }
      error = LastError(EIO);
    }
    return error;
  }

  const Descriptor& descriptor() const { return file_; }
  const fs::path& path() const { return path_; }
  // Closes it, checked; its lock lasts until it is destroyed.
  void Close() { file_.Close(); }
  void Commit() { path_.clear(); }

 private:
  // The name under which the system shows the open file, which is how an unnamed file is named.
  std::string SelfPath() const { return "/proc/self/fd/" + std::to_string(file_.get()); }

  // An unnamed file in the target's folder, where the system has them and can name them later.
  bool CreateUnnamed(const fs::path& target) {
    file_.Reset(::open(FolderOf(target).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666));
    if (file_.get() < 0) return false;
    if (::access(SelfPath().c_str(), F_OK) != 0) {
      file_.Reset(-1);
      return false;
    }
    Lock();
    return true;
  }

  // 0, EEXIST when the name is taken, or the system's error number. A remover of stale
  // temporaries may take the new file between its creation and its lock: it is then made again
  // under another name.
  int CreateNamed(const fs::path& path) {
    errno = 0;
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) return LastError(EEXIST);
    file_.Reset(fd);
    Lock();
    struct stat mine {};
    struct stat there {};
    if (::fstat(fd, &mine) == 0 && ::lstat(path.c_str(), &there) == 0 && SameFile(mine, there)) {
      path_ = path;
      return 0;
    }
    file_.Reset(-1);
    lock_.Reset(-1);
    return EEXIST;
  }

  // The lock is held through a descriptor of its own, so that the checked close of the file
  // before its rename does not end it. A file system without locks leaves the file unlocked, and
  // then no remover can lock it either.
  void Lock() {
    int result;
    do {
      result = ::flock(file_.get(), LOCK_EX);
    } while (result != 0 && errno == EINTR);
    if (result == 0) lock_.Reset(::dup(file_.get()));
  }

  fs::path path_;
  Descriptor file_;
  Descriptor lock_;
};

// The file that a write to `path` changes: the target of a symbolic link, else `path` itself.
fs::path ReplacedFile(const fs::path& path) {
  std::error_code error;
  if (!fs::is_symlink(path, error)) return path;
  fs::path target = fs::weakly_canonical(path, error);
  return error ? path : target;
}

// The status of the file about to be replaced; none when there is no such file yet.
std::optional<struct stat> ExistingFile(const fs::path& target) {
  struct stat status {};
  errno = 0;
  if (::stat(target.c_str(), &status) == 0) return status;
  if (errno == ENOENT) return std::nullopt;
  Fail(EIO, target);
}

// Only a regular file that this process may write is replaced: a rename would otherwise replace
// a read-only file, someone else's file or a pipe without asking the file itself.
void RequireWritable(const fs::path& target, const struct stat& status) {
  RequireRegular(status, target);
  errno = 0;
  if (::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) Fail(EACCES, target);
}

// Writes the new file beside the old one and renames it over it, the new file on the disk before
// the rename and the rename on the disk after it. 0 when done; the error number when the folder
// refused the new file or the rename, with the old file untouched.
int ReplaceThroughTemporary(const fs::path& target, std::span<const uint8_t> bytes,
                            const std::optional<struct stat>& existing) {
  RemoveStaleTemporaries(FolderOf(target));
  TemporaryFile temporary(target);
  if (const int error = temporary.Create(target); error != 0) return Refusal(error, target);
  WriteAll(temporary.descriptor(), bytes);
  errno = 0;
  if (existing && ::fchmod(temporary.descriptor().get(), existing->st_mode & 07777) != 0) {
    Fail(EIO, target);
  }
  Sync(temporary.descriptor());
  if (const int error = temporary.Name(target); error != 0) return Refusal(error, target);
  temporary.Close();
  errno = 0;
  if (::rename(temporary.path().c_str(), target.c_str()) != 0) {
    return Refusal(LastError(EIO), target);
  }
  temporary.Commit();
  SyncFolder(FolderOf(target));
  return 0;
}

// The plain rewrite: the file emptied and written again where it is.
void RewriteInPlace(const fs::path& target, std::span<const uint8_t> bytes) {
  Descriptor file(-1, target);
  struct stat status {};
  OpenRegular(target, O_WRONLY | O_TRUNC, file, status);
  WriteAll(file, bytes);
  Sync(file);
  file.Close();
}

// The first `max_bytes` bytes of a file, and its size.
std::vector<uint8_t> ReadSized(const fs::path& path, std::size_t max_bytes, std::uintmax_t* size) {
  Descriptor file(-1, path);
  struct stat status {};
  OpenRegular(path, O_RDONLY, file, status);
  *size = static_cast<std::uintmax_t>(status.st_size);
  std::vector<uint8_t> bytes = ReadUpTo(file, std::min<std::uintmax_t>(*size, max_bytes));
  file.Close();
  return bytes;
}

// The name a file is remembered under: the file itself, whatever link or relative name leads to
// it.
fs::path KnownAs(const fs::path& path) {
  std::error_code error;
  fs::path file = fs::weakly_canonical(path, error);
  return error ? fs::absolute(path, error) : file;
}

}  // namespace

std::vector<uint8_t> ReadFileBytes(const fs::path& path, std::size_t max_bytes) {
  std::uintmax_t size = 0;
  return ReadSized(path, max_bytes, &size);
}

std::vector<uint8_t> ReadWholeFile(const fs::path& path, std::size_t max_bytes) {
  std::vector<uint8_t> bytes = ReadFileBytes(path, max_bytes + 1);
  if (bytes.size() > max_bytes) throw TooLargeError(max_bytes, path);
  return bytes;
}

std::vector<uint8_t> ReadFirstRecord(const fs::path& path, std::size_t record_size,
                                     FileVersion* version) {
  std::uintmax_t size = 0;
  std::vector<uint8_t> record = ReadSized(path, record_size, &size);
  if (record.size() < record_size) throw ReadPastEndError();
  if (version != nullptr) *version = {size, record};
  return record;
}

std::optional<FileVersion> ReadFileVersion(const fs::path& path, std::size_t head_bytes) {
  FileVersion version;
  try {
    version.head = ReadSized(path, head_bytes, &version.size);
  } catch (const IoError&) {
    return std::nullopt;
  }
  return version;
}

void RememberFileVersion(KnownFileVersions& known, const fs::path& path, FileVersion version) {
  known[KnownAs(path)] = std::move(version);
}

void ReplaceFile(const fs::path& path, std::span<const uint8_t> bytes) {
  const fs::path target = ReplacedFile(path);
  if (!target.has_filename()) throw SystemIoError(EISDIR, target);
  const std::optional<struct stat> existing = ExistingFile(target);
  if (existing) RequireWritable(target, *existing);
  const int refused = ReplaceThroughTemporary(target, bytes, existing);
  if (refused == 0) return;
  if (!existing) throw SystemIoError(refused, target);
  RewriteInPlace(target, bytes);
}

void ReplaceKnownFile(KnownFileVersions& known, const fs::path& path,
                      std::span<const uint8_t> bytes) {
  const fs::path file = KnownAs(path);
  const FolderLock turn(file.parent_path());
  if (const auto was = known.find(file); was != known.end()) {
    std::optional<FileVersion> now = ReadFileVersion(file, was->second.head.size());
    if (now && *now != was->second) {
      was->second = std::move(*now);  // told once; the next save replaces it
      throw ChangedOnDiskError(path);
    }
  }
  ReplaceFile(path, bytes);
  known[file] = {bytes.size(), {bytes.begin(), bytes.end()}};
}

FolderLock::FolderLock(const fs::path& folder, std::chrono::milliseconds patience)
    : descriptor_(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
  if (descriptor_ < 0) return;
  // Another copy holds its turn for the few milliseconds of a save; one stopped or hung while
  // holding it must not freeze this one, so the wait is bounded.
  const auto deadline = std::chrono::steady_clock::now() + patience;
  while (::flock(descriptor_, LOCK_EX | LOCK_NB) != 0) {
    if (errno != EWOULDBLOCK && errno != EINTR) return;  // no locks here: go on without
    if (std::chrono::steady_clock::now() >= deadline) {
      ::close(descriptor_);
      throw FolderBusyError(folder);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

FolderLock::~FolderLock() {
  if (descriptor_ >= 0) ::close(descriptor_);
}

}  // namespace zelbo
