// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace voxrig {

// The voice, language and pace a prompt set was made with, as make-prompts
// notes them in the set's ".prompt-settings" ("rate=240", "lang=en",
// "voice=en-gb", one a line). A set without the note was made with the
// defaults.
struct PromptVoice {
  std::string voice = "en-gb";
  std::string language = "en";
  int wordsPerMinute = 240;
  bool operator==(const PromptVoice&) const = default;
};

// Reads the note; lines it does not know, and a rate that is no number, are
// passed over.
PromptVoice ReadPromptVoice(const std::string& settings);

// Speaks words the prompt set has no file for, such as a channel's name.
// Synthesize may take a while: it is called beside the panel's loop, never
// on it, and always from the same thread.
class TextVoice {
 public:
  virtual ~TextVoice() = default;
  // 16-bit mono samples at SampleRate(); none when the words cannot be said.
  virtual std::vector<std::int16_t> Synthesize(const std::string& text) = 0;
  // Samples a second; 0 until the first Synthesize has started the voice.
  virtual int SampleRate() const = 0;
  // The panel is ending: a Synthesize under way stops soon, and none is made
  // after. The one call that may come from another thread.
  virtual void Interrupt() {}
  // Frees the voice, on the thread that synthesized, after its last word.
  virtual void Close() {}
};

// Makes the voice for a prompt set, from the set's note.
using TextVoiceMaker = std::function<std::unique_ptr<TextVoice>(const PromptVoice&)>;

}  // namespace voxrig
