// SPDX-License-Identifier: GPL-3.0-or-later
#include "posix/posix_file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <random>
#include <string_view>
#include <system_error>
#include <utility>

namespace voxrig {

namespace {

// ReplaceFile's temporary file: ".<name>.tmp-<pid>-<16 hex digits>".
constexpr std::string_view kTemporaryMark = ".tmp-";
constexpr std::size_t kRandomDigits = 16;

bool WriteAll(int fd, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    // A full disk, a quota, an I/O error; 0 for a non-empty write is a
    // failure too, or the loop would never end.
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

// Makes a rename in the folder survive a power cut. Some file systems cannot
// sync a folder; the rename has happened by then, so that is not a failure.
void SyncFolder(const std::string& folder) {
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

// The folder part of a path, with its slash ("" for a bare name).
std::string FolderPrefix(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

char AsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}

// Where a write of `path` must land: the file a symbolic link finally names,
// or the path itself. Nothing when a link points nowhere.
std::optional<std::string> WriteTarget(const std::string& path) {
  struct stat info {};
  if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
  char* resolved = realpath(path.c_str(), nullptr);
  if (resolved == nullptr) return std::nullopt;
  std::string target = resolved;
  std::free(resolved);
  return target;
}

// Creates a new temporary file beside `target` under a name that cannot be
// guessed. O_EXCL|O_NOFOLLOW: a name someone made first, a planted link
// included, is never opened; another name is tried instead.
int CreateTemporary(const std::string& target, std::string& temporary) {
  std::random_device seed;
  std::mt19937_64 random((static_cast<std::uint64_t>(seed()) << 32) | seed());
  const std::string prefix = FolderPrefix(target);
  const std::string name = target.substr(prefix.size());
  for (int attempt = 0; attempt < 16; ++attempt) {
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, "%016llx", static_cast<unsigned long long>(random()));
    temporary =
        prefix + "." + name + std::string(kTemporaryMark) + std::to_string(getpid()) + "-" + suffix;
    const int fd =
        open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

bool AllOf(std::string_view text, int (*test)(int)) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [&](char c) {
    return test(static_cast<unsigned char>(c)) != 0;
  });
}

// The file a name of CreateTemporary's form was to replace, and the process
// that made it: ".<name>.tmp-<pid>-<16 hex digits>".
std::optional<std::pair<std::string, pid_t>> TemporaryOf(const std::string& entry) {
  const std::size_t mark = entry.rfind(kTemporaryMark);
  if (entry.size() < 2 || entry[0] != '.' || mark == std::string::npos || mark < 2) {
    return std::nullopt;
  }
  const std::string_view rest = std::string_view(entry).substr(mark + kTemporaryMark.size());
  const std::size_t dash = rest.find('-');
  if (dash == std::string_view::npos || dash > 9) return std::nullopt;
  const std::string_view pid = rest.substr(0, dash), random = rest.substr(dash + 1);
  if (!AllOf(pid, isdigit) || random.size() != kRandomDigits || !AllOf(random, isxdigit)) {
    return std::nullopt;
  }
  return std::pair(entry.substr(1, mark - 1), static_cast<pid_t>(std::stol(std::string(pid))));
}

// A process that still runs, ours or another user's.
bool ProcessRuns(pid_t pid) {
  return pid > 0 && (kill(pid, 0) == 0 || errno == EPERM);
}

class PosixOutputFile : public OutputFile {
 public:
  explicit PosixOutputFile(int fd) : fd_(fd) {}
  ~PosixOutputFile() override { close(fd_); }
  PosixOutputFile(const PosixOutputFile&) = delete;
  PosixOutputFile& operator=(const PosixOutputFile&) = delete;
  bool Write(const std::string& bytes) override { return WriteAll(fd_, bytes); }

 private:
  int fd_;
};

}  // namespace

std::string PosixFileSystem::FullPath(const std::string& path) const {
  if (!path.empty() && path.front() == '/') return path;
  if (folder_.empty() || folder_ == ".") return path;
  return folder_ + "/" + path;
}

FileRead PosixFileSystem::Read(const std::string& path) {
  FileRead result;
  const std::string full = FullPath(path);
  // The name is looked at first: a named pipe, a device or a folder is never
  // opened (opening a serial device would work its lines).
  struct stat info {};
  if (stat(full.c_str(), &info) != 0) {
    result.status =
        errno == ENOENT || errno == ENOTDIR ? ReadStatus::kMissing : ReadStatus::kUnreadable;
    return result;
  }
  result.status = ReadStatus::kUnreadable;
  if (!S_ISREG(info.st_mode)) return result;
  // Without waiting, and checked again once open, in case the name was
  // swapped for a pipe in between.
  const int fd = open(full.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return result;
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    close(fd);
    return result;
  }
  std::string& contents = result.bytes;
  char chunk[65536];
  // One byte past the limit tells a file that goes on from one that ends there.
  while (contents.size() <= kReadLimit) {
    const std::size_t wanted = std::min(sizeof chunk, kReadLimit + 1 - contents.size());
    const ssize_t n = read(fd, chunk, wanted);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {  // an I/O error: no file to give
      close(fd);
      contents.clear();
      return result;
    }
    if (n == 0) break;
    contents.append(chunk, static_cast<std::size_t>(n));
  }
  close(fd);
  if (contents.size() > kReadLimit) {
    contents.resize(kReadLimit);
    result.status = ReadStatus::kTooLarge;
  } else {
    result.status = ReadStatus::kRead;
  }
  return result;
}

bool PosixFileSystem::ReplaceFile(const std::string& path, const std::string& bytes) {
  const std::optional<std::string> found = WriteTarget(FullPath(path));
  if (!found) return false;  // a link that points nowhere: nothing to write into
  const std::string& target = *found;
  const std::string folderPrefix = FolderPrefix(target);
  if (target.size() == folderPrefix.size()) return false;
  struct stat old {};
  const bool replacing = stat(target.c_str(), &old) == 0;
  // A folder, a named pipe or a device under the name is not the listener's
  // bank to replace.
  if (replacing && !S_ISREG(old.st_mode)) return false;

  std::string temporary;
  const int fd = CreateTemporary(target, temporary);
  if (fd < 0) return false;
  if (replacing) fchmod(fd, old.st_mode & 07777);
  if (beforeReplaceWrite_) beforeReplaceWrite_(fd);
  bool written = WriteAll(fd, bytes) && fsync(fd) == 0;
  if (close(fd) != 0) written = false;
  if (!written || rename(temporary.c_str(), target.c_str()) != 0) {
    unlink(temporary.c_str());
    return false;
  }
  SyncFolder(folderPrefix.empty() ? "." : folderPrefix);
  return true;
}

std::unique_ptr<OutputFile> PosixFileSystem::CreateFile(const std::string& path) {
  // Not emptied at open: only once it is known to be a regular file of its own.
  const int fd = open(FullPath(path).c_str(),
                      O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
  if (fd < 0) return nullptr;
  struct stat info {};
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || ftruncate(fd, 0) != 0) {
    close(fd);
    return nullptr;
  }
  return std::make_unique<PosixOutputFile>(fd);
}

bool PosixFileSystem::RemoveFile(const std::string& path) {
  return unlink(FullPath(path).c_str()) == 0;
}

bool PosixFileSystem::MakeFolder(const std::string& path) {
  const std::string full = FullPath(path);
  if (mkdir(full.c_str(), 0777) == 0) return true;
  struct stat info {};
  return errno == EEXIST && stat(full.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool PosixFileSystem::Exists(const std::string& path) {
  struct stat info {};
  return stat(FullPath(path).c_str(), &info) == 0;
}

bool PosixFileSystem::IsLink(const std::string& path) {
  struct stat info {};
  return lstat(FullPath(path).c_str(), &info) == 0 && S_ISLNK(info.st_mode);
}

std::optional<std::vector<FolderEntry>> PosixFileSystem::ListFolder(const std::string& path) {
  namespace fs = std::filesystem;
  std::error_code error;
  fs::directory_iterator entries(FullPath(path), error);
  if (error) return std::nullopt;
  std::vector<FolderEntry> found;
  for (const fs::directory_entry& entry : entries) {
    FolderEntry item{entry.path().filename().string(), FolderEntry::Kind::kOther};
    // A link counts as what it points at; a broken link is neither.
    std::error_code kindError;
    if (entry.is_regular_file(kindError)) {
      item.kind = FolderEntry::Kind::kFile;
    } else if (entry.is_directory(kindError)) {
      item.kind = FolderEntry::Kind::kFolder;
    }
    found.push_back(std::move(item));
  }
  return found;
}

std::optional<std::string> PosixFileSystem::LinkTarget(const std::string& path) {
  struct stat info {};
  const std::string full = FullPath(path);
  if (lstat(full.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return std::nullopt;
  std::string target(static_cast<std::size_t>(info.st_size) + 1, '\0');
  const ssize_t length = readlink(full.c_str(), target.data(), target.size());
  // A link that changed length since lstat is read again next time.
  if (length < 0 || static_cast<std::size_t>(length) >= target.size()) return std::nullopt;
  target.resize(static_cast<std::size_t>(length));
  return target;
}

bool PosixFileSystem::MakeLink(const std::string& target, const std::string& path) {
  return symlink(target.c_str(), FullPath(path).c_str()) == 0;
}

std::vector<LeftTemporary> PosixFileSystem::LeftTemporaries(const std::string& folder) {
  std::vector<LeftTemporary> left;
  DIR* listing = opendir(FullPath(folder.empty() ? "." : folder).c_str());
  if (listing == nullptr) return left;
  const std::string prefix = folder.empty() ? std::string() : folder + "/";
  while (const dirent* entry = readdir(listing)) {
    const auto temporary = TemporaryOf(entry->d_name);
    if (!temporary || ProcessRuns(temporary->second)) continue;
    // Only a regular file: a link planted under such a name is not ours.
    struct stat info {};
    if (lstat(FullPath(prefix + entry->d_name).c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
      continue;
    }
    left.push_back({entry->d_name, temporary->first});
  }
  closedir(listing);
  std::sort(left.begin(), left.end(),
            [](const LeftTemporary& a, const LeftTemporary& b) { return a.name < b.name; });
  return left;
}

std::string PosixFileSystem::ExistingName(const std::string& path) {
  struct stat info {};
  if (lstat(FullPath(path).c_str(), &info) == 0) return path;
  const std::string prefix = FolderPrefix(path);
  const std::string name = path.substr(prefix.size());
  DIR* folder = opendir(FullPath(prefix.empty() ? "." : prefix).c_str());
  if (folder == nullptr) return path;
  std::string best;
  while (const dirent* entry = readdir(folder)) {
    const std::string candidate = entry->d_name;
    if (SameIgnoringCase(candidate, name) && (best.empty() || candidate < best)) best = candidate;
  }
  closedir(folder);
  return best.empty() ? path : prefix + best;
}

}  // namespace voxrig
