// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <optional>
#include <random>
#include <string>
#include <system_error>
#include <utility>

namespace zelbo {
namespace {

namespace fs = std::filesystem;

// The error number of the call that just failed, or `fallback` when the system left none.
int LastError(int fallback) { return errno != 0 ? errno : fallback; }

[[noreturn]] void Fail(int fallback) { throw SystemIoError(LastError(fallback)); }

// An open file. A failure that leaves it open closes it unchecked; the normal path closes it with
// Close, which checks.
class Descriptor {
 public:
  explicit Descriptor(int fd = -1) : fd_(fd) {}
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

  void Close() {
    errno = 0;
    if (::close(std::exchange(fd_, -1)) != 0) Fail(EIO);
  }

 private:
  int fd_;
};

struct stat StatusOf(int fd) {
  struct stat status {};
  errno = 0;
  if (::fstat(fd, &status) != 0) Fail(EIO);
  return status;
}

// A folder, a pipe or a device where a data file should be is refused access.
void RequireRegular(const struct stat& status) {
  if (!S_ISREG(status.st_mode)) throw SystemIoError(EACCES);
}

// An existing regular file, opened without waiting: a pipe with no writer would hold the open
// forever. Anything else is refused before it is opened, since opening a device may act on it,
// and checked again once open, in case it was swapped in between.
void OpenRegular(const fs::path& path, int flags, Descriptor& file, struct stat& status) {
  errno = 0;
  if (::stat(path.c_str(), &status) != 0) Fail(ENOENT);
  RequireRegular(status);
  errno = 0;
  file.Reset(::open(path.c_str(), flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (file.get() < 0) Fail(EIO);
  status = StatusOf(file.get());
  RequireRegular(status);
}

// Up to `count` bytes from the current position; fewer at the end of the file.
std::vector<uint8_t> ReadUpTo(int fd, std::size_t count) {
  std::vector<uint8_t> bytes(count);
  std::size_t done = 0;
  while (done < count) {
    errno = 0;
    const ssize_t n = ::read(fd, bytes.data() + done, count - done);
    if (n == 0) break;
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) Fail(EIO);
    done += static_cast<std::size_t>(n);
  }
  bytes.resize(done);
  return bytes;
}

void WriteAll(int fd, std::span<const uint8_t> bytes) {
  while (!bytes.empty()) {
    errno = 0;
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) Fail(ENOSPC);
    bytes = bytes.subspan(static_cast<std::size_t>(n));
  }
}

// Puts what was written on the disk. A file system that cannot sync has nothing to put there.
void Sync(int fd) {
  errno = 0;
  if (::fsync(fd) != 0 && errno != EINVAL) Fail(EIO);
}

fs::path FolderOf(const fs::path& file) {
  return file.has_parent_path() ? file.parent_path() : fs::path(".");
}

// Makes a rename in `folder` last through a power cut. The file has taken its new place by now:
// a folder this process may not open is left to the system's own pace.
void SyncFolder(const fs::path& folder) {
  Descriptor handle(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (handle.get() < 0) return;
  Sync(handle.get());
  handle.Close();
}

// The folder refuses this process a new entry, or refuses to let it replace the old one (a
// folder it may not write, a sticky folder and someone else's file).
bool FolderRefuses(int error) { return error == EACCES || error == EPERM; }

// The error number of a refusal by the folder, which a rewrite in place may get round; any other
// failure is thrown.
int Refusal(int error) {
  if (FolderRefuses(error)) return error;
  throw SystemIoError(error);
}

// A fresh file beside the one it will replace. It is removed again unless Commit says it has
// taken the old file's place.
class TemporaryFile {
 public:
  TemporaryFile() = default;
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  ~TemporaryFile() {
    file_.Reset(-1);
    if (!path_.empty()) ::unlink(path_.c_str());
  }

  // Creates it; 0, or the system's error number when the folder takes no new file.
  int Create(const fs::path& target) {
    // Cut so that a name near the system's limit still leaves room for the suffix.
    const std::string prefix = "." + target.filename().string().substr(0, 200) + ".tmp-";
    int error = EEXIST;
    for (int attempt = 0; attempt < 100 && error == EEXIST; ++attempt) {
      const fs::path path = FolderOf(target) / (prefix + RandomSuffix());
      errno = 0;
      file_.Reset(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
      if (file_.get() >= 0) {
        path_ = path;
        return 0;
      }
      error = LastError(EEXIST);
    }
    return error;
  }

  int descriptor() const { return file_.get(); }
  const fs::path& path() const { return path_; }
  void Close() { file_.Close(); }
  void Commit() { path_.clear(); }

 private:
  static std::string RandomSuffix() {
    static constexpr char kLetters[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::random_device random;
    std::uniform_int_distribution<int> pick(0, sizeof kLetters - 2);
    std::string suffix(6, ' ');
    for (char& c : suffix) c = kLetters[pick(random)];
    return suffix;
  }

  fs::path path_;
  Descriptor file_;
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
  Fail(EIO);
}

// Only a regular file that this process may write is replaced: a rename would otherwise replace
// a read-only file, someone else's file or a pipe without asking the file itself.
void RequireWritable(const fs::path& target, const struct stat& status) {
  RequireRegular(status);
  errno = 0;
  if (::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) Fail(EACCES);
}

// Writes the new file beside the old one and renames it over it, the new file on the disk before
// the rename and the rename on the disk after it. 0 when done; the error number when the folder
// refused the new file or the rename, with the old file untouched.
int ReplaceThroughTemporary(const fs::path& target, std::span<const uint8_t> bytes,
                            const std::optional<struct stat>& existing) {
  TemporaryFile temporary;
  if (const int error = temporary.Create(target); error != 0) return Refusal(error);
  WriteAll(temporary.descriptor(), bytes);
  errno = 0;
  if (existing && ::fchmod(temporary.descriptor(), existing->st_mode & 07777) != 0) Fail(EIO);
  Sync(temporary.descriptor());
  temporary.Close();
  errno = 0;
  if (::rename(temporary.path().c_str(), target.c_str()) != 0) return Refusal(LastError(EIO));
  temporary.Commit();
  SyncFolder(FolderOf(target));
  return 0;
}

// The plain rewrite: the file emptied and written again where it is.
void RewriteInPlace(const fs::path& target, std::span<const uint8_t> bytes) {
  Descriptor file;
  struct stat status {};
  OpenRegular(target, O_WRONLY | O_TRUNC, file, status);
  WriteAll(file.get(), bytes);
  Sync(file.get());
  file.Close();
}

}  // namespace

std::vector<uint8_t> ReadFileBytes(const fs::path& path, std::size_t max_bytes) {
  Descriptor file;
  struct stat status {};
  OpenRegular(path, O_RDONLY, file, status);
  const auto size = static_cast<std::uintmax_t>(status.st_size);
  std::vector<uint8_t> bytes = ReadUpTo(file.get(), std::min<std::uintmax_t>(size, max_bytes));
  file.Close();
  return bytes;
}

std::vector<uint8_t> ReadWholeFile(const fs::path& path, std::size_t max_bytes) {
  std::vector<uint8_t> bytes = ReadFileBytes(path, max_bytes + 1);
  if (bytes.size() > max_bytes) throw SystemIoError(EFBIG);
  return bytes;
}

std::vector<uint8_t> ReadFirstRecord(const fs::path& path, std::size_t record_size) {
  std::vector<uint8_t> record = ReadFileBytes(path, record_size);
  if (record.size() < record_size) throw ReadPastEndError();
  return record;
}

void ReplaceFile(const fs::path& path, std::span<const uint8_t> bytes) {
  const fs::path target = ReplacedFile(path);
  if (!target.has_filename()) throw SystemIoError(EISDIR);
  const std::optional<struct stat> existing = ExistingFile(target);
  if (existing) RequireWritable(target, *existing);
  const int refused = ReplaceThroughTemporary(target, bytes, existing);
  if (refused == 0) return;
  if (!existing) throw SystemIoError(refused);
  RewriteInPlace(target, bytes);
}

}  // namespace zelbo
