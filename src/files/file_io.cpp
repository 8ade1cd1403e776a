#include "files/file_io.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <system_error>
#include <utility>

namespace zelbo {
namespace {

namespace fs = std::filesystem;

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
// A stream that a failure leaves open is closed unchecked; the normal path closes it with Close.
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// The error number of the call that just failed, or `fallback` when the library left none.
int LastError(int fallback) { return errno != 0 ? errno : fallback; }

void Close(FileHandle file) {
  errno = 0;
  if (std::fclose(file.release()) != 0) throw SystemIoError(LastError(EIO));
}

// A fresh file beside the one it will replace. It is removed again unless Commit says it has
// taken the old file's place.
class TemporaryFile {
 public:
  explicit TemporaryFile(const fs::path& target) {
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    // Cut so that a name near the system's limit still leaves room for the suffix.
    const std::string prefix = "." + target.filename().string().substr(0, 200) + ".tmp-";
    for (int attempt = 0; attempt < 100; ++attempt) {
      path_ = folder / (prefix + RandomSuffix());
      errno = 0;
      file_.reset(std::fopen(path_.c_str(), "wbx"));
      if (file_) return;
      if (errno != EEXIST) break;
    }
    const int error = LastError(EEXIST);
    path_.clear();
    throw SystemIoError(error);
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  ~TemporaryFile() {
    file_.reset();
    std::error_code ignored;
    if (!path_.empty()) fs::remove(path_, ignored);
  }

  // Writes all the bytes and closes the file, checking the write, the flush and the close.
  void WriteAndClose(std::span<const uint8_t> bytes) {
    errno = 0;
    // An empty file is written by writing nothing: fwrite may not be handed an empty span's null.
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file_.get()) != bytes.size()) {
      throw SystemIoError(LastError(ENOSPC));
    }
    errno = 0;
    if (std::fflush(file_.get()) != 0) throw SystemIoError(LastError(ENOSPC));
    Close(std::move(file_));
  }

  void Commit() { path_.clear(); }
  const fs::path& path() const { return path_; }

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
  FileHandle file_;
};

// The file that a write to `path` changes: the target of a symbolic link, else `path` itself.
fs::path ReplacedFile(const fs::path& path) {
  std::error_code error;
  if (!fs::is_symlink(path, error)) return path;
  fs::path target = fs::weakly_canonical(path, error);
  return error ? path : target;
}

// Gives the new file the permissions of the file it replaces, when there is one.
void KeepPermissions(const fs::path& replaced, const fs::path& replacement) {
  std::error_code error;
  const fs::file_status status = fs::status(replaced, error);
  if (error) {
    if (error == std::errc::no_such_file_or_directory) return;
    throw SystemIoError(error.value());
  }
  if (!fs::is_regular_file(status)) return;
  fs::permissions(replacement, status.permissions(), fs::perm_options::replace, error);
  if (error) throw SystemIoError(error.value());
}

}  // namespace

std::vector<uint8_t> ReadFileBytes(const fs::path& path, std::size_t max_bytes) {
  errno = 0;
  FileHandle file(std::fopen(path.c_str(), "rb"));
  if (!file) throw SystemIoError(LastError(EIO));
  std::error_code error;
  const std::uintmax_t size = fs::file_size(path, error);
  if (error) throw SystemIoError(error.value());
  std::vector<uint8_t> bytes(static_cast<std::size_t>(std::min<std::uintmax_t>(size, max_bytes)));
  errno = 0;
  const std::size_t read =
      bytes.empty() ? 0 : std::fread(bytes.data(), 1, bytes.size(), file.get());
  if (read < bytes.size() && std::ferror(file.get())) throw SystemIoError(LastError(EIO));
  bytes.resize(read);
  Close(std::move(file));
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
  TemporaryFile temporary(target);
  temporary.WriteAndClose(bytes);
  KeepPermissions(target, temporary.path());
  std::error_code error;
  fs::rename(temporary.path(), target, error);
  if (error) throw SystemIoError(error.value());
  temporary.Commit();
}

}  // namespace zelbo
