// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <string>

#include "platform/sound.h"
#include "posix/quiet_stderr.h"
#include "terminal/terminal_display.h"

namespace voxrig {

// The prompts of the panel in a terminal: before each prompt plays, the
// terminal gets the lines that changed, so the listener's screen reader and
// the prompt tell of the same moment. After the first prompt, a panel that
// found no sound device (over SSH, most often) says once that it runs
// silent; the receiver's pauses still take their time, by the clock.
class TerminalSound : public Sound {
 public:
  TerminalSound(Sound& inner, TerminalDisplay& lines, std::function<bool()> silent)
      : inner_(inner), lines_(lines), silent_(std::move(silent)) {}

  void PlayPrompt(const std::string& path) override {
    lines_.Flush();
    // Until a sound device is found, the sound libraries' complaints about
    // the missing one stay off the listener's terminal.
    if (silent_()) {
      RunWithStandardErrorSilenced([&] { inner_.PlayPrompt(path); });
    } else {
      inner_.PlayPrompt(path);
    }
    if (!silenceTold_ && silent_()) {
      silenceTold_ = true;
      lines_.Notice("voxrig: no sound device; the panel runs silent");
    }
  }
  void PassUnvoiced(const std::string& name) override {
    lines_.Flush();
    inner_.PassUnvoiced(name);
  }
  void SpeakText(const std::string& text) override {
    lines_.Flush();
    inner_.SpeakText(text);
  }
  void StartUnit() override { inner_.StartUnit(); }
  void KeepUnit() override { inner_.KeepUnit(); }
  void CutReadouts() override { inner_.CutReadouts(); }
  void EndWithThisUnit() override { inner_.EndWithThisUnit(); }

 private:
  Sound& inner_;
  TerminalDisplay& lines_;
  std::function<bool()> silent_;
  bool silenceTold_ = false;
};

}  // namespace voxrig
