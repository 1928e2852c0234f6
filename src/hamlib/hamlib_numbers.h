// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/receiver.h"

namespace voxrig {

// A decimal number as the panel keeps one ("145.5" megahertz, "12.5"
// kilohertz) in whole units of 10^-decimals: ScaledDecimal("145.5", 6) is
// 145500000. Digits past those units are dropped. Nothing for any text but
// digits with at most one point.
std::optional<std::int64_t> ScaledDecimal(const std::string& text, int decimals);

// A frequency in the panel's texts: ten digits of hertz ("0145500000"), and
// megahertz without the zeros that say nothing ("145.5", "145.0" for whole
// megahertz).
HeardFrequency HeardFrequencyOf(std::int64_t hz);

}  // namespace voxrig
