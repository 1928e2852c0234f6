// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/receiver_commands.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "core/receiver_modes.h"
#include "core/text_rules.h"

namespace voxrig::receiver {

namespace {

// The most megahertz digits the receiver's range has.
constexpr std::size_t kMegahertzDigits = 4;

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// The text as decimal digits with at most one point and at least one digit:
// its whole part and its decimals; nothing for any other text.
std::optional<std::pair<std::string, std::string>> DecimalParts(const std::string& text) {
  const auto point = text.find('.');
  std::string whole = text.substr(0, point);
  std::string decimals = point == std::string::npos ? std::string() : text.substr(point + 1);
  if (whole.empty() && decimals.empty()) return std::nullopt;
  if (!std::all_of(whole.begin(), whole.end(), IsDigit) ||
      !std::all_of(decimals.begin(), decimals.end(), IsDigit)) {
    return std::nullopt;  // a second point, a sign, a letter, a blank...
  }
  const auto firstNonZero = whole.find_first_not_of('0');
  whole = firstNonZero == std::string::npos ? std::string() : whole.substr(firstNonZero);
  return std::make_pair(whole, decimals);
}

bool InRange(std::int64_t hz) {
  return hz >= kLowestHz && hz <= kHighestHz;
}

// A step text in hundredths of a kilohertz, when it has the receiver's form
// (at most three whole digits and two decimals); nothing otherwise.
std::optional<long long> StepHundredths(const std::string& stepText) {
  const auto parts = DecimalParts(stepText);
  if (!parts || parts->first.size() > 3 || parts->second.size() > 2) return std::nullopt;
  std::string decimals = parts->second;
  decimals.resize(2, '0');
  return (parts->first.empty() ? 0 : std::stoll(parts->first)) * 100 + std::stoll(decimals);
}

}  // namespace

std::optional<ExactFrequency> ReadFrequency(const std::string& text,
                                            std::size_t mostMegahertzDigits) {
  const auto parts = DecimalParts(text);
  if (!parts || parts->first.size() > mostMegahertzDigits) return std::nullopt;
  const std::string& decimals = parts->second;
  ExactFrequency exact;
  exact.hz = parts->first.empty() ? 0 : std::stoll(parts->first);
  for (std::size_t i = 0; i < 6; ++i) {
    exact.hz = exact.hz * 10 + (i < decimals.size() ? decimals[i] - '0' : 0);
  }
  if (decimals.size() > 6) exact.finerDecimals = decimals.substr(6);
  return exact;
}

std::string MegahertzDigits(std::int64_t hz) {
  std::string fraction = std::to_string(hz % 1'000'000);
  fraction.insert(0, 6 - fraction.size(), '0');
  while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
  std::string text = hz >= 1'000'000 ? std::to_string(hz / 1'000'000) : std::string();
  if (!fraction.empty()) text += "." + fraction;
  return text;
}

bool IsReceiverFrequency(const std::string& frequencyText) {
  const auto parts = DecimalParts(frequencyText);
  return parts && parts->second.size() <= 6 && StorableChannelFrequency(frequencyText);
}

bool IsReceiverStep(const std::string& stepText) {
  // Hundredths of a kilohertz: the receiver takes every multiple of 50 Hz
  // from 50 Hz to 999.95 kHz, and the air band's 8.33 kHz.
  constexpr long long kFinest = 5, kCoarsest = 99'995, kAirBand = 833;
  const auto hundredths = StepHundredths(stepText);
  if (!hundredths) return false;
  return *hundredths == kAirBand ||
         (*hundredths % kFinest == 0 && *hundredths >= kFinest && *hundredths <= kCoarsest);
}

std::optional<std::int64_t> StepHz(const std::string& stepText) {
  if (!IsReceiverStep(stepText)) return std::nullopt;
  return *StepHundredths(stepText) * 10;
}

std::optional<std::string> StorableChannelFrequency(const std::string& frequencyText) {
  const auto exact = ReadFrequency(frequencyText, kMegahertzDigits);
  if (!exact) return std::nullopt;
  // Whole hertz, counted exactly: the seventh decimal rounds.
  const bool roundsUp = !exact->finerDecimals.empty() && exact->finerDecimals[0] >= '5';
  const std::int64_t hz = exact->hz + (roundsUp ? 1 : 0);
  if (!InRange(hz)) return std::nullopt;
  return MegahertzDigits(hz);
}

std::string StorableChannelName(const std::string& name) {
  std::string storable = name;
  for (char& c : storable) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) c = ' ';
  }
  return storable;
}

std::int64_t ChannelStepHz(const std::string& stepText) {
  return StepHz(stepText).value_or(*StepHz(kDefaultStepText));
}

}  // namespace voxrig::receiver
