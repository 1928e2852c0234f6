#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>

#include "platform/file_system.h"

namespace voxrig::fakes {

// The working folder in memory. Files can be made to refuse writes, as a
// full disk or a read-only folder would.
class MemoryFileSystem : public FileSystem {
 public:
  std::optional<std::string> ReadFile(const std::string& path) override;
  bool ReplaceFile(const std::string& path, const std::string& bytes) override;
  std::unique_ptr<OutputFile> CreateFile(const std::string& path) override;
  bool RemoveFile(const std::string& path) override;
  bool Exists(const std::string& path) override { return files.count(path) != 0; }
  // The folders are those the file paths name ("wave/point.wav" makes "wave").
  std::optional<std::vector<FolderEntry>> ListFolder(const std::string& path) override;
  bool MakeFolder(const std::string& path) override;

  std::map<std::string, std::string> files;
  // Paths whose writes fail (ReplaceFile and CreateFile).
  std::set<std::string> failingWrites;
  // Paths that exist but cannot be read (a folder where a file should be).
  std::set<std::string> unreadable;
  // When set, every write fails.
  bool diskFull = false;
  int replaceCount = 0;
  // Folders made; a folder in failingWrites cannot be made.
  std::set<std::string> folders;
};

}  // namespace voxrig::fakes
