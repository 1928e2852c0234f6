// SPDX-License-Identifier: GPL-3.0-or-later
#include "frequency_text.h"

#include <algorithm>

namespace ar8600sim {

namespace {

// Reads up to `maxDigits` decimals after a point as a whole number of
// 10^-places units; later digits must still be digits but add nothing.
std::optional<std::int64_t> ScaledFraction(std::string_view digits, int places) {
  if (!AllDigits(digits)) return std::nullopt;
  std::int64_t value = 0;
  for (int i = 0; i < places; ++i) {
    value = value * 10 + (i < static_cast<int>(digits.size()) ? digits[i] - '0' : 0);
  }
  return value;
}

std::int64_t DigitsValue(std::string_view digits) {
  std::int64_t value = 0;
  for (char c : digits) value = value * 10 + (c - '0');
  return value;
}

// Millihertz rounded to the receiver's 50 Hz grid, half way going up.
std::int64_t RoundMillihertzTo50Hz(std::int64_t millihertz) {
  constexpr std::int64_t kGrid = 50'000;
  return (millihertz + kGrid / 2) / kGrid * kGrid / 1000;
}

}  // namespace

bool AllDigits(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string PaddedDigits(std::int64_t value, int width) {
  std::string digits = std::to_string(value < 0 ? 0 : value);
  if (static_cast<int>(digits.size()) < width) {
    digits.insert(0, static_cast<std::size_t>(width) - digits.size(), '0');
  }
  return digits;
}

std::optional<std::int64_t> ParseFrequencyHz(std::string_view text) {
  const std::size_t point = text.find('.');
  if (point == std::string_view::npos) {
    if (text.size() != 10 || !AllDigits(text)) return std::nullopt;
    return RoundMillihertzTo50Hz(DigitsValue(text) * 1000);
  }
  const std::string_view whole = text.substr(0, point);
  const std::string_view fraction = text.substr(point + 1);
  if (whole.size() > 4 || !AllDigits(whole)) return std::nullopt;
  if (whole.empty() && fraction.empty()) return std::nullopt;
  // Nine decimals reach the millihertz; anything finer cannot move a 50 Hz grid.
  const auto millihertz = ScaledFraction(fraction, 9);
  if (!millihertz) return std::nullopt;
  return RoundMillihertzTo50Hz(DigitsValue(whole) * 1'000'000'000 + *millihertz);
}

std::optional<std::int64_t> ParseMegahertzExact(std::string_view text) {
  const std::size_t point = text.find('.');
  const std::string_view whole = text.substr(0, point);
  const std::string_view fraction =
      point == std::string_view::npos ? std::string_view{} : text.substr(point + 1);
  if (whole.size() > 4 || !AllDigits(whole) || fraction.size() > 6) return std::nullopt;
  if (whole.empty() && fraction.empty()) return std::nullopt;
  const auto hertz = ScaledFraction(fraction, 6);
  if (!hertz) return std::nullopt;
  return DigitsValue(whole) * 1'000'000 + *hertz;
}

bool FrequencyInRange(std::int64_t hz) {
  return hz >= kLowestHz && hz <= kHighestHz;
}

std::string TenDigitHz(std::int64_t hz) {
  return PaddedDigits(hz, 10);
}

std::optional<int> ParseStepHz(std::string_view text) {
  std::int64_t hz = 0;
  const std::size_t point = text.find('.');
  if (point == std::string_view::npos) {
    if (text.size() != 6 || !AllDigits(text)) return std::nullopt;
    hz = DigitsValue(text);
  } else {
    const std::string_view whole = text.substr(0, point);
    const std::string_view fraction = text.substr(point + 1);
    if (whole.empty() || whole.size() > 3 || !AllDigits(whole)) return std::nullopt;
    if (fraction.empty() || fraction.size() > 3) return std::nullopt;
    const auto hertz = ScaledFraction(fraction, 3);
    if (!hertz) return std::nullopt;
    hz = DigitsValue(whole) * 1000 + *hertz;
  }
  if (hz == kAirbandStepHz) return kAirbandStepHz;
  if (hz < 50 || hz > 999'950 || hz % 50 != 0) return std::nullopt;
  return static_cast<int>(hz);
}

std::string SixDigitStep(int stepHz) {
  return PaddedDigits(stepHz, 6);
}

int AutomaticModeFor(std::int64_t hz) {
  constexpr int kWfm = 0, kNfm = 1, kAm = 2;
  if (hz < 30'000'000) return kAm;                        // short wave broadcasting
  if (hz >= 76'000'000 && hz < 108'000'000) return kWfm;  // FM broadcasting
  if (hz >= 108'000'000 && hz < 137'000'000) return kAm;  // air band
  return kNfm;
}

}  // namespace ar8600sim
