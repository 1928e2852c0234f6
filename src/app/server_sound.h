// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "platform/file_system.h"
#include "platform/sound.h"
#include "platform/speech_server.h"
#include "speech/prompt_words.h"

namespace voxrig {

// The panel's speech through a speech server: each prompt said as its words
// in the prompt set's language, a channel's name as it stands, the units cut
// and kept as the recorded prompts are. A prompt that says no words (the
// pacing pause, the wait beeps) plays from the recorded set, and ends the
// message gathered before it. When the server is lost, the listener is told
// once (on standard error, and with the recorded prompt "nospd") and hears
// the recorded prompts from then on.
class ServerSound : public Sound {
 public:
  ServerSound(SpeechServer& server, Sound& prompts, PromptWords words, OutputFile& messages)
      : server_(server), prompts_(prompts), words_(std::move(words)), messages_(messages) {}

  void PlayPrompt(const std::string& path) override;
  void SpeakText(const std::string& text) override;
  void PassUnvoiced(const std::string& name) override { prompts_.PassUnvoiced(name); }
  void StartUnit() override;
  void KeepUnit() override;
  void CutReadouts() override;
  void EndWithThisUnit() override;

 private:
  // True while the server speaks; the first call that finds it lost tells so
  // with the recorded prompt from the folder the prompts come from.
  bool Speaking();

  SpeechServer& server_;
  Sound& prompts_;
  PromptWords words_;
  OutputFile& messages_;
  std::string promptFolder_;  // "wave\\", as the last prompt named it
  bool lostTold_ = false;
};

}  // namespace voxrig
