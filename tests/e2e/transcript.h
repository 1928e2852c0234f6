// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

namespace e2e {

// One line of the panel's transcript (voxrig --transcript FILE): a prompt
// played (or a channel's name said, as the prompt "name:" and the name), or a
// text drawn at its place.
struct TranscriptLine {
  enum class Kind { kPrompt, kText, kOther };
  Kind kind = Kind::kOther;
  std::string prompt;  // the prompt's name without its folder ("wave\vxr" gives vxr)
  int x = 0;
  int y = 0;
  std::string text;  // the drawn text, blanks included
  std::string raw;
};

class Transcript {
 public:
  static Transcript Read(const std::string& path);
  static Transcript Parse(const std::string& bytes);

  const std::vector<TranscriptLine>& lines() const { return lines_; }
  // Every prompt played, in order.
  std::vector<std::string> Prompts() const;
  // Every text drawn at (x, y), in order.
  std::vector<std::string> TextsAt(int x, int y) const;
  int CountPrompt(const std::string& name) const;
  bool HasPrompt(const std::string& name) const { return CountPrompt(name) > 0; }
  // The whole transcript, for failure messages.
  std::string Dump() const;

 private:
  std::vector<TranscriptLine> lines_;
};

// Prompts played from the line after `from` on (a slice of Prompts()).
std::vector<std::string> PromptsAfter(const Transcript& transcript, size_t from);

}  // namespace e2e
