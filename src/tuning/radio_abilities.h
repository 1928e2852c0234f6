// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/context.h"
#include "platform/receiver.h"

// What the radio the panel drives can do, as the keys ask it before they
// send anything: the frequencies it tunes, the modes and switches it has and
// the memories it keeps. A key the radio cannot carry out says so and sends
// nothing.
namespace voxrig {

// Hertz rounded to the nearest the radio tunes to (a half rounds up).
std::int64_t RoundedForRadio(const ReceiverCapabilities& radio, std::int64_t hz);

// A frequency text as the radio can be tuned to it, or nothing: decimal
// megahertz with at most one point, rounded to the radio's resolution and
// then within its ranges. A text with at most six decimals that is on the
// resolution already comes back as it is, so it goes out as typed; any other
// comes back rounded, without leading zeros or decimal zeros. On the AR8600
// (50 Hz, 0.1 to 2040 MHz): 145.12345678901 gives 145.12345, 145.00002
// gives 145, 3000 and 1.4.5 give nothing.
std::optional<std::string> TunableOn(const ReceiverCapabilities& radio,
                                     const std::string& frequencyText);

// Whether the radio searches by the step: a step as a bank file keeps it
// (kilohertz, 0.05 to 999.95) on the radio's resolution, or the air band's
// 8.33 kHz.
bool StepUsableOn(const ReceiverCapabilities& radio, const std::string& stepText);

// The memory work of the keys W (write), X (read), G (scan) and Z (tell the
// banks' sizes, and resize them where the radio can).
enum class MemoryWork { kWrite, kRead, kScan, kTellSizes, kResize };

bool RadioHasMode(Context& ctx, Mode mode);
bool RadioHasAttenuator(Context& ctx);
bool RadioHasNoiseLimiter(Context& ctx);
bool RadioDoes(Context& ctx, MemoryWork work);
// Whether the radio's memories reach the bank lettered `bank`.
bool RadioHasBank(Context& ctx, char bank);

}  // namespace voxrig
