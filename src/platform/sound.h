#pragma once

#include <chrono>
#include <string>

namespace voxrig {

// How a sound waits while a prompt plays. By default it sleeps; the panel
// lends one that answers other programs meanwhile.
class SoundWaiter {
 public:
  virtual ~SoundWaiter() = default;
  virtual void WaitUntil(std::chrono::steady_clock::time_point deadline) = 0;
};

// Plays a prompt file to its end before returning. The path is written as the
// panel writes it ("wave\point"): a backslash separates folders, ".wav" is
// added when the name has none, and the file is found whatever its letter
// case. A path that names no file plays nothing and returns at once.
class Sound {
 public:
  virtual ~Sound() = default;
  virtual void PlayPrompt(const std::string& path) = 0;
  // Null: sleep. Not owned; it must outlive its use here.
  virtual void SetWaiter(SoundWaiter* waiter) { (void)waiter; }
  // A prompt the configuration keeps silent (the voice is off): nothing
  // plays, but an output that shows what the prompts report, such as the
  // braille line, still learns of it. The name is the prompt's bare name.
  virtual void PassUnvoiced(const std::string& /*name*/) {}
};

}  // namespace voxrig
