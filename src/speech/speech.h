// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "core/context.h"

namespace voxrig {

// Prompts are queued and heard while the panel goes on (see Sound). What a
// key or a tick says is a readout, which the listener's next key cuts short,
// unless it says one of kOutcomePrompts: then all that key or tick says is
// heard to its end.

// Spoken prompts: silent when the configuration switches the voice off.
void Say(Context& ctx, const std::string& name);
// Sounds heard whatever the voice setting ("shdel", the wait beeps).
void SayAlways(Context& ctx, const std::string& name);
// The pacing pause between receiver commands, awaited by a long operation
// (`co_await Pause(ctx)`): kPauseMs by the clock, during which the loop goes
// on, whatever the voice setting and whether or not the silent prompt
// "shdel", queued with it so the listener hears the same rhythm, is there.
// Then, for a radio whose calls end beside the loop, until they have ended.
Steps<> Pause(Context& ctx);
inline constexpr int kPauseMs = 150;
// A key has been taken: the readouts still to be heard are cut, unless the
// listener asked for whole readouts (speech.wholeReadouts), and what the key
// says is a unit of its own.
void CutStaleSpeech(Context& ctx);
// The panel is ending: nothing queued is heard any more but what the last
// key or tick said when it reports an outcome ("quit", or why it ends).
void EndSpeech(Context& ctx);
// What is said from now on (on a tick) is a unit of its own.
void StartSpeechUnit(Context& ctx);

// Speaks a frequency text character by character ("point" for the point),
// trimmed of trailing decimal zeros first: 145.500 as 145.5, 145. as 145.0.
void SpeakFrequency(Context& ctx, const std::string& digits);
// Speaks typed text character by character as it was typed ("point" for
// the point, a bank letter as its letter), nothing trimmed.
void SpeakTyped(Context& ctx, const std::string& typed);
// Speaks tuning.modeText when it is one of the receiver's mode names (the
// mode's announcement) or an attenuator state.
void SpeakMode(Context& ctx);
// "s", the level digit (9 for anything above), and "plus" above 9.
void SpeakSignalLevel(Context& ctx);
// A count: the tens digit when 10 or more, then the units digit; 100 and more
// digit by digit.
void SpeakCount(Context& ctx, int count);

// Where the listener has landed on a channel: "channel", the bank letter of
// a receiver memory channel (empty for a bank file's channel), the channel's
// number, then its name as it stands. A blank name says nothing, and so does
// every name while names are switched off (speech.namesSpoken).
void SpeakChannel(Context& ctx, const std::string& bank, int number, const std::string& name);

// Channel names fall silent for the rest of the run (NAMES=0 in VOXRIG.CFG,
// or --no-names); the numbers are still said.
void KeepNamesSilent(Context& ctx);

// A channel's name as it is said, and as a report names the channel after its
// number: without the blanks a receiver or a bank file pads it with, control
// bytes as blanks. Empty for a blank name.
std::string NameToSay(const std::string& name);

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

// The prompts that report an outcome the listener must not miss: a refusal,
// a failure, the receiver lost or found, the end of an operation. Never cut,
// and neither is anything said with them.
inline constexpr std::array<std::string_view, 26> kOutcomePrompts{{
    "inv",     "ok",      "wrerr",   "toolong",   "rnc",     "connected", "cfnf",
    "quit",    "bnf",     "sel",     "unsel",     "incmode", "n",         "bf",
    "bexists", "sevmode", "differ",  "nochk",     "written", "skipped",   "over",
    "over91",  "radline", "notrest", "cancelled", "nospd",
}};

}  // namespace voxrig
