// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "speech/prompt_words.h"

namespace voxrig {

// What one key or one tick of the panel says, gathered into one line of
// text for a listener who reads the panel with a screen reader instead of
// hearing it: the words of each prompt, with the numbers said digit by digit
// written as numbers ("1 4 5 point 5 1 2 5" as "145.5125", "channels written
// 1 2" as "channels written 12"), so the reader says them as the listener
// would say them; the modes as the panel shows them ("FM"), the letters of a
// receiver bank or the level meter as letters ("S 7"), and a channel's name
// as it stands. The pacing pauses and beeps say nothing and add nothing.
class SpokenLine {
 public:
  explicit SpokenLine(PromptWords words) : words_(std::move(words)) {}

  // A prompt as the panel names it ("wave\\1", "wave\\fm.wav", "ok").
  void Heard(const std::string& prompt);
  // Words said as they stand (a channel's name).
  void HeardText(const std::string& text);
  // The line gathered since the last one ended, if anything was said; the
  // next prompt starts a new line.
  std::optional<std::string> End();
  // The line gathered so far, a point typed on its own still as ".".
  std::string Gathered() const;
  // Forgets the line gathered so far: something else shows it.
  void Forget();

 private:
  void Add(const std::string& word);
  void CloseNumber();

  PromptWords words_;
  std::string line_;
  bool inNumber_ = false;  // the line ends in a number still being said
  std::size_t numberStart_ = 0;
};

}  // namespace voxrig
