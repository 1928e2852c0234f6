// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// How the AR8600 writes frequencies and steps on its serial line, both ways.
namespace ar8600sim {

inline constexpr std::int64_t kLowestHz = 100'000;         // 0.1 MHz
inline constexpr std::int64_t kHighestHz = 2'040'000'000;  // 2040 MHz
inline constexpr int kAirbandStepHz = 8330;                // the 8.33 kHz step

// A frequency as the receiver takes it: megahertz with a point ("0145.50000",
// "145.123450") or exactly ten digits of hertz ("0145000000"). Rounded to the
// receiver's 50 Hz resolution. Empty when malformed; the range is not checked.
std::optional<std::int64_t> ParseFrequencyHz(std::string_view text);

// A plain megahertz figure with up to six decimals ("145.2125", "7"), kept to
// the hertz: used by the simulator's own files, not by the receiver.
std::optional<std::int64_t> ParseMegahertzExact(std::string_view text);

bool FrequencyInRange(std::int64_t hz);

// "0145500000": the ten-digit field of RX, MR and LC answers.
std::string TenDigitHz(std::int64_t hz);

// A step as the receiver takes it: six digits of hertz ("012500") or kilohertz
// with a point ("012.50", "6.25"). Empty when malformed or not a step the
// receiver has: a multiple of 50 Hz from 50 Hz to 999.95 kHz, or 8.33 kHz.
std::optional<int> ParseStepHz(std::string_view text);

// "012500": the six-digit step field.
std::string SixDigitStep(int stepHz);

// The mode the receiver's automatic mode picks for a frequency, as its MD digit.
int AutomaticModeFor(std::int64_t hz);

// Zero-padded decimal digits of a non-negative number, `width` wide.
std::string PaddedDigits(std::int64_t value, int width);

bool AllDigits(std::string_view text);

}  // namespace ar8600sim
