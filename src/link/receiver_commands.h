// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// The AR8600's command vocabulary as this panel speaks it: every command the
// panel sends is built here, so the receiver's language can be read in one
// place. Each builder returns the command text without its CR; SendCommand
// adds the CR.
namespace voxrig::receiver {

// The receiver's tuning range: 0.1 to 2040 MHz.
inline constexpr std::int64_t kLowestHz = 100'000;
inline constexpr std::int64_t kHighestHz = 2'040'000'000;
// The finest the receiver tunes: 50 Hz, its smallest step. Its manual and
// our notes say a VFO set with finer digits is rounded by the receiver, but
// how a real receiver rounds (up, down, to the nearest) is not settled by
// them: the panel rounds to the nearest 50 Hz itself, so what it sends,
// shows and tells the network is what the receiver holds, whichever way the
// receiver would have rounded.
inline constexpr std::int64_t kTuningResolutionHz = 50;
// The step a bank whose step line cannot be read is stored with: the
// receiver's own from the factory, and the panel's after connecting.
inline constexpr const char* kDefaultStepText = "12.5";
// The characters of a channel name the receiver keeps (its "TM" field).
inline constexpr std::size_t kChannelNameLength = 12;

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

// The values the receiver takes, as the panel keeps them in a bank file and
// sends them: a frequency is decimal megahertz with at most one point and six
// decimals, from 0.1 to 2040 MHz; a step is decimal kilohertz with at most
// two decimals, a multiple of 50 Hz from 0.05 to 999.95 kHz, or 8.33.
bool IsReceiverFrequency(const std::string& frequencyText);
bool IsReceiverStep(const std::string& stepText);

// Hertz rounded to the nearest the receiver tunes to (a half rounds up).
std::int64_t RoundedToTuningResolution(std::int64_t hz);

// A frequency text as VFO A or B can be tuned to it, or nothing: decimal
// megahertz with at most one point, rounded to the receiver's 50 Hz and then
// within 0.1 to 2040 MHz. A text with at most six decimals that is on the
// receiver's resolution already comes back as it is, so it goes out as
// typed; any other comes back rounded, without leading zeros or decimal
// zeros: 145.12345678901 gives 145.12345, 145.00002 gives 145, 3000 and
// 1.4.5 give nothing.
std::optional<std::string> TunableFrequency(const std::string& frequencyText);

// A step the receiver takes (IsReceiverStep) in hertz, or nothing: 12.5
// gives 12500, 8.33 gives 8330, as the receiver itself reports it.
std::optional<std::int64_t> StepHz(const std::string& stepText);

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

// A channel frequency as the receiver can store it, or nothing: the text
// must be decimal digits with at most one point (and at least one digit), and
// the frequency must lie within the receiver's 0.1 to 2040 MHz. The result is
// the frequency again with no leading zeros and at most six decimals, rounded
// to the hertz, so its frequency field is exactly ten digits: 0145.1234567
// gives 145.123457, 12e3 and 2040.5 give nothing.
std::optional<std::string> StorableChannelFrequency(const std::string& frequencyText);

// A channel name as the receiver is sent it: control bytes (a NUL, the XON
// and XOFF that pace the line, a CR that would end the command early) become
// blanks.
std::string StorableChannelName(const std::string& name);

// The mode field of a channel write from a bank's mode text: " MD" and the
// mode code, or " AU1" (the receiver picks the mode by band) for "AUT" and
// any text the receiver has no mode code for.
std::string ChannelModeField(const std::string& modeText);

// The step a channel is written with for a bank's step text, in hertz: the
// bank's step, or the default 12.5 kHz for a text that is no step the
// receiver takes (a missing or hand-spoiled step line).
std::int64_t ChannelStepHz(const std::string& stepText);

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

}  // namespace voxrig::receiver
