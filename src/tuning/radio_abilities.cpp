// SPDX-License-Identifier: GPL-3.0-or-later
#include "tuning/radio_abilities.h"

#include <algorithm>

#include "link/radio_capabilities.h"
#include "link/receiver_commands.h"

namespace voxrig {

namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// A frequency text read exactly: whole hertz from its megahertz and first
// six decimals, and whether decimals finer than a hertz follow. Nothing for
// a text that is not decimal digits with at most one point and at least one
// digit, or whose megahertz (leading zeros aside) are beyond any radio.
struct ExactFrequency {
  std::int64_t hz = 0;
  bool finerDecimals = false;
};

std::optional<ExactFrequency> ReadFrequency(const std::string& text) {
  constexpr std::size_t kMostMegahertzDigits = 9;
  const auto point = text.find('.');
  std::string whole = text.substr(0, point);
  const std::string decimals = point == std::string::npos ? std::string() : text.substr(point + 1);
  if (whole.empty() && decimals.empty()) return std::nullopt;
  if (!std::all_of(whole.begin(), whole.end(), IsDigit) ||
      !std::all_of(decimals.begin(), decimals.end(), IsDigit)) {
    return std::nullopt;  // a second point, a sign, a letter, a blank...
  }
  whole.erase(0, std::min(whole.find_first_not_of('0'), whole.size()));
  if (whole.size() > kMostMegahertzDigits) return std::nullopt;
  ExactFrequency exact;
  exact.hz = whole.empty() ? 0 : std::stoll(whole);
  for (std::size_t i = 0; i < 6; ++i) {
    exact.hz = exact.hz * 10 + (i < decimals.size() ? decimals[i] - '0' : 0);
  }
  exact.finerDecimals = decimals.size() > 6;
  return exact;
}

// Hertz as megahertz text with no leading zeros and no decimal zeros:
// 145500000 gives 145.5, 145000000 gives 145, 500000 gives .5.
std::string MegahertzDigits(std::int64_t hz) {
  std::string fraction = std::to_string(hz % 1'000'000);
  fraction.insert(0, 6 - fraction.size(), '0');
  while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
  std::string text = hz >= 1'000'000 ? std::to_string(hz / 1'000'000) : std::string();
  if (!fraction.empty()) text += "." + fraction;
  return text;
}

}  // namespace

std::int64_t RoundedForRadio(const ReceiverCapabilities& radio, std::int64_t hz) {
  const std::int64_t resolution = std::max<std::int64_t>(radio.tuningResolutionHz, 1);
  const std::int64_t below = hz % resolution;
  return below * 2 >= resolution ? hz - below + resolution : hz - below;
}

std::optional<std::string> TunableOn(const ReceiverCapabilities& radio,
                                     const std::string& frequencyText) {
  const auto exact = ReadFrequency(frequencyText);
  if (!exact) return std::nullopt;
  // Decimals past the hertz add less than one hertz, so they cannot move the
  // rounding: 24.9 Hz past a multiple of 50 still rounds down.
  const std::int64_t hz = RoundedForRadio(radio, exact->hz);
  if (!radio.Receives(hz)) return std::nullopt;
  if (hz == exact->hz && !exact->finerDecimals) return frequencyText;
  return MegahertzDigits(hz);
}

bool StepUsableOn(const ReceiverCapabilities& radio, const std::string& stepText) {
  constexpr std::int64_t kAirBandHz = 8330;
  const std::optional<std::int64_t> hz = receiver::StepHz(stepText);
  if (!hz) return false;
  return *hz == kAirBandHz || RoundedForRadio(radio, *hz) == *hz;
}

bool RadioHasMode(Context& ctx, Mode mode) {
  return RadioCapabilities(ctx).HasMode(mode);
}

bool RadioHasAttenuator(Context& ctx) {
  return RadioCapabilities(ctx).attenuator;
}

bool RadioHasNoiseLimiter(Context& ctx) {
  return RadioCapabilities(ctx).noiseLimiter;
}

namespace {

bool RecordedMemoryWork(const MemoryCapabilities& memories, MemoryWork work) {
  switch (work) {
    case MemoryWork::kWrite:
      return memories.write;
    case MemoryWork::kRead:
      return memories.read;
    case MemoryWork::kScan:
      return memories.scan;
    case MemoryWork::kTellSizes:
      // Any radio with memories can tell how many channels its banks hold.
      return !memories.banks.empty();
    case MemoryWork::kResize:
      return memories.resize;
  }
  return false;  // not reached: every work has its case
}

}  // namespace

bool RadioDoes(Context& ctx, MemoryWork work) {
  return RecordedMemoryWork(RadioCapabilities(ctx).memories, work);
}

bool RadioHasBank(Context& ctx, char bank) {
  return RadioCapabilities(ctx).HasBank(bank);
}

}  // namespace voxrig
