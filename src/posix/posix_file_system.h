// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/file_system.h"

namespace voxrig {

// The working folder on a POSIX file system. Names are taken exactly as
// given, letter case included; ExistingName finds them whatever their case.
class PosixFileSystem : public FileSystem {
 public:
  // The process's current working folder.
  PosixFileSystem() : PosixFileSystem(".") {}
  // Another folder that relative paths are taken from (an absolute path is
  // used as it is).
  explicit PosixFileSystem(std::string folder) : folder_(std::move(folder)) {}

  // Looks at the name before opening it, so a serial device linked in under a
  // bank's name is never opened, and opens without waiting, so a named pipe
  // cannot hold the panel.
  FileRead Read(const std::string& path) override;
  // A symbolic link is followed to the file it finally names; the new file is
  // made beside that file under a name nobody can guess
  // (".<name>.tmp-<pid>-<random>", created with O_EXCL|O_NOFOLLOW, so a link
  // planted there makes the attempt fail instead of writing through it),
  // synced, renamed over it, and the folder synced. A kill at any moment
  // leaves the old file or the new one, never a part; a failed write removes
  // the temporary file. The new file keeps the old file's permission bits.
  // A hard-linked file gets a new file under this name only: its other names
  // keep the old bytes.
  bool ReplaceFile(const std::string& path, const std::string& bytes) override;
  // Opened with O_NOFOLLOW, so a link planted under the log's name cannot
  // empty the file it points to. The file's writes go straight to the kernel
  // (no buffering in the program), so a crash loses no line that was written.
  std::unique_ptr<OutputFile> CreateFile(const std::string& path) override;
  bool RemoveFile(const std::string& path) override;
  // Follows symbolic links: a "COM5" link to a serial device exists while the
  // device does; a link whose target is gone does not.
  bool IsLink(const std::string& path) override;
  bool Exists(const std::string& path) override;
  std::optional<std::vector<FolderEntry>> ListFolder(const std::string& path) override;
  std::optional<std::string> LinkTarget(const std::string& path) override;
  bool MakeLink(const std::string& target, const std::string& path) override;
  // Only names of exactly the form ReplaceFile makes, whose process number
  // names no running process.
  std::vector<LeftTemporary> LeftTemporaries(const std::string& folder) override;
  bool MakeFolder(const std::string& path) override;
  std::string ExistingName(const std::string& path) override;

  // Test seam: called with the temporary file's descriptor just before
  // ReplaceFile writes the bytes into it, so a test can put /dev/full in its
  // place and see a full disk.
  void SetBeforeReplaceWrite(std::function<void(int fd)> hook) {
    beforeReplaceWrite_ = std::move(hook);
  }

 private:
  std::string FullPath(const std::string& path) const;

  std::string folder_;
  std::function<void(int fd)> beforeReplaceWrite_;
};

}  // namespace voxrig
