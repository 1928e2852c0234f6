#include "platform/prompt_path.h"

#include <algorithm>
#include <system_error>
#include <vector>

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

// The entry of the folder named `name` in any letter case. An exact match
// wins; among several that differ only in case the first in name order is
// taken, so the same file is played every time. Entries are only ever
// compared, never built from the name, so "..", "." or a name holding a slash
// can never reach outside the folder.
std::optional<fs::path> FindEntry(const fs::path& folder, const std::string& name) {
  std::error_code error;
  fs::directory_iterator entries(folder, error);
  if (error) return std::nullopt;
  std::optional<std::string> best;
  for (const fs::directory_entry& entry : entries) {
    const std::string entryName = entry.path().filename().string();
    if (entryName == name) return folder / entryName;
    if (SameIgnoringCase(entryName, name) && (!best || entryName < *best)) best = entryName;
  }
  if (!best) return std::nullopt;
  return folder / *best;
}

}  // namespace

std::optional<std::filesystem::path> ResolvePromptPath(const std::filesystem::path& workingFolder,
                                                       const std::string& panelPath) {
  std::vector<std::string> parts = SplitAtBackslash(panelPath);
  // An empty part (a leading, doubled or final backslash) names no prompt.
  if (std::any_of(parts.begin(), parts.end(), [](const std::string& p) { return p.empty(); })) {
    return std::nullopt;
  }
  if (!EndsWithWav(parts.back())) parts.back() += ".wav";

  fs::path found = workingFolder;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    std::optional<fs::path> entry = FindEntry(found, parts[i]);
    if (!entry) return std::nullopt;
    found = *entry;
    std::error_code error;
    const bool last = i + 1 == parts.size();
    if (last ? !fs::is_regular_file(found, error) : !fs::is_directory(found, error)) {
      return std::nullopt;
    }
  }
  return found;
}

}  // namespace voxrig
