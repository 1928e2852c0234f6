// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/prompt_path.h"

#include <algorithm>
#include <cstdlib>
#include <system_error>

// Set by the build: the installed data folder, and the same seen from the
// installed program's bin/ folder.
#if !defined(VOXRIG_DATA_DIR) || !defined(VOXRIG_DATA_FROM_BIN)
#error "VOXRIG_DATA_DIR and VOXRIG_DATA_FROM_BIN must be defined by the build"
#endif

namespace voxrig {

namespace {

namespace fs = std::filesystem;

char FoldCase(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameIgnoringCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return FoldCase(x) == FoldCase(y);
         });
}

bool EndsWithWav(const std::string& name) {
  const std::string extension = ".wav";
  return name.size() >= extension.size() &&
         SameIgnoringCase(name.substr(name.size() - extension.size()), extension);
}

std::vector<std::string> SplitAtBackslash(const std::string& path) {
  std::vector<std::string> parts;
  std::string part;
  for (char c : path) {
    if (c == '\\') {
      parts.push_back(part);
      part.clear();
    } else {
      part += c;
    }
  }
  parts.push_back(part);
  return parts;
}

std::string Join(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  return folder.back() == '/' ? folder + name : folder + "/" + name;
}

// The entry of the folder named `name` in any letter case, if it is of the
// kind wanted. An exact match wins; among several that differ only in case
// the first in name order is taken, so the same file is played every time.
// Entries are only ever compared, never built from the name, so "..", "." or
// a name holding a slash can never reach outside the folder.
std::optional<std::string> FindEntry(FileSystem& files, const std::string& folder,
                                     const std::string& name, FolderEntry::Kind kind) {
  const std::optional<std::vector<FolderEntry>> entries = files.ListFolder(folder);
  if (!entries) return std::nullopt;
  const FolderEntry* best = nullptr;
  for (const FolderEntry& entry : *entries) {
    if (!SameIgnoringCase(entry.name, name)) continue;
    if (entry.name == name) {
      best = &entry;
      break;
    }
    if (!best || entry.name < best->name) best = &entry;
  }
  if (!best || best->kind != kind) return std::nullopt;
  return Join(folder, best->name);
}

std::optional<std::string> ResolveUnder(FileSystem& files, const std::string& root,
                                        const std::vector<std::string>& parts) {
  std::string found = root;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    const bool last = i + 1 == parts.size();
    std::optional<std::string> entry = FindEntry(
        files, found, parts[i], last ? FolderEntry::Kind::kFile : FolderEntry::Kind::kFolder);
    if (!entry) return std::nullopt;
    found = *entry;
  }
  return found;
}

std::optional<std::string> Environment(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr) return std::nullopt;
  return std::string(value);
}

}  // namespace

std::optional<std::string> ResolvePromptPath(FileSystem& files,
                                             const std::vector<std::string>& roots,
                                             const std::string& panelPath) {
  std::vector<std::string> parts = SplitAtBackslash(panelPath);
  // An empty part (a leading, doubled or final backslash) names no prompt.
  if (std::any_of(parts.begin(), parts.end(), [](const std::string& p) { return p.empty(); })) {
    return std::nullopt;
  }
  if (!EndsWithWav(parts.back())) parts.back() += ".wav";

  const std::size_t searched =
      parts.size() == 1 ? std::min<std::size_t>(1, roots.size()) : roots.size();
  for (std::size_t i = 0; i < searched; ++i) {
    if (std::optional<std::string> found = ResolveUnder(files, roots[i], parts)) return found;
  }
  return std::nullopt;
}

std::optional<std::filesystem::path> ResolvePromptPath(FileSystem& files,
                                                       const std::filesystem::path& workingFolder,
                                                       const std::string& panelPath) {
  std::optional<std::string> found =
      ResolvePromptPath(files, std::vector<std::string>{workingFolder.string()}, panelPath);
  if (!found) return std::nullopt;
  return fs::path(*found);
}

std::vector<std::string> PromptRoots(const std::string& workingFolder,
                                     const std::optional<std::string>& xdgDataHome,
                                     const std::optional<std::string>& home,
                                     const std::vector<std::string>& installed) {
  std::vector<std::string> roots = {workingFolder};
  if (xdgDataHome && !xdgDataHome->empty() && xdgDataHome->front() == '/') {
    roots.push_back(Join(*xdgDataHome, "voxrig"));
  } else if (home && !home->empty()) {
    roots.push_back(Join(*home, ".local/share/voxrig"));
  }
  roots.insert(roots.end(), installed.begin(), installed.end());
  std::vector<std::string> unique;
  for (const std::string& root : roots) {
    if (std::find(unique.begin(), unique.end(), root) == unique.end()) unique.push_back(root);
  }
  return unique;
}

std::vector<std::string> PromptRootsOfThisProcess(const std::string& workingFolder) {
  std::vector<std::string> installed;
  std::error_code error;
  const fs::path program = fs::read_symlink("/proc/self/exe", error);
  if (!error) {
    installed.push_back((program.parent_path() / VOXRIG_DATA_FROM_BIN).lexically_normal().string());
  }
  installed.push_back(VOXRIG_DATA_DIR);
  return PromptRoots(workingFolder, Environment("XDG_DATA_HOME"), Environment("HOME"), installed);
}

}  // namespace voxrig
