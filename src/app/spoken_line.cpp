// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/spoken_line.h"

#include <algorithm>
#include <cctype>

#include "core/receiver_modes.h"

namespace voxrig {

namespace {

// "wave\FM.wav" gives "fm".
std::string BareName(const std::string& prompt) {
  std::string name = prompt.substr(prompt.find_last_of("\\/") + 1);
  std::transform(name.begin(), name.end(), name.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (name.size() > 4 && name.ends_with(".wav")) name.resize(name.size() - 4);
  return name;
}

bool IsDigit(const std::string& name) {
  return name.size() == 1 && std::isdigit(static_cast<unsigned char>(name[0]));
}

// A mode's prompt, key or announcement, as the mode line shows the mode:
// "FM", "CW". Automatic mode keeps its word, which says more than "AUT".
std::optional<std::string> ModeShown(const std::string& name) {
  for (const ReceiverMode& mode : kReceiverModes) {
    if (mode.networkName.empty()) continue;
    if (BareName(std::string(mode.keyPrompt)) == name ||
        BareName(std::string(mode.announcement)) == name) {
      return std::string(mode.networkName);
    }
  }
  return std::nullopt;
}

}  // namespace

void SpokenLine::CloseNumber() {
  // A point typed on its own is no number: a screen reader may not say "."
  // at all, so it reads as the word.
  if (inNumber_ && line_.size() >= numberStart_ && line_.substr(numberStart_) == ".") {
    line_.replace(numberStart_, 1, words_.WordsOf("point"));
  }
  inNumber_ = false;
}

std::string SpokenLine::Gathered() const {
  return line_;
}

void SpokenLine::Forget() {
  line_.clear();
  inNumber_ = false;
}

void SpokenLine::Add(const std::string& word) {
  if (word.empty()) return;
  CloseNumber();
  if (!line_.empty()) line_ += ' ';
  line_ += word;
}

void SpokenLine::Heard(const std::string& prompt) {
  const std::string name = BareName(prompt);
  if (IsDigit(name) || name == "point") {
    const std::string character = name == "point" ? "." : name;
    if (inNumber_) {
      line_ += character;
    } else {
      Add(character);
      numberStart_ = line_.size() - 1;
      inNumber_ = true;
    }
    return;
  }
  if (name == "plus" && !line_.empty()) {
    // The level above S 9: "S 9+", as the braille line shows it.
    CloseNumber();
    line_ += '+';
    return;
  }
  if (const std::optional<std::string> mode = ModeShown(name)) {
    Add(*mode);
    return;
  }
  // A letter prompt (a receiver bank A to J, the "s" of the meter) is that
  // letter; "n" says that a bank is full.
  if (name.size() == 1 && ((name[0] >= 'a' && name[0] <= 'j') || name[0] == 's')) {
    Add(std::string(1, static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])))));
    return;
  }
  Add(words_.WordsOf(name));
}

void SpokenLine::HeardText(const std::string& text) {
  Add(text);
}

std::optional<std::string> SpokenLine::End() {
  CloseNumber();
  if (line_.empty()) return std::nullopt;
  std::string line = std::move(line_);
  line_.clear();
  return line;
}

}  // namespace voxrig
