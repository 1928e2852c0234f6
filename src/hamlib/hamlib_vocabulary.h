// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>

// The few pieces of the AR8600's command vocabulary that a radio driven
// through Hamlib has to understand and answer in, so that it can stand where
// the AR8600 stands: frequencies and steps as the panel writes them, and the
// level and receive-state answers as the panel reads them.
namespace voxrig::hamlib_vocabulary {

// A frequency as "VA" and "VB" carry it: megahertz with a point
// ("0145.50000") or ten digits of hertz ("0145000000"). Nothing for a text
// that is neither.
std::optional<long long> FrequencyHz(std::string_view text);

// A step as "ST" carries it: kilohertz with a point ("012.50") or six digits
// of hertz ("025000"). Nothing for a text that is neither, or no step at all.
std::optional<long long> StepHz(std::string_view text);

// The level answer: "LM", "%" while the squelch is closed (a blank while a
// signal is heard), and the level as three digits, 0 to 255.
std::string LevelAnswer(bool squelchOpen, int level);

// The receive-state answer as the AR8600 gives it: the state ("VA" tuned on
// a VFO, "VS" searching), RF and ten digits of hertz, the step in six digits
// of hertz, automatic mode off, the mode code and the attenuator:
// "VA RF0145500000 ST012500 AU0 MD1 AT0".
std::string ReceiveStateAnswer(std::string_view state, long long hz, long long stepHz, int modeCode,
                               bool attenuatorOn);

// A memory channel as the AR8600 describes it in its "MX" lines.
struct MemoryChannel {
  bool empty = true;
  long long hz = 0;
  long long stepHz = 0;
  int modeCode = 1;  // MD0 to MD8
  bool automaticMode = false;
  bool passed = false;  // skipped by the memory scan
  bool attenuatorOn = false;
  std::string name;
};

// A channel write, "MX" + bank letter + two digits + fields (each after a
// blank, in any order: RF, ST, MD, AU, AT, MP, and TM with the name as the
// rest of the line).
struct ChannelWrite {
  char bank = 'A';
  int slot = 0;
  MemoryChannel channel;
};

// Nothing for a write without a frequency or with a malformed field, as the
// receiver answers "?" to one.
std::optional<ChannelWrite> ParseChannelWrite(std::string_view command);

// A channel as "MR" and "MA" answer it: "MXA05 MP0 RF0145500000 ST012500
// AU0 MD1 AT0 TM" and the name padded to twelve characters; "---" for an
// empty channel.
std::string ChannelLine(char bank, int slot, const MemoryChannel& channel);

// One of the AR8600's memory commands (MA, MX, MQ, MW, MR, MP, MS), which a
// radio carries out on its own memory channels.
bool IsMemoryCommand(std::string_view command);

// A bank letter as the memory commands name one: A to J.
bool IsBankLetter(char letter);

// The number of "MR", "MP" + two digits or the like at `at`: two digits, or
// nothing.
std::optional<int> TwoDigits(std::string_view text, std::size_t at);

// A level in the meter's figure (0 to 255, twelve to an S unit, so that
// S9 reads 108) from Hamlib's strength in dB relative to S9 (S0 is -54 dB).
int LevelFromStrength(int decibelsOverS9);

}  // namespace voxrig::hamlib_vocabulary
