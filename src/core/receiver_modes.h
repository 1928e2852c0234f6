// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <string_view>

#include "platform/radio_mode.h"

// The receiver's modes and every fact the panel has about each: the one
// table that the mode keys, the announcements, bank files, the receiver's
// memory and the network control all read.
namespace voxrig {

// The receiver's code for automatic mode, which it takes as "AU1" rather than
// an "MD" command, and in which it picks the mode by band.
inline constexpr int kAutomaticModeCode = -1;

struct ReceiverMode {
  Mode mode;
  // The name shown on the mode line, stored in bank files and compared whole
  // and with letter case: "CW " keeps its blank.
  std::string_view panelText;
  // The digit of the receiver's "MD" command, or kAutomaticModeCode.
  int receiverCode;
  // The prompt a mode key says, and the one the announcement of the mode
  // (F) says. Most are one file under two spellings ("FM" and "fm.wav"); the
  // transcript shows each as it is asked for, so each keeps its own.
  std::string_view keyPrompt;
  std::string_view announcement;
  // Hamlib's name and bit for the mode, and the passband the receiver's
  // filter gives it. Automatic mode has none: the panel does not know which
  // mode the receiver picked.
  std::string_view networkName;
  unsigned networkBit;
  int passbandHz;
  // The other names each mode is heard as. In the channel lists people
  // exchange as CSV: the name a mode is written by, and another it is read
  // from (the receiver's narrow FM is the panel's FM, narrow AM still AM),
  // both without regard to letter case. From network clients: Hamlib's name
  // of a mode the radio has not and receives through this one (data modes
  // and reversed CW), reported by this one's name.
  std::string_view csvName;
  std::string_view csvAlias;
  std::string_view networkAlias;
};

// In the order the network control lists the filters: a passband shared by
// several modes is listed where its first mode stands.
inline constexpr std::array<ReceiverMode, 7> kReceiverModes{{
    {Mode::kFM, "FM", 1, "FM", "fm.wav", "FM", 0x20, 15000, "FM", "NFM", "PKTFM"},
    {Mode::kAM, "AM", 2, "AM", "am.wav", "AM", 0x1, 6000, "AM", "NAM", ""},
    {Mode::kWFM, "WFM", 0, "WFM", "wfm.wav", "WFM", 0x40, 220000, "WFM", "", ""},
    {Mode::kLSB, "LSB", 4, "LSB", "lsb.wav", "LSB", 0x8, 3000, "LSB", "", "PKTLSB"},
    {Mode::kUSB, "USB", 3, "USB", "usb.wav", "USB", 0x4, 3000, "USB", "", "PKTUSB"},
    {Mode::kCW, "CW ", 5, "cw", "cw.wav", "CW", 0x2, 3000, "CW", "", "CWR"},
    {Mode::kAUT, "AUT", kAutomaticModeCode, "auto", "auto", "", 0, 0, "Auto", "", ""},
}};

const ReceiverMode& ModeFacts(Mode mode);
// The mode of a panel name, compared whole and with letter case; null for any
// other text ("CW" without its blank, "fm").
const ReceiverMode* ModeOfPanelText(std::string_view text);
// The mode of an "MD" digit the panel has a mode for; null for the others.
const ReceiverMode* ModeOfReceiverCode(int code);
// The mode of a Hamlib mode name; null for a name the receiver has not.
const ReceiverMode* ModeOfNetworkName(std::string_view name);
// The mode a network client's Hamlib name is heard in: its own, or the one
// it is heard through ("PKTUSB" in USB); null for any other name.
const ReceiverMode* ModeHeardForNetworkName(std::string_view name);
// The mode a CSV list's mode name is heard in, its letter case aside ("nfm"
// in FM); null for any other name.
const ReceiverMode* ModeOfCsvName(std::string_view name);

}  // namespace voxrig
