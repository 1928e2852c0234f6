// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <SDL.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/file_system.h"
#include "platform/sound.h"
#include "platform/text_voice.h"

namespace voxrig {

// Plays the panel's prompts through one SDL audio device, opened at the first
// prompt and kept open and running. The device's own thread takes the queued
// prompts one after the other, so the digits of a frequency follow each other
// without a gap while the panel reads keys and talks to the receiver. Each
// wave file is read and converted to the device's format once. Without a
// sound device the prompts are dropped: the panel's pauses are timed by the
// clock, not by the sound. Words the prompt set has no file for (a channel's
// name) are synthesized by a text voice on a thread of their own, once each,
// and queued in their place at once: the device plays silence while a name
// is still being made, and the panel never waits for it.
class SdlSound : public Sound {
 public:
  // Prompt paths are found through `files` under each root in turn (the
  // panel's: the working folder, the listener's data folder and the
  // installed prompt set, as PromptRootsOfThisProcess lists them).
  SdlSound(FileSystem& files, std::vector<std::string> promptRoots);
  // Lets the prompts still queued (the "quit" before the panel ends) be heard
  // to their end, for at most a few seconds more than they take.
  ~SdlSound() override;
  SdlSound(const SdlSound&) = delete;
  SdlSound& operator=(const SdlSound&) = delete;

  // Names are said in this voice from now on; without one they are not said.
  void SetTextVoice(std::unique_ptr<TextVoice> voice) { textVoice_ = std::move(voice); }
  // Names are said in the voice this makes, the first time words are to be
  // said, from the ".prompt-settings" of the prompt set the last prompt came
  // from: the names sound like the prompts around them.
  void SetTextVoiceMaker(TextVoiceMaker maker) { voiceMaker_ = std::move(maker); }

  void PlayPrompt(const std::string& path) override;
  void SpeakText(const std::string& text) override;
  void StartUnit() override;
  void KeepUnit() override;
  void CutReadouts() override;
  void EndWithThisUnit() override;

  // How many wave files have been read and converted so far.
  int DecodeCount() const { return decodeCount_; }
  // True once a prompt has found a sound device to play on.
  bool HasDevice() const { return device_ != 0; }
  // The time the prompts still queued take to sound.
  std::chrono::milliseconds QueuedLength();

 private:
  using Samples = std::shared_ptr<const std::vector<Uint8>>;
  // Words being synthesized, or synthesized: their samples, in the device's
  // format, stand once `ready` is set (empty when they could not be said).
  struct SpokenText {
    std::atomic<bool> ready{false};
    Samples samples;
  };
  struct Queued {
    Samples samples;                   // null for words not taken from `text` yet
    std::shared_ptr<SpokenText> text;  // the words this is, if it is words
    std::size_t played = 0;            // bytes already handed to the device
    unsigned long unit = 0;
    bool kept = false;
  };

  void OpenDeviceOnce();
  Samples Decode(const std::filesystem::path& file);
  // Runs on the device's thread, with the device locked.
  static void FillBuffer(void* self, Uint8* stream, int length);
  // The synthesizing thread: words are taken from `work_` one at a time.
  void SynthesizeWork();
  void StopSynthesizing();

  FileSystem* files_ = nullptr;
  std::vector<std::string> roots_;
  bool deviceTried_ = false;
  bool audioStarted_ = false;
  SDL_AudioDeviceID device_ = 0;
  SDL_AudioSpec deviceSpec_{};
  // Shared with the device's thread: only touched with the device locked.
  std::deque<Queued> queue_;
  // The unit now being queued, and whether it is kept.
  unsigned long unit_ = 0;
  bool unitKept_ = false;
  std::map<std::string, Samples> clips_;
  int decodeCount_ = 0;
  // Words once asked for stay made for the whole run.
  std::unique_ptr<TextVoice> textVoice_;
  TextVoiceMaker voiceMaker_;
  std::string promptFolder_;  // where the last prompt played was found
  std::map<std::string, std::shared_ptr<SpokenText>> spoken_;
  std::thread synthesizer_;
  std::mutex workLock_;
  std::condition_variable workArrived_;
  std::deque<std::pair<std::string, std::shared_ptr<SpokenText>>> work_;
  bool stopping_ = false;
};

}  // namespace voxrig
