// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/configuration.h"

#include <cctype>
#include <initializer_list>
#include <string>
#include <vector>

#include "core/text_rules.h"

namespace voxrig {

namespace {

// Line n (from 1) as a bounded text: empty when the file has fewer lines, cut
// to 254 characters when it is longer.
BoundedText LineOf(const std::vector<std::string>& lines, std::size_t n) {
  return n <= lines.size() ? BoundedText(lines[n - 1]) : BoundedText();
}

// Line 1 names the receiver's port. A device path is used as it stands,
// whatever label comes before it ("PORT=/dev/serial/by-id/...",
// "PORT /dev/ttyUSB0"): it runs from the line's first "/" to its end, less
// any blanks a hand-edited file left at the end. Otherwise the text from
// character 5 is kept, whose last character is the port number ("PORTCOM1",
// "PORT=COM3").
BoundedText PortSettingOf(const BoundedText& line) {
  const std::string& text = line.str();
  const std::size_t slash = text.find('/');
  if (slash == std::string::npos) return MiddleText(text, 5);
  const std::size_t end = text.find_last_not_of(" \t");
  return text.substr(slash, end + 1 - slash);
}

// A switch is the one character at position 7, read as a number: a digit
// gives its value, anything else (or nothing) gives 0.
int SwitchAt7(const BoundedText& line) {
  return static_cast<int>(RoundToInteger(NumberFromText(MiddleText(line.str(), 7, 1))));
}

// Whether a line after the five of the set-up program, upper-cased and
// without trailing blanks, is one of `settings`.
bool LineAfterFiveLines(const std::string& configuration,
                        std::initializer_list<std::string> settings) {
  const std::vector<std::string> lines = SplitLines(configuration);
  for (std::size_t n = 5; n < lines.size(); ++n) {
    std::string line = lines[n];
    for (char& c : line) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    line.erase(line.find_last_not_of(" \t") + 1);
    for (const std::string& setting : settings) {
      if (line == setting) return true;
    }
  }
  return false;
}

// "<KEY>=0" (or OFF or NO, in any letter case), switching something off.
bool SwitchedOffAfterFiveLines(const std::string& configuration, const std::string& key) {
  return LineAfterFiveLines(configuration, {key + "=0", key + "=OFF", key + "=NO"});
}

}  // namespace

std::optional<Configuration> ReadConfiguration(FileSystem& files) {
  const auto content = files.ReadFile(kConfigurationFile);
  if (!content) return std::nullopt;
  // Only the first five lines count; the labels before each value position
  // are for the person reading the file and are not checked.
  const std::vector<std::string> lines = SplitLines(*content);
  Configuration read;
  read.portSetting = PortSettingOf(LineOf(lines, 1));
  read.speedSetting = MiddleText(LineOf(lines, 2).str(), 7);
  read.radioSetting = MiddleText(LineOf(lines, 3).str(), 6);
  read.voiceEnabled = SwitchAt7(LineOf(lines, 4)) != 0;
  // The debug switch never touches the voice: a listener who asks for no log
  // with a 0 must still hear the panel. Only a 1 asks for the log.
  read.debugEnabled = SwitchAt7(LineOf(lines, 5)) == 1;
  read.namesSwitchedOff = NamesSwitchedOff(*content);
  return read;
}

bool BrailleSwitchedOff(const std::string& configuration) {
  return SwitchedOffAfterFiveLines(configuration, "BRAILLE");
}

bool NamesSwitchedOff(const std::string& configuration) {
  return SwitchedOffAfterFiveLines(configuration, "NAMES");
}

bool SpeechServerChosen(const std::string& configuration) {
  return LineAfterFiveLines(configuration, {"SPEECH=SPEECHD"});
}

}  // namespace voxrig
