// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// One memory channel of the receiver and the "MX" field syntax that writes it.
namespace ar8600sim {

inline constexpr std::size_t kNameLength = 12;

// What the receiver works with besides the frequency; a recalled channel
// brings its own.
struct Settings {
  int stepHz = 12'500;
  int mode = 1;  // MD digit: 0 WFM, 1 NFM, 2 AM, 3 USB, 4 LSB, 5 CW, 6 SFM, 7 WAM, 8 NAM
  bool automaticMode = false;
  bool attenuator = false;
};

struct Channel {
  std::int64_t hz = 0;
  int stepHz = 12'500;
  int mode = 1;
  bool automaticMode = false;
  bool attenuator = false;
  bool passed = false;                               // skipped by the memory scan
  std::string name = std::string(kNameLength, ' ');  // always 12 characters

  bool operator==(const Channel&) const = default;
};

// The fields of an "MX" command after the channel number, each after a blank,
// in any order: RF, ST, MD, AU, AT, MP, and TM whose name is the rest of the
// line. A field that is absent stays unset.
struct ChannelFields {
  std::optional<std::int64_t> hz;
  std::optional<int> stepHz;
  std::optional<int> mode;
  std::optional<bool> automaticMode;
  std::optional<bool> attenuator;
  std::optional<bool> passed;
  std::optional<std::string> name;  // padded to 12 characters
};

// Empty when a field is unknown or malformed, a frequency is outside the
// receiver's range, or a name is longer than 12 characters.
std::optional<ChannelFields> ParseChannelFields(std::string_view text);

// `base` with every field that `fields` sets replaced.
Channel WithFields(Channel base, const ChannelFields& fields);

Settings SettingsOf(const Channel& channel);

// " ST012500 AU0 MD1 AT0": the common tail of the receiver's state answers.
// `mode` is the mode in use (the one automatic mode picked, when on).
std::string SettingsFields(const Settings& settings, int mode);

// "MXA05 MP0 RF0145500000 ST012500 AU0 MD1 AT0 TM" + name: the receiver's
// answer to "MR", and the tail of RX on a memory channel. `settings` and `mode`
// are what the receiver is working with on that channel.
std::string MemoryReadLine(char bank, int number, const Channel& channel, const Settings& settings,
                           int mode);

// "A05": a bank letter and two digits.
std::string ChannelLabel(char bank, int number);

// A name cut or padded with blanks to 12 characters.
std::string PaddedName(std::string_view name);

}  // namespace ar8600sim
