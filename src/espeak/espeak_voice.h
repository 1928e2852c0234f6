// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/text_voice.h"

namespace voxrig {

// Says words with espeak-ng in the prompt set's voice, language and pace.
// espeak-ng is not safe across threads: every call but Interrupt comes from
// the one thread that synthesizes. It hands its samples back to us and never
// opens a sound device or a sound server itself, so it cannot hang on one.
class EspeakVoice : public TextVoice {
 public:
  explicit EspeakVoice(PromptVoice voice) : voice_(std::move(voice)) {}
  EspeakVoice(const EspeakVoice&) = delete;
  EspeakVoice& operator=(const EspeakVoice&) = delete;

  std::vector<std::int16_t> Synthesize(const std::string& text) override;
  int SampleRate() const override { return sampleRate_; }
  void Interrupt() override { interrupted_.store(true); }
  void Close() override;

 private:
  bool StartOnce();

  PromptVoice voice_;
  bool tried_ = false;
  bool started_ = false;
  int sampleRate_ = 0;
  std::atomic<bool> interrupted_{false};
};

}  // namespace voxrig
