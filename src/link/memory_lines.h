// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The receiver's answer lines to "MA" + bank and "MA": one memory channel
// each, read without the receiver selecting it.
namespace voxrig::receiver {

// Ten channels come with each "MA".
inline constexpr int kChannelsPerBankRead = 10;

// "MA" + bank starts reading a bank from its channel 00; "MA" alone reads
// the next ten. Past the bank's end "MA" answers "?".
std::string ReadBankStart(char bank);
inline constexpr const char* kReadBankNext = "MA";

struct MemoryLine {
  bool empty = false;  // the receiver answered "---": no channel stored there
  int channel = 0;
  std::int64_t hz = 0;
  std::int64_t stepHz = 0;
  int modeCode = 0;  // the MD digit: 0 WFM, 1 NFM, 2 AM, 3 USB, 4 LSB, 5 CW, 6 SFM, 7 WAM, 8 NAM
  bool automaticMode = false;
  std::string name;  // up to 12 characters, as the receiver pads it
};

// One answer line such as "MXA05 MP0 RF0145500000 ST012500 AU0 MD1 AT0
// TMRepeater    " (the name is the rest of the line), or "---". Nothing when
// the line is cut short, names another bank, or a field the panel relies on
// (RF, MD) is missing or malformed: a channel read wrong must not end up in
// a bank file.
std::optional<MemoryLine> ParseMemoryLine(std::string_view line, char bank);

}  // namespace voxrig::receiver
