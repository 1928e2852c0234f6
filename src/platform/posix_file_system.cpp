#include "platform/posix_file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

namespace voxrig {

namespace {

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

std::optional<std::string> PosixFileSystem::ReadFile(const std::string& path) {
  const int fd = open(FullPath(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  std::string contents;
  char chunk[65536];
  for (;;) {
    const ssize_t n = read(fd, chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {  // a folder, or an I/O error: no file to give
      close(fd);
      return std::nullopt;
    }
    if (n == 0) break;
    contents.append(chunk, static_cast<std::size_t>(n));
  }
  close(fd);
  return contents;
}

bool PosixFileSystem::ReplaceFile(const std::string& path, const std::string& bytes) {
  const std::string target = FullPath(path);
  const auto slash = target.rfind('/');
  const std::string folderPrefix = slash == std::string::npos ? "" : target.substr(0, slash + 1);
  const std::string name = target.substr(folderPrefix.size());
  if (name.empty()) return false;
  const std::string temporary = folderPrefix + "." + name + ".tmp-" + std::to_string(getpid());

  const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  struct stat old {};
  if (stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode)) fchmod(fd, old.st_mode & 07777);
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
  const int fd = open(FullPath(path).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) return nullptr;
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

}  // namespace voxrig
