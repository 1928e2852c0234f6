#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace voxrig {

// Finds the wave file that a prompt path names, the way the panel writes it
// ("wave\point", "wave\fm.wav", "wave\FM"): a backslash separates folders,
// ".wav" is added to a name that does not already end in it, and every part
// is found in its folder whatever its letter case, because the panel asks for
// the same prompt in different cases ("FM" and "fm.wav"). A path without a
// folder ("point", as it is with the voice off) is looked for in the working
// folder itself. Nothing when no such file exists.
std::optional<std::filesystem::path> ResolvePromptPath(const std::filesystem::path& workingFolder,
                                                       const std::string& panelPath);

}  // namespace voxrig
