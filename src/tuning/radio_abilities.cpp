// SPDX-License-Identifier: GPL-3.0-or-later
#include "tuning/radio_abilities.h"

#include <algorithm>

#include "link/radio_capabilities.h"
#include "link/receiver_commands.h"

namespace voxrig {

namespace {

// The most megahertz digits a frequency of any radio has.
constexpr std::size_t kMostMegahertzDigits = 9;

}  // namespace

std::int64_t RoundedForRadio(const ReceiverCapabilities& radio, std::int64_t hz) {
  const std::int64_t resolution = std::max<std::int64_t>(radio.tuningResolutionHz, 1);
  const std::int64_t below = hz % resolution;
  return below * 2 >= resolution ? hz - below + resolution : hz - below;
}

std::optional<std::string> TunableOn(const ReceiverCapabilities& radio,
                                     const std::string& frequencyText) {
  const auto exact = receiver::ReadFrequency(frequencyText, kMostMegahertzDigits);
  if (!exact) return std::nullopt;
  // Decimals past the hertz add less than one hertz, so they cannot move the
  // rounding: 24.9 Hz past a multiple of 50 still rounds down.
  const std::int64_t hz = RoundedForRadio(radio, exact->hz);
  if (!radio.Receives(hz)) return std::nullopt;
  if (hz == exact->hz && exact->finerDecimals.empty()) return frequencyText;
  return receiver::MegahertzDigits(hz);
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
