#pragma once

#include <string>

#include "app/context.h"

namespace voxrig {

// Spoken prompts: silent when the configuration switches the voice off.
void Say(Context& ctx, const std::string& name);
// Timing sounds heard whatever the voice setting ("shdel", the wait beeps).
void SayAlways(Context& ctx, const std::string& name);
// The pacing pause between receiver commands: the length of "shdel".
void Pause(Context& ctx);

void SpeakFrequency(Context& ctx);
void SpeakMode(Context& ctx);
void SpeakSignalLevel(Context& ctx);
// A count: the tens digit when 10 or more, then the units digit; 100 and more
// digit by digit.
void SpeakCount(Context& ctx, int count);

}  // namespace voxrig
