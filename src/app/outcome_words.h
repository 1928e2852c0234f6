// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace voxrig {

// The last outcome the prompts reported, in words for the braille line: the
// words of the last prompt that tells how something went ("write error",
// "ok", "receiver not connected"), with the outcomes said one after another
// kept together ("ok channels skipped 3") and the count said with one
// ("channels written 12", "3 channels differ"). Prompts that report nothing
// (digits of a frequency, a mode, a key's name) leave the last outcome as it
// was; a key clears it, so the outcome shown is always the last key's, and
// the same outcome twice is seen twice.
class OutcomeWords {
 public:
  // A prompt as the panel names it: "wave\wrerr", "wave\fm.wav" or "ok".
  void Heard(const std::string& prompt);
  // A key was pressed: the last outcome is gone, and what the key reports
  // stands on its own.
  void KeyPressed();
  const std::string& Text() const { return text_; }

 private:
  std::string text_;
  std::string digits_;       // a number being said, digit by digit
  bool phraseOpen_ = false;  // the last prompt that counts was an outcome
  bool countFollows_ = false;
  bool countStarted_ = false;
};

}  // namespace voxrig
