// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "core/context.h"

namespace voxrig {

// The configuration file written by the VOXSETUP program, in the working folder.
inline constexpr const char* kConfigurationFile = "VOXRIG.CFG";

// Reads the five lines of VOXRIG.CFG into the application settings: the port
// text of line 1 (a device path from its first "/", whatever label stands
// before it; otherwise the text from character 5), the speed text from
// character 7 of line 2, the radio text from character 6 of line 3, and the
// single characters at position 7 of lines 4 (voice) and 5 (debug log). A missing line reads as
// empty text and a line longer than a text holds is cut to 254 characters
// before its value is taken. A 0 (or nothing) for the voice empties the prompt
// prefix, so every switchable prompt falls silent; a "NAMES=0" line after the
// five keeps channel names silent. Returns false, changing
// nothing, when the file cannot be read.
bool ReadConfiguration(Context& ctx);

// True when a line after the five of the set-up program switches the braille
// line off: "BRAILLE=0" (or OFF or NO, in any letter case), for a listener
// whose braille display serves another program while the panel runs.
bool BrailleSwitchedOff(const std::string& configuration);

// True when a line after the five switches channel names off: "NAMES=0" (or
// OFF or NO, in any letter case). ReadConfiguration then keeps them silent.
bool NamesSwitchedOff(const std::string& configuration);

// True when a line after the five asks for speech through speech-dispatcher:
// "SPEECH=SPEECHD" (in any letter case); "SPEECH=PROMPTS", or no such line,
// keeps the recorded prompts.
bool SpeechServerChosen(const std::string& configuration);

}  // namespace voxrig
