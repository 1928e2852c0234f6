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

std::optional<std::string> MemoryFileSystem::ReadFile(const std::string& path) {
  const auto it = files.find(path);
  if (it == files.end() || unreadable.count(path) != 0) return std::nullopt;
  return it->second;
}

bool MemoryFileSystem::ReplaceFile(const std::string& path, const std::string& bytes) {
  if (diskFull || failingWrites.count(path) != 0) return false;
  files[path] = bytes;
  ++replaceCount;
  return true;
}

std::unique_ptr<OutputFile> MemoryFileSystem::CreateFile(const std::string& path) {
  if (diskFull || failingWrites.count(path) != 0) return nullptr;
  files[path].clear();
  return std::make_unique<MemoryOutputFile>(*this, path);
}

bool MemoryFileSystem::RemoveFile(const std::string& path) {
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

}  // namespace voxrig::fakes
