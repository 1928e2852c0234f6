#pragma once

#include <SDL.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/sound.h"

namespace voxrig {

// Plays the panel's prompts through one SDL audio device, opened at the first
// prompt and kept open and running, so that the digits of a frequency follow
// each other without a gap. Each wave file is read and converted to the
// device's format once. A prompt always takes its own length, even with no
// sound device at all: the receiver's pacing is the length of "shdel".
class SdlSound : public Sound {
 public:
  // Prompt paths are found in the current working folder, then in the
  // listener's data folder and the installed prompt set (PromptRootsOfThisProcess).
  SdlSound();
  // Prompt paths are found in this folder only.
  explicit SdlSound(std::filesystem::path workingFolder);
  // Prompt paths are found through `files` under each root in turn.
  SdlSound(FileSystem& files, std::vector<std::string> promptRoots);
  ~SdlSound() override;
  SdlSound(const SdlSound&) = delete;
  SdlSound& operator=(const SdlSound&) = delete;

  void PlayPrompt(const std::string& path) override;
  void SetWaiter(SoundWaiter* waiter) override { waiter_ = waiter; }

  // How many wave files have been read and converted so far.
  int DecodeCount() const { return decodeCount_; }
  // True once a prompt has found a sound device to play on.
  bool HasDevice() const { return device_ != 0; }

 private:
  struct Clip {
    std::vector<Uint8> samples;  // in the device's format; empty without a device
    std::chrono::milliseconds length{0};
  };

  void OpenDeviceOnce();
  const Clip& Decode(const std::filesystem::path& file);
  void WaitUntilSounded(std::chrono::steady_clock::time_point notBefore);
  // Sleeps until then, or lets the waiter wait.
  void WaitUntil(std::chrono::steady_clock::time_point deadline);
  SoundWaiter* waiter_ = nullptr;
  // The time the device takes to sound one buffer of its own.
  std::chrono::milliseconds BufferLength() const;
  // The time the samples still waiting in the device's queue take to sound.
  std::chrono::milliseconds QueuedLength() const;

  std::unique_ptr<FileSystem> ownFiles_;
  FileSystem* files_ = nullptr;
  std::vector<std::string> roots_;
  bool deviceTried_ = false;
  bool audioStarted_ = false;
  SDL_AudioDeviceID device_ = 0;
  SDL_AudioSpec deviceSpec_{};
  // When the device will have sounded the last prompt to its end.
  std::chrono::steady_clock::time_point tailEnds_;
  std::map<std::string, Clip> clips_;
  int decodeCount_ = 0;
};

}  // namespace voxrig
