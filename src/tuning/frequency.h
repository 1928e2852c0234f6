#pragma once

#include <cstdint>

#include "core/context.h"

namespace voxrig {

void SetVfoA(Context& ctx);
void SetVfoB(Context& ctx);
void TextToHz(Context& ctx);
void HzToText(Context& ctx);
std::int64_t StepToHz(Context& ctx);
void TuneBy(Context& ctx, std::int64_t deltaHz);
void SetStep(Context& ctx);

}  // namespace voxrig
