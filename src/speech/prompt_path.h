// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace voxrig {

// Finds the wave file that a prompt path names, the way the panel writes it
// ("wave\point", "wave\fm.wav", "wave\FM"): a backslash separates folders,
// ".wav" is added to a name that does not already end in it, and every part
// is found in its folder whatever its letter case, because the panel asks for
// the same prompt in different cases ("FM" and "fm.wav").
//
// The path is looked for under each of `roots` in turn, and the first root
// that holds the file wins, so a listener's own recording in the working
// folder's wave/ replaces the installed one, and a prompt missing there is
// still heard from the installed set. A path without a folder ("point", as it
// is with the voice off) is looked for in the first root only: the installed
// prompts live in wave/ and must not speak for a silenced panel. Nothing when
// no root holds such a file.
std::optional<std::string> ResolvePromptPath(FileSystem& files,
                                             const std::vector<std::string>& roots,
                                             const std::string& panelPath);

// The same within one working folder.
std::optional<std::filesystem::path> ResolvePromptPath(FileSystem& files,
                                                       const std::filesystem::path& workingFolder,
                                                       const std::string& panelPath);

// Where prompts are looked for, in order: the working folder, then the
// listener's data folder, $XDG_DATA_HOME/voxrig (~/.local/share/voxrig when
// that is unset, empty or not absolute; skipped without a home either), then
// each installed data folder. A folder named twice is kept once.
std::vector<std::string> PromptRoots(const std::string& workingFolder,
                                     const std::optional<std::string>& xdgDataHome,
                                     const std::optional<std::string>& home,
                                     const std::vector<std::string>& installed);

// PromptRoots for this process: its environment, and as installed folders
// share/voxrig beside the program's own bin/ (so a staged install, another
// prefix or the Debian package find their prompts) and the data folder of the
// prefix it was built for.
std::vector<std::string> PromptRootsOfThisProcess(const std::string& workingFolder);

}  // namespace voxrig
