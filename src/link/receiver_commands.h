// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// The values the AR8600 takes, as the panel keeps them in its texts and bank
// files: its range, its tuning resolution, its steps and channel names. The
// commands that carry them stand in link/ar8600/ar8600_commands.h.
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

// The values the receiver takes, as the panel keeps them in a bank file and
// sends them: a frequency is decimal megahertz with at most one point and six
// decimals, from 0.1 to 2040 MHz; a step is decimal kilohertz with at most
// two decimals, a multiple of 50 Hz from 0.05 to 999.95 kHz, or 8.33.
bool IsReceiverFrequency(const std::string& frequencyText);
bool IsReceiverStep(const std::string& stepText);

// A frequency text read exactly: whole hertz from its megahertz and first
// six decimals, and the decimals past those. Nothing for a text that is not
// decimal digits with at most one point (and at least one digit), or whose
// megahertz, leading zeros aside, have more than `mostMegahertzDigits`.
struct ExactFrequency {
  std::int64_t hz = 0;
  std::string finerDecimals;
};
std::optional<ExactFrequency> ReadFrequency(const std::string& text,
                                            std::size_t mostMegahertzDigits);

// Hertz as megahertz text with no leading zeros and no decimal zeros:
// 145500000 gives 145.5, 145000000 gives 145, 500000 gives .5.
std::string MegahertzDigits(std::int64_t hz);

// A step the receiver takes (IsReceiverStep) in hertz, or nothing: 12.5
// gives 12500, 8.33 gives 8330, as the receiver itself reports it.
std::optional<std::int64_t> StepHz(const std::string& stepText);

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

// The step a channel is written with for a bank's step text, in hertz: the
// bank's step, or the default 12.5 kHz for a text that is no step the
// receiver takes (a missing or hand-spoiled step line).
std::int64_t ChannelStepHz(const std::string& stepText);

}  // namespace voxrig::receiver
