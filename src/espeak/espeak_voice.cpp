// SPDX-License-Identifier: GPL-3.0-or-later
#include "espeak/espeak_voice.h"

#include <espeak-ng/speak_lib.h>

namespace voxrig {

namespace {

// What one Synthesize collects, and whether the panel is ending.
struct Collected {
  std::vector<std::int16_t> samples;
  const std::atomic<bool>* interrupted = nullptr;
};

// espeak-ng hands the samples over a piece at a time; returning 1 stops it,
// so an ending panel waits for one piece at most.
int TakeSamples(short* wave, int count, espeak_EVENT* events) {
  auto* collected = static_cast<Collected*>(events != nullptr ? events->user_data : nullptr);
  if (collected == nullptr) return 1;
  if (collected->interrupted->load()) return 1;
  if (wave != nullptr && count > 0)
    collected->samples.insert(collected->samples.end(), wave, wave + count);
  return 0;
}

}  // namespace

bool EspeakVoice::StartOnce() {
  if (tried_) return started_;
  tried_ = true;
  // Synchronous: espeak-ng makes the samples in the calling thread and hands
  // them to TakeSamples, with neither a thread nor a sound device of its own.
  const int rate =
      espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, espeakINITIALIZE_DONT_EXIT);
  if (rate <= 0) return false;
  started_ = true;
  espeak_SetSynthCallback(&TakeSamples);
  if (espeak_SetVoiceByName(voice_.voice.c_str()) != EE_OK) {
    espeak_VOICE wanted{};
    wanted.languages = voice_.language.c_str();
    if (espeak_SetVoiceByProperties(&wanted) != EE_OK) {
      Close();
      return false;
    }
  }
  espeak_SetParameter(espeakRATE, voice_.wordsPerMinute, 0);
  sampleRate_ = rate;
  return true;
}

std::vector<std::int16_t> EspeakVoice::Synthesize(const std::string& text) {
  if (interrupted_.load() || text.empty() || !StartOnce()) return {};
  Collected collected;
  collected.interrupted = &interrupted_;
  const espeak_ERROR made = espeak_Synth(text.c_str(), text.size() + 1, 0, POS_CHARACTER, 0,
                                         espeakCHARS_UTF8, nullptr, &collected);
  if (made != EE_OK || interrupted_.load()) return {};
  return std::move(collected.samples);
}

void EspeakVoice::Close() {
  if (!started_) return;
  started_ = false;
  sampleRate_ = 0;
  espeak_Terminate();
}

}  // namespace voxrig
