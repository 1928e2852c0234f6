// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace voxrig {

// True when the folder holds the panel's prompts (its name prompt "vxr.wav"
// in any letter case stands for the set).
bool HoldsPromptSet(FileSystem& files, const std::filesystem::path& folder);

// Where a prompt set can be found for a working folder: its own "wave"
// folder when that holds one, otherwise the first of `elsewhere` that does.
std::optional<std::filesystem::path> FindPromptSet(
    FileSystem& files, const std::filesystem::path& workingFolder,
    const std::vector<std::filesystem::path>& elsewhere);

// The places a prompt set is looked for outside the working folder: the
// folder named by VOXRIG_PROMPTS when set, the wave folder of each of the
// panel's own prompt roots, then beside the program (a wave folder next to it
// or one floor up, as in a build tree).
std::vector<std::filesystem::path> PromptSetPlaces(const std::vector<std::string>& panelRoots);

}  // namespace voxrig
