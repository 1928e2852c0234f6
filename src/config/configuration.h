// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>

#include "core/bounded_text.h"
#include "platform/file_system.h"

namespace voxrig {

// The configuration file written by the VOXSETUP program, in the working folder.
inline constexpr const char* kConfigurationFile = "VOXRIG.CFG";

// What VOXRIG.CFG says, as it was read: each setting is taken by the part of
// the panel that owns it.
struct Configuration {
  // Line 1: a device path from its first "/", whatever label stands before
  // it; otherwise the text from character 5.
  BoundedText portSetting;
  // Line 2 from character 7.
  BoundedText speedSetting;
  // Line 3 from character 6.
  BoundedText radioSetting;
  // Any digit but 0 at position 7 of line 4: without it every switchable
  // prompt falls silent.
  bool voiceEnabled = false;
  // Only a 1 at position 7 of line 5 asks for the debug log.
  bool debugEnabled = false;
  // A "NAMES=0" line after the five: channel names stay silent.
  bool namesSwitchedOff = false;
};

// Reads the five lines of VOXRIG.CFG. A missing line reads as empty text and
// a line longer than a text holds is cut to 254 characters before its value
// is taken. Nothing when the file cannot be read.
std::optional<Configuration> ReadConfiguration(FileSystem& files);

// True when a line after the five of the set-up program switches the braille
// line off: "BRAILLE=0" (or OFF or NO, in any letter case), for a listener
// whose braille display serves another program while the panel runs.
bool BrailleSwitchedOff(const std::string& configuration);

// True when a line after the five switches channel names off: "NAMES=0" (or
// OFF or NO, in any letter case).
bool NamesSwitchedOff(const std::string& configuration);

// True when a line after the five asks for speech through speech-dispatcher:
// "SPEECH=SPEECHD" (in any letter case); "SPEECH=PROMPTS", or no such line,
// keeps the recorded prompts.
bool SpeechServerChosen(const std::string& configuration);

}  // namespace voxrig
