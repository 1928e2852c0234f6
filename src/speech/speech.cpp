// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/speech.h"

#include <algorithm>

#include "core/receiver_modes.h"
#include "link/command_link.h"

namespace voxrig {

namespace {

bool ReportsAnOutcome(const std::string& name) {
  return std::find(kOutcomePrompts.begin(), kOutcomePrompts.end(), name) != kOutcomePrompts.end();
}

void Queue(Context& ctx, const std::string& folder, const std::string& name) {
  Sound& sound = *ctx.platform.sound;
  sound.PlayPrompt(folder + name);
  // The count before "ok" at the end of a search belongs to its outcome as
  // much as the "ok" does, and so does all the key said before and after it.
  if (ReportsAnOutcome(name)) sound.KeepUnit();
}

}  // namespace

std::string NameToSay(const std::string& name) {
  std::string said;
  for (char c : name) said += static_cast<unsigned char>(c) < 0x20 ? ' ' : c;
  const std::size_t first = said.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return said.substr(first, said.find_last_not_of(' ') + 1 - first);
}

void Say(Context& ctx, const std::string& name) {
  // With the voice off there is no prompt to play. Asking the sound service
  // for the bare name would play any file of that name that happens to lie in
  // the working folder, so nothing is asked for at all.
  // A braille reader who has the voice off still reads what it reported.
  if (ctx.app.voicePrefix.empty()) {
    ctx.platform.sound->PassUnvoiced(name);
    return;
  }
  Queue(ctx, ctx.app.voicePrefix, name);
}

void SayAlways(Context& ctx, const std::string& name) {
  Queue(ctx, ctx.app.waveFolder, name);
}

Steps<> Pause(Context& ctx) {
  SayAlways(ctx, "shdel");
  // The receiver's time to act on the last command is the clock's, not the
  // length of a prompt file that may be missing or shorter.
  co_await WaitFor{kPauseMs};
  // A radio driven through Hamlib may still be carrying out the calls before
  // the pause: what is taken after it must be their answers.
  co_await RadioCallsEnded(ctx);
}

void CutStaleSpeech(Context& ctx) {
  if (ctx.speech.wholeReadouts) {
    ctx.platform.sound->StartUnit();
  } else {
    ctx.platform.sound->CutReadouts();
  }
}

void EndSpeech(Context& ctx) {
  ctx.platform.sound->EndWithThisUnit();
}

void StartSpeechUnit(Context& ctx) {
  ctx.platform.sound->StartUnit();
}

void SpeakFrequency(Context& ctx, const std::string& frequency) {
  // 145.500 is said as 145.5, and 145. or 145.000 as 145.0; a whole number
  // without a point such as 430 keeps its zeros.
  std::string digits = frequency;
  if (digits.find('.') != std::string::npos) {
    while (!digits.empty() && digits.back() == '0') digits.pop_back();
    if (!digits.empty() && digits.back() == '.') digits += '0';
  }
  SpeakTyped(ctx, digits);
}

void SpeakTyped(Context& ctx, const std::string& typed) {
  for (char c : typed) Say(ctx, c == '.' ? std::string("point") : std::string(1, c));
}

void SpeakMode(Context& ctx) {
  const std::string& text = ctx.tuning.modeText;
  if (const ReceiverMode* mode = ModeOfPanelText(text)) {
    Say(ctx, std::string(mode->announcement));
    return;
  }
  const auto row = std::find_if(kSwitchPrompts.begin(), kSwitchPrompts.end(),
                                [&](const SwitchPrompt& p) { return p.lineText == text; });
  if (row != kSwitchPrompts.end()) Say(ctx, std::string(row->prompt));
}

void SpeakSignalLevel(Context& ctx) {
  const int level = ctx.poll.signalLevel;
  Say(ctx, "s");
  // The meter has one prompt per digit: a level above 9 is said as "9" and
  // "plus"; a level below 0 (never reported by the receiver) as "0".
  Say(ctx, std::string(1, static_cast<char>('0' + std::clamp(level, 0, 9))));
  if (level > 9) Say(ctx, "plus");
}

void SpeakChannel(Context& ctx, const std::string& bank, int number, const std::string& name) {
  Say(ctx, "channel");
  if (!bank.empty()) Say(ctx, bank);
  SpeakCount(ctx, number);
  const std::string words = NameToSay(name);
  // With the voice off the name is not said either; nor is a name the
  // listener has switched off.
  if (words.empty() || !ctx.speech.namesSpoken || ctx.app.voicePrefix.empty()) return;
  ctx.platform.sound->SpeakText(words);
}

void KeepNamesSilent(Context& ctx) {
  ctx.speech.namesSpoken = false;
}

void SpeakCount(Context& ctx, int count) {
  const std::string digits = std::to_string(std::max(count, 0));
  if (count >= 100) {
    for (char c : digits) Say(ctx, std::string(1, c));
    return;
  }
  if (digits.size() == 2) Say(ctx, std::string(1, digits[0]));
  Say(ctx, std::string(1, digits.back()));
}

}  // namespace voxrig
