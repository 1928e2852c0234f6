// SPDX-License-Identifier: GPL-3.0-or-later
#include "hamlib/hamlib_capabilities.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <string_view>

#include "core/receiver_modes.h"
#include "hamlib/hamlib_memories.h"

namespace voxrig {

namespace {

// Hamlib keeps a model's receive ranges in lists by region; a radio receives
// what any of them lists.
std::vector<FrequencyRange> ReceiveRanges(const rig_caps& caps) {
  std::vector<FrequencyRange> ranges;
  for (const freq_range_t* list : {caps.rx_range_list1, caps.rx_range_list2, caps.rx_range_list3,
                                   caps.rx_range_list4, caps.rx_range_list5}) {
    for (int i = 0; i < HAMLIB_FRQRANGESIZ && !RIG_IS_FRNG_END(list[i]); ++i) {
      ranges.push_back(
          {static_cast<std::int64_t>(list[i].startf), static_cast<std::int64_t>(list[i].endf)});
    }
  }
  // One span for ranges that overlap or touch, in ascending order.
  std::sort(ranges.begin(), ranges.end(), [](const FrequencyRange& a, const FrequencyRange& b) {
    return a.lowestHz < b.lowestHz;
  });
  std::vector<FrequencyRange> merged;
  for (const FrequencyRange& range : ranges) {
    if (!merged.empty() && range.lowestHz <= merged.back().highestHz + 1) {
      merged.back().highestHz = std::max(merged.back().highestHz, range.highestHz);
    } else {
      merged.push_back(range);
    }
  }
  return merged;
}

rmode_t ModesReceived(const rig_caps& caps) {
  rmode_t modes = RIG_MODE_NONE;
  for (const freq_range_t* list : {caps.rx_range_list1, caps.rx_range_list2, caps.rx_range_list3,
                                   caps.rx_range_list4, caps.rx_range_list5}) {
    for (int i = 0; i < HAMLIB_FRQRANGESIZ && !RIG_IS_FRNG_END(list[i]); ++i)
      modes |= list[i].modes;
  }
  return modes;
}

// The finest tuning step the model lists; a model that lists none, or any
// step, tunes to the hertz.
std::int64_t TuningResolution(const rig_caps& caps) {
  std::int64_t finest = 0;
  for (int i = 0; i < HAMLIB_TSLSTSIZ && !RIG_IS_TS_END(caps.tuning_steps[i]); ++i) {
    const auto step = static_cast<std::int64_t>(caps.tuning_steps[i].ts);
    if (step == RIG_TS_ANY) return 1;
    if (finest == 0 || step < finest) finest = step;
  }
  return finest > 0 ? finest : 1;
}

// The scan operations a radio has. Hamlib keeps them as a set of bits in a
// field of its enum type, which no single value of the enum names (the
// dummy has them all); the bits are read as the number they are.
unsigned ScanOperations(const rig_caps& caps) {
  unsigned operations = 0;
  static_assert(sizeof operations == sizeof caps.scan_ops);
  std::memcpy(&operations, &caps.scan_ops, sizeof operations);
  return operations;
}

}  // namespace

std::optional<Mode> PanelModeOf(rmode_t mode) {
  std::string name = rig_strrmode(mode);
  if (const ReceiverMode* facts = ModeOfNetworkName(name)) return facts->mode;
  // Narrow FM and AM, reversed CW: the same mode key is heard.
  if (name.size() > 2 && (name.back() == 'N' || name.back() == 'R')) {
    name.pop_back();
    if (const ReceiverMode* facts = ModeOfNetworkName(name)) return facts->mode;
  }
  return std::nullopt;
}

rmode_t HamlibModeOf(Mode mode) {
  const std::string name(ModeFacts(mode).networkName);
  return name.empty() ? RIG_MODE_NONE : rig_parse_mode(name.c_str());
}

setting_t NoiseLimiterFunction(const rig_caps& caps) {
  if ((caps.has_set_func & RIG_FUNC_ANL) != 0) return RIG_FUNC_ANL;
  if ((caps.has_set_func & RIG_FUNC_NB) != 0) return RIG_FUNC_NB;
  return 0;
}

int AttenuatorDecibels(const rig_caps& caps) {
  return (caps.has_set_level & RIG_LEVEL_ATT) != 0 ? caps.attenuator[0] : 0;
}

bool RawLevelIsMeterFigure(const rig_caps& caps) {
  return caps.mfg_name != nullptr && std::string_view(caps.mfg_name) == "AOR" &&
         (caps.has_get_level & RIG_LEVEL_RAWSTR) != 0;
}

ReceiverCapabilities CapabilitiesOfCaps(const rig_caps& caps) {
  ReceiverCapabilities result;
  result.maker = caps.mfg_name != nullptr ? caps.mfg_name : "";
  result.modelName = caps.model_name != nullptr ? caps.model_name : "";
  result.hamlibModel = static_cast<int>(caps.rig_model);
  result.receiveRanges = ReceiveRanges(caps);
  result.tuningResolutionHz = TuningResolution(caps);
  const rmode_t received = ModesReceived(caps);
  for (const ReceiverMode& mode : kReceiverModes) {
    const rmode_t hamlibMode = HamlibModeOf(mode.mode);
    if (hamlibMode != RIG_MODE_NONE && (received & hamlibMode) != 0) {
      result.modes.push_back(mode.mode);
    }
  }
  result.attenuator = AttenuatorDecibels(caps) != 0;
  result.noiseLimiter = NoiseLimiterFunction(caps) != 0;
  // The radio's own search runs between its VFO A and VFO B, so both must be
  // settable on their own: a radio that tunes only the VFO it listens on is
  // stepped through the range by the panel.
  result.searchesByItself = (ScanOperations(caps) & RIG_SCAN_VFO) != 0 &&
                            (caps.targetable_vfo & RIG_TARGETABLE_FREQ) != 0;
  const MemoryLayout layout = MemoryLayoutOf(caps, caps.chan_list);
  result.memories.read = layout.readable;
  result.memories.write = layout.writable;
  // The memory scan is the panel's own over the channels it reads, so it
  // works on every radio whose memories can be read.
  result.memories.scan = layout.readable;
  result.memories.resize = false;
  result.memories.banks = BankLetters(layout);
  result.memories.channelsPerBank = result.memories.banks.empty() ? 0 : ChannelsInBank(layout, 'A');
  return result;
}

std::optional<ReceiverCapabilities> HamlibModelCapabilities(int model) {
  if (model <= 0) return std::nullopt;
  // A model's record is there once its maker's driver is loaded.
  rig_check_backend(static_cast<rig_model_t>(model));
  const rig_caps* caps = rig_get_caps(static_cast<rig_model_t>(model));
  if (caps == nullptr) return std::nullopt;
  return CapabilitiesOfCaps(*caps);
}

}  // namespace voxrig
