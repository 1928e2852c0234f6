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
  // A prompt the configuration keeps silent (the voice is off): nothing
  // plays, but an output that shows what the prompts report, such as the
  // braille line, still learns of it. The name is the prompt's bare name.
  virtual void PassUnvoiced(const std::string& /*name*/) {}
};

}  // namespace voxrig
