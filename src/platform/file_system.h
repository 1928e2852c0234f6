// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace voxrig {

// A file kept open for writing (the debug log).
class OutputFile {
 public:
  virtual ~OutputFile() = default;
  // Writes the bytes through to the file; false when they could not be written.
  virtual bool Write(const std::string& bytes) = 0;
};

// One entry of a folder, as ListFolder finds it.
struct FolderEntry {
  enum class Kind { kFile, kFolder, kOther };
  std::string name;
  Kind kind = Kind::kOther;
};

// A temporary file that a ReplaceFile of a process that has ended left behind
// (killed between writing and renaming): `name` in the folder, and the name
// of the file it was to replace.
struct LeftTemporary {
  std::string name;
  std::string forFile;
};

// What reading a file found.
enum class ReadStatus {
  kRead,        // the whole file
  kMissing,     // no file of that name
  kUnreadable,  // a folder, a named pipe, a device, or an error while reading
  kTooLarge,    // a regular file longer than FileSystem::kReadLimit: its first bytes only
};

struct FileRead {
  ReadStatus status = ReadStatus::kMissing;
  // The file's bytes when kRead, its first kReadLimit bytes when kTooLarge.
  std::string bytes;
};

// The working folder's files. Paths are relative to the working folder.
class FileSystem {
 public:
  // Far more than any file of the panel holds (a full bank is about 100 KB),
  // so a runaway file can never fill the memory.
  static constexpr std::size_t kReadLimit = 1024 * 1024;

  virtual ~FileSystem() = default;
  // Reads a regular file (following links), without ever waiting for a
  // writer and never more than kReadLimit bytes.
  virtual FileRead Read(const std::string& path) = 0;
  // The whole file, or nothing when it is missing, not a regular file or
  // longer than kReadLimit.
  std::optional<std::string> ReadFile(const std::string& path) {
    FileRead read = Read(path);
    if (read.status != ReadStatus::kRead) return std::nullopt;
    return std::move(read.bytes);
  }
  // Writes the bytes in full beside the old file and renames them over it, so
  // a crash, a kill or a full disk leaves either the old file or the new one.
  // A symbolic link is written through: its target gets the new bytes and the
  // link stays. False when the new file could not be written, or the name
  // stands for something that is not a regular file; the old file is then
  // intact.
  virtual bool ReplaceFile(const std::string& path, const std::string& bytes) = 0;
  // Creates the file, or empties an existing regular one, and keeps it open
  // for writing while other programs may read it. Null when it cannot be
  // created, or the name is a link or anything but a regular file.
  virtual std::unique_ptr<OutputFile> CreateFile(const std::string& path) = 0;
  // False when there was no such file or it could not be removed.
  virtual bool RemoveFile(const std::string& path) = 0;
  virtual bool Exists(const std::string& path) = 0;
  // True when the name itself is a symbolic link, whether or not it points
  // anywhere.
  virtual bool IsLink(const std::string& path) = 0;
  // The entries of a folder, links followed, without "." and "..". Nothing
  // when the path is no folder or cannot be read.
  virtual std::optional<std::vector<FolderEntry>> ListFolder(const std::string& path) = 0;
  // What a symbolic link holds (the name it points at, as written in the
  // link); nothing when the name is no link.
  virtual std::optional<std::string> LinkTarget(const std::string& path) = 0;
  // Makes a symbolic link `path` that points at `target`; false when the name
  // is taken or the folder refuses.
  virtual bool MakeLink(const std::string& target, const std::string& path) = 0;
  // The temporary files that ReplaceFile left in a folder when the process
  // writing them ended before its rename. A temporary file of a process that
  // still runs (another panel in the same folder) is not among them.
  virtual std::vector<LeftTemporary> LeftTemporaries(const std::string& folder) = 0;
  // Makes a folder; true when it is there afterwards (also when it already was).
  virtual bool MakeFolder(const std::string& path) = 0;
  // The name under which a file is found whatever its letter case: the path
  // itself when that exact name exists or no name matches; otherwise the
  // name in the same folder that differs only in letter case (the first in
  // byte order when several do).
  virtual std::string ExistingName(const std::string& path) = 0;
};

}  // namespace voxrig
