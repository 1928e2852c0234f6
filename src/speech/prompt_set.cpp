// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/prompt_set.h"

#include <cstdlib>
#include <system_error>

#include "speech/prompt_path.h"

namespace voxrig {

namespace fs = std::filesystem;

bool HoldsPromptSet(FileSystem& files, const fs::path& folder) {
  std::error_code error;
  if (!fs::is_directory(folder, error)) return false;
  return ResolvePromptPath(files, folder, "vxr").has_value();
}

std::optional<fs::path> FindPromptSet(FileSystem& files, const fs::path& workingFolder,
                                      const std::vector<fs::path>& elsewhere) {
  if (HoldsPromptSet(files, workingFolder / "wave")) return workingFolder / "wave";
  for (const fs::path& place : elsewhere) {
    if (HoldsPromptSet(files, place)) return place;
  }
  return std::nullopt;
}

std::vector<fs::path> PromptSetPlaces(const std::vector<std::string>& panelRoots) {
  std::vector<fs::path> places;
  if (const char* named = std::getenv("VOXRIG_PROMPTS"); named != nullptr && *named != '\0') {
    places.emplace_back(named);
  }
  for (const std::string& root : panelRoots) places.push_back(fs::path(root) / "wave");
  std::error_code error;
  const fs::path program = fs::read_symlink("/proc/self/exe", error);
  if (!error) {
    const fs::path folder = program.parent_path();
    places.push_back(folder / "wave");
    places.push_back(folder.parent_path() / "wave");
  }
  return places;
}

}  // namespace voxrig
