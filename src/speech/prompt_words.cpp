// SPDX-License-Identifier: GPL-3.0-or-later
#include "speech/prompt_words.h"

#include <algorithm>
#include <cctype>
#include <sstream>
#include <string_view>

#include "speech/prompt_word_lists.h"

namespace voxrig {

namespace {

std::string Lowered(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

// "wave\FM.wav" and "wave/fm" give "fm".
std::string BareName(const std::string& prompt) {
  std::string name = prompt.substr(prompt.find_last_of("\\/") + 1);
  if (name.size() > 4 && Lowered(name.substr(name.size() - 4)) == ".wav") {
    name.resize(name.size() - 4);
  }
  return Lowered(name);
}

}  // namespace

PromptWords PromptWords::FromList(const std::string& list) {
  PromptWords result;
  std::istringstream lines(list);
  std::string line;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line.front() == '#') continue;
    const std::size_t tab = line.find('\t');
    if (tab == std::string::npos || tab == 0) continue;
    const std::string words = line.substr(tab + 1);
    if (words.empty() || words.front() == '@') continue;
    result.words_.emplace(Lowered(line.substr(0, tab)), words);
  }
  return result;
}

PromptWords PromptWords::ForLanguage(const std::string& language) {
  for (const WordList& list : kPromptWordLists) {
    if (list.language == language) return FromList(std::string(list.text));
  }
  for (const WordList& list : kPromptWordLists) {
    if (list.language == "en") return FromList(std::string(list.text));
  }
  return {};
}

std::string PromptWords::WordsOf(const std::string& prompt) const {
  const auto found = words_.find(BareName(prompt));
  return found == words_.end() ? std::string() : found->second;
}

}  // namespace voxrig
