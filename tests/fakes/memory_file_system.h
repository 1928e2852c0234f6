// SPDX-License-Identifier: GPL-3.0-or-later
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
  // Paths in `unreadable` read as a named pipe or a folder would; a file
  // longer than kReadLimit gives its first bytes as too large.
  FileRead Read(const std::string& path) override;
  bool ReplaceFile(const std::string& path, const std::string& bytes) override;
  std::unique_ptr<OutputFile> CreateFile(const std::string& path) override;
  bool RemoveFile(const std::string& path) override;
  // The folders are those the file paths name ("wave/point.wav" makes "wave").
  std::optional<std::vector<FolderEntry>> ListFolder(const std::string& path) override;
  bool MakeFolder(const std::string& path) override;
  bool Exists(const std::string& path) override {
    return files.count(path) != 0 || unreadable.count(path) != 0;
  }
  std::string ExistingName(const std::string& path) override;
  bool IsLink(const std::string& path) override { return links.count(path) != 0; }
  // A link made by MakeLink reads as its target's file, whose bytes stay in
  // `files` under the target's name.
  std::optional<std::string> LinkTarget(const std::string& path) override;
  bool MakeLink(const std::string& target, const std::string& path) override;
  // A write in memory is whole or not at all: nothing is ever left behind.
  std::vector<LeftTemporary> LeftTemporaries(const std::string&) override { return {}; }

  std::map<std::string, std::string> files;
  // Paths whose writes fail (ReplaceFile and CreateFile).
  std::set<std::string> failingWrites;
  // Names that stand for something that is not a regular file (a named pipe,
  // a folder): they exist, cannot be read, and refuse writes and removal.
  std::set<std::string> unreadable;
  // Paths whose removal fails although the file is there (a folder that
  // cannot be written).
  std::set<std::string> failingRemoves;
  // Names that are symbolic links; what they read as stands in `files`.
  std::set<std::string> links;
  // What each link made by MakeLink points at.
  std::map<std::string, std::string> linkTargets;
  // When set, every write fails.
  bool diskFull = false;
  int replaceCount = 0;
  // Folders made; a folder in failingWrites cannot be made.
  std::set<std::string> folders;
};

}  // namespace voxrig::fakes
