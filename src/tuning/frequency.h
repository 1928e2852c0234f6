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
void SetStep(Context& ctx);

}  // namespace voxrig
