#pragma once

#include <string>

namespace voxrig {

// The panel's speech. Prompts are queued and play one after the other while
// the panel goes on with its work: PlayPrompt returns at once. The path is
// written as the panel writes it ("wave\point"): a backslash separates
// folders, ".wav" is added when the name has none, and the file is found
// whatever its letter case. A path that names no file plays nothing.
//
// A prompt queued since the last KeepQueued is a readout: CutReadouts drops
// it, and stops the one sounding within one buffer of the sound device, so
// the listener's next key is heard at once. What KeepQueued marked is heard
// to its end whatever is cut later.
class Sound {
 public:
  virtual ~Sound() = default;
  virtual void PlayPrompt(const std::string& path) = 0;
  virtual void KeepQueued() = 0;
  virtual void CutReadouts() = 0;
};

}  // namespace voxrig
