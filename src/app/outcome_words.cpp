// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/outcome_words.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string_view>

namespace voxrig {

namespace {

enum class Count { kNone, kBefore, kAfter };

struct Outcome {
  std::string_view prompt;
  std::string_view words;
  Count count;
};

// The prompts that tell the listener how something went.
constexpr std::array<Outcome, 25> kOutcomes{{
    {"ok", "ok", Count::kNone},
    {"sel", "selected", Count::kNone},
    {"wait", "please wait", Count::kNone},
    {"inv", "invalid", Count::kNone},
    {"bnf", "bank file not found", Count::kNone},
    {"rnc", "receiver not connected", Count::kNone},
    {"connected", "connected", Count::kNone},
    {"wrerr", "write error", Count::kNone},
    {"toolong", "bank too long", Count::kNone},
    {"unsel", "no bank selected", Count::kNone},
    {"over91", "more than the receiver holds", Count::kNone},
    {"n", "bank full", Count::kNone},
    {"bf", "log full", Count::kNone},
    {"bexists", "bank file exists", Count::kNone},
    {"nochk", "not checked", Count::kNone},
    {"incmode", "incompatible mode", Count::kNone},
    {"sevmode", "several modes", Count::kNone},
    {"cfnf", "configuration file not found", Count::kNone},
    {"radline", "radio line not understood", Count::kNone},
    {"notrest", "not restored", Count::kNone},
    {"nospd", "speech-dispatcher not reachable", Count::kNone},
    {"differ", "channels differ", Count::kBefore},
    {"written", "channels written", Count::kAfter},
    {"skipped", "channels skipped", Count::kAfter},
    {"over", "channels past the receiver's 91", Count::kAfter},
}};

// The pacing pause and the beeps of a long wait are no part of what is said.
bool IsPacing(const std::string& name) {
  return name == "shdel" || name == "beep";
}

// "wave\FM.wav" gives "fm".
std::string BareName(const std::string& prompt) {
  std::string name = prompt.substr(prompt.find_last_of("\\/") + 1);
  if (name.size() > 4 && name.ends_with(".wav")) name.resize(name.size() - 4);
  std::transform(name.begin(), name.end(), name.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return name;
}

}  // namespace

void OutcomeWords::Heard(const std::string& prompt) {
  const std::string name = BareName(prompt);
  if (IsPacing(name)) return;
  const bool digit = name.size() == 1 && std::isdigit(static_cast<unsigned char>(name[0]));
  if (digit) {
    if (phraseOpen_ && countFollows_) {
      text_ += countStarted_ ? name : " " + name;
      countStarted_ = true;
      return;
    }
    digits_ += name;
    phraseOpen_ = false;
    return;
  }
  const auto outcome = std::find_if(kOutcomes.begin(), kOutcomes.end(),
                                    [&](const Outcome& o) { return o.prompt == name; });
  if (outcome == kOutcomes.end()) {
    phraseOpen_ = false;
    digits_.clear();
    return;
  }
  std::string words(outcome->words);
  if (outcome->count == Count::kBefore && !digits_.empty()) words = digits_ + " " + words;
  text_ = phraseOpen_ ? text_ + " " + words : words;
  phraseOpen_ = true;
  countFollows_ = outcome->count == Count::kAfter;
  countStarted_ = false;
  digits_.clear();
}

void OutcomeWords::KeyPressed() {
  text_.clear();
  phraseOpen_ = false;
  digits_.clear();
}

}  // namespace voxrig
