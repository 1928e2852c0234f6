// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/text_voice.h"

#include <sstream>

namespace voxrig {

PromptVoice ReadPromptVoice(const std::string& settings) {
  PromptVoice voice;
  std::istringstream lines(settings);
  std::string line;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::size_t equals = line.find('=');
    if (equals == std::string::npos) continue;
    const std::string key = line.substr(0, equals);
    const std::string value = line.substr(equals + 1);
    if (value.empty()) continue;
    if (key == "voice") voice.voice = value;
    if (key == "lang") voice.language = value;
    if (key == "rate" && value.find_first_not_of("0123456789") == std::string::npos &&
        value.size() <= 3) {
      voice.wordsPerMinute = std::stoi(value);
    }
  }
  return voice;
}

}  // namespace voxrig
