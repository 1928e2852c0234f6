// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakes/memory_file_system.h"

namespace voxrig::fakes {

namespace {

class MemoryOutputFile : public OutputFile {
 public:
  MemoryOutputFile(MemoryFileSystem& files, std::string path)
      : files_(files), path_(std::move(path)) {}
  bool Write(const std::string& bytes) override {
    if (files_.diskFull) return false;
    files_.files[path_] += bytes;
    return true;
  }

 private:
  MemoryFileSystem& files_;
  std::string path_;
};

}  // namespace

FileRead MemoryFileSystem::Read(const std::string& path) {
  FileRead read;
  if (unreadable.count(path) != 0) {
    read.status = ReadStatus::kUnreadable;
    return read;
  }
  const auto it = files.find(path);
  if (it == files.end()) return read;
  read.status = it->second.size() > kReadLimit ? ReadStatus::kTooLarge : ReadStatus::kRead;
  read.bytes = it->second.substr(0, kReadLimit);
  return read;
}

bool MemoryFileSystem::ReplaceFile(const std::string& path, const std::string& bytes) {
  if (diskFull || failingWrites.count(path) != 0 || unreadable.count(path) != 0) return false;
  files[path] = bytes;
  ++replaceCount;
  return true;
}

std::unique_ptr<OutputFile> MemoryFileSystem::CreateFile(const std::string& path) {
  if (diskFull || failingWrites.count(path) != 0 || unreadable.count(path) != 0) return nullptr;
  files[path].clear();
  return std::make_unique<MemoryOutputFile>(*this, path);
}

bool MemoryFileSystem::RemoveFile(const std::string& path) {
  if (failingRemoves.count(path) != 0 || unreadable.count(path) != 0) return false;
  links.erase(path);
  linkTargets.erase(path);
  return files.erase(path) != 0;
}

std::optional<std::vector<FolderEntry>> MemoryFileSystem::ListFolder(const std::string& path) {
  const std::string prefix = path.empty() ? "" : path + "/";
  std::map<std::string, FolderEntry::Kind> entries;
  for (const auto& [file, bytes] : files) {
    if (file.compare(0, prefix.size(), prefix) != 0 || file.size() == prefix.size()) continue;
    const std::string rest = file.substr(prefix.size());
    const std::size_t slash = rest.find('/');
    if (slash == std::string::npos) {
      entries[rest] = FolderEntry::Kind::kFile;
    } else {
      entries[rest.substr(0, slash)] = FolderEntry::Kind::kFolder;
    }
  }
  if (entries.empty()) return std::nullopt;
  std::vector<FolderEntry> listed;
  for (const auto& [name, kind] : entries) listed.push_back({name, kind});
  return listed;
}

bool MemoryFileSystem::MakeFolder(const std::string& path) {
  if (failingWrites.count(path) != 0) return false;
  folders.insert(path);
  return true;
}

std::optional<std::string> MemoryFileSystem::LinkTarget(const std::string& path) {
  const auto target = linkTargets.find(path);
  if (target == linkTargets.end()) return std::nullopt;
  return target->second;
}

bool MemoryFileSystem::MakeLink(const std::string& target, const std::string& path) {
  if (Exists(path) || links.count(path) != 0) return false;
  links.insert(path);
  linkTargets[path] = target;
  const auto bytes = files.find(target);
  if (bytes != files.end()) files[path] = bytes->second;
  return true;
}

std::string MemoryFileSystem::ExistingName(const std::string& path) {
  if (Exists(path)) return path;
  const auto lower = [](std::string name) {
    for (char& c : name) {
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return name;
  };
  // The map is in byte order, so the first match is the one a folder listing
  // would pick too.
  for (const auto& entry : files) {
    if (lower(entry.first) == lower(path)) return entry.first;
  }
  return path;
}

}  // namespace voxrig::fakes
