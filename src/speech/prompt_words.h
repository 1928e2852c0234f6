// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <unordered_map>

namespace voxrig {

// What each prompt says, in the words of the list its prompt set was made
// from (tools/prompt-words/<language>.txt). A terminal prints these words and
// a speech server speaks them, so a listener without the recorded prompts
// hears and reads the same panel.
class PromptWords {
 public:
  // The list of a language as the program was built with it ("en", "de",
  // "es", "fr"); English for a language the program has no list for, since a
  // word heard in another language beats silence.
  static PromptWords ForLanguage(const std::string& language);

  // Reads a list: "<name><TAB><words>" lines; "#" comments and blank lines
  // are passed over, and so are the pacing entries ("@silence MS",
  // "@tone HZ MS"), which say nothing.
  static PromptWords FromList(const std::string& list);

  // The words of a prompt as the panel names it ("wave\fm.wav", "wave\FM",
  // "ok"): found whatever its folder, letter case or ".wav" ending. Empty for
  // a pause, a tone, or a name the list does not hold.
  std::string WordsOf(const std::string& prompt) const;

 private:
  std::unordered_map<std::string, std::string> words_;  // lower-case name
};

}  // namespace voxrig
