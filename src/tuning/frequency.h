// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

#include "core/context.h"

namespace voxrig {

void SetVfoA(Context& ctx);
void SetVfoB(Context& ctx);
void TextToHz(Context& ctx);
void HzToText(Context& ctx);
// Hertz as the panel writes a frequency: megahertz with the trailing zeros of
// the decimals dropped, 145500000 as 145.5, 145000000 as 145., 500000 as .5.
std::string MegahertzText(std::int64_t hz);
std::int64_t StepToHz(Context& ctx);
void TuneBy(Context& ctx, std::int64_t deltaHz);
// Tunes as TuneBy does when the frequency it lands on, rounded to the
// receiver's resolution, is within the receiver's range; false, with
// nothing sent or changed, when it is not. A receiver found gone by the
// command keeps the frequency it had on the panel ("rnc" has been said).
bool TuneWithinRange(Context& ctx, std::int64_t deltaHz);
void SetStep(Context& ctx);

}  // namespace voxrig
