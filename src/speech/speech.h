#pragma once

#include <array>
#include <string>
#include <string_view>

#include "core/context.h"

namespace voxrig {

// Spoken prompts: silent, and taking no time, when the configuration switches
// the voice off.
void Say(Context& ctx, const std::string& name);
// Timing sounds heard whatever the voice setting ("shdel", the wait beeps).
void SayAlways(Context& ctx, const std::string& name);
// The pacing pause between receiver commands: the length of "shdel".
void Pause(Context& ctx);

// Speaks a frequency text character by character ("point" for the point),
// trimmed of trailing decimal zeros first: 145.500 as 145.5, 145. as 145.0.
void SpeakFrequency(Context& ctx, const std::string& digits);
// Speaks tuning.modeText when it is one of the receiver's mode names (the
// mode's announcement) or an attenuator state.
void SpeakMode(Context& ctx);
// "s", the level digit (9 for anything above), and "plus" above 9.
void SpeakSignalLevel(Context& ctx);
// A count: the tens digit when 10 or more, then the units digit; 100 and more
// digit by digit.
void SpeakCount(Context& ctx, int count);

// The attenuator's two states, which SpeakMode announces as it announces a
// mode when the mode line holds one of them.
struct SwitchPrompt {
  std::string_view lineText;
  std::string_view prompt;
};
inline constexpr std::array<SwitchPrompt, 2> kSwitchPrompts{{
    {"ATT ON", "atton.wav"},
    {"ATT OFF", "attoff.wav"},
}};

}  // namespace voxrig
