#include "app/command_line.h"

namespace voxrig {

std::optional<CommandLine> ParseCommandLine(const std::vector<std::string>& arguments) {
  CommandLine line;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    if (arguments[i] != "--transcript" || line.transcriptPath || i + 1 >= arguments.size()) {
      return std::nullopt;
    }
    line.transcriptPath = arguments[++i];
  }
  return line;
}

}  // namespace voxrig
