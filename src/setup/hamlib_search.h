// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>

#include "core/context.h"
#include "setup/port_search.h"

namespace voxrig {

// The speeds a radio driven through Hamlib is tried at, most common first.
inline constexpr int kHamlibRadioSpeeds[] = {19200, 9600, 4800, 38400, 57600, 115200};

// Looks for a radio of Hamlib's model `model` on `device` alone, or on every
// serial device there is: at each speed the radio is opened through Hamlib
// and asked its frequency, and the first that answers is the one. Each try
// is told; nothing when no radio answered.
std::optional<FoundReceiver> FindHamlibRadio(Context& ctx, SetupTools& tools, int model,
                                             const std::optional<std::string>& device);

}  // namespace voxrig
