// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace voxrig {

// The receiver's state as the panel shows it, in the panel's own texts: the
// frequency in megahertz ("146.5"), the step in kilohertz ("12.5"), the mode
// line ("USB", "AUT") and the attenuator.
struct ShownState {
  std::string frequencyText;
  std::string stepText;
  std::string modeText;
  bool attenuatorOn = false;
};

// A part of the receive state the answer to "RX" reports.
enum class ReceiverField { kFrequency, kMode, kStep, kAttenuator };

// The parts of `shown` the receiver does not hold, by its answer to "RX"
// ("VA RF0146500000 ST025000 AU0 MD3 AT1"; a memory channel's "MR MX..." and a
// scan's "MS MX..." carry the same fields); a part the answer leaves out
// counts as not held. Nothing when the reply is no receive state at all (no
// frequency field): the receiver could not be read back.
std::optional<std::vector<ReceiverField>> FieldsNotHeld(std::string_view reply,
                                                        const ShownState& shown);

}  // namespace voxrig
