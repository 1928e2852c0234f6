// SPDX-License-Identifier: GPL-3.0-or-later
#include "faults.h"

#include <sstream>

#include "data_lines.h"
#include "frequency_text.h"

namespace ar8600sim {

namespace {

bool ParseOnOff(const std::string& word, bool& value) {
  if (word != "on" && word != "off") return false;
  value = word == "on";
  return true;
}

bool ParseCount(const std::string& word, int& value) {
  if (word.empty() || word.size() > 7 || !AllDigits(word)) return false;
  value = std::stoi(word);
  return true;
}

// One setting; an error text, or empty when it was taken.
std::string ApplySetting(const std::string& line, ControlLoad& result) {
  std::istringstream words(line);
  std::string name, value, extra;
  words >> name >> value >> extra;
  if (!extra.empty()) return "one value a line";
  Faults& faults = result.faults;
  if (name == "silent") return ParseOnOff(value, faults.silent) ? "" : "expected silent on|off";
  if (name == "garbage") return ParseOnOff(value, faults.garbage) ? "" : "expected garbage on|off";
  if (name == "drop-after") {
    int count = 0;
    if (!ParseCount(value, count)) return "expected drop-after <count>";
    result.dropAfter = count;
    return "";
  }
  if (name == "hang-up" && value.empty()) {
    result.hangUpNow = true;
    return "";
  }
  if (name == "reply-delay-ms") {
    int delay = 0;
    if (value == "off") {
      faults.replyDelayMs.reset();
    } else if (ParseCount(value, delay)) {
      faults.replyDelayMs = delay;
    } else {
      return "expected reply-delay-ms <ms>|off";
    }
    return "";
  }
  if (name == "search-answer") {
    if (!IsKeyword(value)) return "expected search-answer <two capital letters>";
    faults.searchAnswer = value;
    return "";
  }
  return "unknown setting '" + name + "'";
}

}  // namespace

bool IsKeyword(std::string_view word) {
  return word.size() == 2 && word[0] >= 'A' && word[0] <= 'Z' && word[1] >= 'A' && word[1] <= 'Z';
}

ControlLoad ParseControlFile(std::string_view text, const Faults& current) {
  ControlLoad result;
  result.faults = current;
  result.line = ForEachDataLine(text, result.error, [&result](std::string_view line) {
    return ApplySetting(std::string(line), result);
  });
  if (result.line != 0) {
    result.faults = current;
    result.dropAfter.reset();
    result.hangUpNow = false;
  }
  return result;
}

}  // namespace ar8600sim
