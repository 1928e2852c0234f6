#pragma once

#include <optional>
#include <string>
#include <vector>

namespace voxrig {

inline constexpr int kExitUsage = 2;
inline constexpr const char* kUsageText =
    "usage: voxrig [--transcript FILE]\n"
    "  --transcript FILE  also write every prompt played and every panel text\n"
    "                     drawn to FILE, one line each (\"-\" is standard output)\n";

struct CommandLine {
  // Where the transcript goes; none when it was not asked for.
  std::optional<std::string> transcriptPath;
};

// The options after the program's name. None when an option is unknown, is
// given twice or lacks its value: the caller then prints the usage.
std::optional<CommandLine> ParseCommandLine(const std::vector<std::string>& arguments);

}  // namespace voxrig
