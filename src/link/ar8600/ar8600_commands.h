// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "platform/radio_mode.h"

// The AR8600's command vocabulary as this panel speaks it: every command the
// panel sends the receiver is built here, so its language can be read in one
// place. Each builder returns the command text without its CR; the receiver's
// line adds the CR.
namespace voxrig::receiver {

// Written alone, without CR: lets a search or memory scan resting on a signal
// go on (and steps the frequency up when nothing rests).
inline constexpr char kResumeByte = 0x1E;

inline constexpr const char* kReadLevel = "LM";
inline constexpr const char* kReadReceiveState = "RX";
inline constexpr const char* kStartVfoSearch = "VS";
inline constexpr const char* kLevelReportingOnChange = "LC1";
inline constexpr const char* kAutomaticModeOn = "AU1";
inline constexpr const char* kReadMemoryChannel = "MR";
inline constexpr const char* kRestartMemoryScan = "MS";
inline constexpr const char* kExitRemote = "EX";
// Read-only questions the receiver probe asks besides the above.
inline constexpr const char* kReadMode = "MD";
inline constexpr const char* kReadAttenuator = "AT";
inline constexpr const char* kReadNoiseLimiter = "NL";
inline constexpr const char* kReadPassFlag = "MP";
// "MA" alone: the next ten channels of the bank "MA" + bank began to read.
inline constexpr const char* kReadNextChannels = "MA";
// "MA" + bank: the bank's first ten channels, without selecting any.
std::string ReadBankChannels(char bank);

// "VA" or "VB" and the frequency text filled in front to four megahertz
// digits (leading zeros of the text dropped first) and then to ten
// characters, with one more "0" after that in every case: 145.5 gives
// VA0145.50000, 145 gives VA0145000000, .5 and 0.5 give VA0000.50000.
std::string SetVfo(char vfo, const std::string& frequencyDigits);

// "ST" and the step in kilohertz filled in front to three whole digits, then
// to eight characters: 12.5 gives ST012.50, 25 gives ST025000.
std::string SetStep(const std::string& stepText);

// "MD0" to "MD8".
std::string SelectMode(int modeCode);

std::string Attenuator(bool on);
std::string NoiseLimiter(bool on);

// "MS" and a bank letter (or "MS" alone for an empty text).
std::string StartMemoryScan(const std::string& bank);
// "MR" and a channel such as A05.
std::string RecallChannel(const std::string& channel);
// "MP1" passes the current channel in scans, "MP0" takes it back.
std::string PassChannel(bool pass);

// "MQ" + bank + "%%": the receiver CLEARS every channel of that bank.
std::string ClearBank(char bank);
// "MW" + bank: asks the bank's share of its pair.
std::string ReadBankSize(char bank);
// "MW" + bank + "90": gives the bank 90 of its pair's 100 channels.
std::string SetBankSizeNinety(char bank);

// The ten-digit hertz field of a channel write from a megahertz text: the
// integer part filled to four digits, the point dropped, zeros appended to
// ten characters (a longer result is sent uncut). 145.5 gives 0145500000,
// .5 and 0.5 give 0000500000.
std::string ChannelFrequencyField(const std::string& frequencyText);

// The mode field of a channel write from a bank's mode text: " MD" and the
// mode code, or " AU1" (the receiver picks the mode by band) for "AUT" and
// any text the receiver has no mode code for.
std::string ChannelModeField(const std::string& modeText);

// The step field of a channel write: " ST" and ChannelStepHz as six digits,
// the form the receiver reads its channels back in (12.5 gives " ST012500",
// 25 gives " ST025000", 8.33 " ST008330").
std::string ChannelStepField(const std::string& stepText);

// "MX" + bank + two-digit channel + " RF" + frequency field + step field +
// mode field + " TM" + the name cut or padded to 12 characters: 46
// characters for a normal frequency. The name goes out as
// StorableChannelName gives it.
std::string WriteChannel(char bank, int channel, const std::string& frequencyText,
                         const std::string& stepText, const std::string& modeText,
                         const std::string& name);

// The mode command for a mode key: "AU1" for AUT (the receiver picks the
// mode by band), "MD" and the mode's code for the others.
std::string ModeCommand(Mode mode);

// "MR" and a channel as bank letter and two digits: A and 5 give MRA05.
std::string RecallChannel(char bank, int channel);

}  // namespace voxrig::receiver
