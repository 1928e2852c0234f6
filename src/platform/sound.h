#pragma once

#include <string>

namespace voxrig {

// Plays a prompt file to its end before returning. The path is written as the
// panel writes it ("wave\point"): a backslash separates folders, ".wav" is
// added when the name has none, and the file is found whatever its letter
// case. A path that names no file plays nothing and returns at once.
class Sound {
 public:
  virtual ~Sound() = default;
  virtual void PlayPrompt(const std::string& path) = 0;
};

}  // namespace voxrig
