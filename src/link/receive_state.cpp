// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/receive_state.h"

#include <cmath>
#include <cstdlib>

#include "core/text_rules.h"
#include "link/receiver_commands.h"
#include "link/timed_exchange.h"
#include "speech/receiver_modes.h"

namespace voxrig {

namespace {

// The value of the field that starts with `tag` after a blank ("RF" gives
// the ten digits after " RF"), or empty.
std::string FieldAfter(std::string_view reply, std::string_view tag) {
  const std::string marker = " " + std::string(tag);
  const std::size_t at = reply.find(marker);
  if (at == std::string_view::npos) return {};
  const std::size_t start = at + marker.size();
  const std::size_t end = reply.find(' ', start);
  return std::string(reply.substr(start, end == std::string_view::npos ? end : end - start));
}

// The step in the receiver's six digits of hertz: 12.5 gives 012500, 8.33
// gives 008330.
std::string StepField(const std::string& stepText) {
  const double hz = std::round(NumberFromText(stepText) * 1000.0);
  if (!(hz >= 0 && hz < 1e6)) return {};
  std::string digits = std::to_string(static_cast<long long>(hz));
  return std::string(6 - std::min<std::size_t>(6, digits.size()), '0') + digits;
}

// The receiver tunes to 50 Hz: a frequency shown finer than that is held
// when the receiver is within those 50 Hz of it.
constexpr long long kTuningResolutionHz = 50;

bool SameFrequency(const std::string& heldField, const std::string& shownField) {
  const auto hertz = [](const std::string& field) -> std::optional<long long> {
    const std::string digits = field.substr(0, 10);
    if (digits.size() != 10 || digits.find_first_not_of("0123456789") != std::string::npos) {
      return std::nullopt;
    }
    return std::stoll(digits);
  };
  const auto held = hertz(heldField);
  const auto shown = hertz(shownField);
  return held && shown && std::llabs(*held - *shown) < kTuningResolutionHz;
}

}  // namespace

std::optional<std::vector<ReceiverField>> FieldsNotHeld(std::string_view reply,
                                                        const ShownState& shown) {
  if (!HoldsFrequencyField(std::string(reply))) return std::nullopt;
  std::vector<ReceiverField> notHeld;
  if (!SameFrequency(FieldAfter(reply, "RF"),
                     receiver::ChannelFrequencyField(shown.frequencyText))) {
    notHeld.push_back(ReceiverField::kFrequency);
  }
  const ReceiverMode* mode = ModeOfPanelText(shown.modeText);
  const bool automatic = mode != nullptr && mode->receiverCode == kAutomaticModeCode;
  const bool modeHeld =
      mode != nullptr && FieldAfter(reply, "AU") == (automatic ? "1" : "0") &&
      (automatic || FieldAfter(reply, "MD") == std::to_string(mode->receiverCode));
  if (!modeHeld) notHeld.push_back(ReceiverField::kMode);
  if (FieldAfter(reply, "ST") != StepField(shown.stepText)) notHeld.push_back(ReceiverField::kStep);
  if (FieldAfter(reply, "AT") != (shown.attenuatorOn ? "1" : "0")) {
    notHeld.push_back(ReceiverField::kAttenuator);
  }
  return notHeld;
}

}  // namespace voxrig
