#pragma once

#include <memory>
#include <optional>
#include <string>
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

// The working folder's files. Paths are relative to the working folder.
class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // The whole file, or nothing when it cannot be opened.
  virtual std::optional<std::string> ReadFile(const std::string& path) = 0;
  // Writes the bytes in full beside the old file and renames them over it, so
  // a crash, a kill or a full disk leaves either the old file or the new one.
  // False when the new file could not be written; the old file is then intact.
  virtual bool ReplaceFile(const std::string& path, const std::string& bytes) = 0;
  // Creates the file, or empties an existing one, and keeps it open for
  // writing while other programs may read it. Null when it cannot be created.
  virtual std::unique_ptr<OutputFile> CreateFile(const std::string& path) = 0;
  // False when there was no such file or it could not be removed.
  virtual bool RemoveFile(const std::string& path) = 0;
  virtual bool Exists(const std::string& path) = 0;
  // The entries of a folder, links followed, without "." and "..". Nothing
  // when the path is no folder or cannot be read.
  virtual std::optional<std::vector<FolderEntry>> ListFolder(const std::string& path) = 0;
  // Makes a folder; true when it is there afterwards (also when it already was).
  virtual bool MakeFolder(const std::string& path) = 0;
};

}  // namespace voxrig
