// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "core/receiver_modes.h"
#include "speech/prompt_words.h"
#include "speech/speech.h"

// Every prompt the panel can play must have words in every word list of
// tools/prompt-words/, or the prompt set made from that list leaves the
// listener with silence.
namespace voxrig {
namespace {

namespace fs = std::filesystem;

fs::path SourceDir() {
  const char* dir = std::getenv("VOXRIG_SOURCE_DIR");
  return dir != nullptr ? fs::path(dir) : fs::path();
}

std::string ReadWhole(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream content;
  content << in.rdbuf();
  return content.str();
}

// Prompt files are found whatever their letter case, and a name may be
// requested with its ".wav" ending.
std::string FileName(std::string name) {
  std::transform(name.begin(), name.end(), name.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  const std::string ending = ".wav";
  if (name.size() > ending.size() && name.ends_with(ending)) name.resize(name.size() - 4);
  return name;
}

// name -> words, from one word list.
std::map<std::string, std::string> ReadWordList(const fs::path& list) {
  std::map<std::string, std::string> words;
  std::istringstream lines(ReadWhole(list));
  std::string line;
  while (std::getline(lines, line)) {
    if (line.empty() || line[0] == '#') continue;
    const auto tab = line.find('\t');
    EXPECT_NE(tab, std::string::npos) << list << ": no TAB in: " << line;
    if (tab == std::string::npos) continue;
    const std::string name = line.substr(0, tab);
    const std::string spoken = line.substr(tab + 1);
    EXPECT_FALSE(name.empty()) << list << ": " << line;
    EXPECT_FALSE(spoken.empty()) << list << ": no words for " << name;
    EXPECT_EQ(words.count(FileName(name)), 0u) << list << ": two entries for the file of " << name;
    words[FileName(name)] = spoken;
  }
  return words;
}

// Every language's list, by its code ("en", "de", ...).
std::map<std::string, std::map<std::string, std::string>> ReadAllWordLists() {
  std::map<std::string, std::map<std::string, std::string>> lists;
  for (const auto& entry : fs::directory_iterator(SourceDir() / "tools" / "prompt-words")) {
    if (entry.path().extension() != ".txt") continue;
    lists[entry.path().stem().string()] = ReadWordList(entry.path());
  }
  return lists;
}

// Every string literal inside a call of Say(ctx, ...) or any other Say...
// helper (SayAlways, SayAboutReceiver...) in the source tree, up to the end of
// its statement (so both names of a "cond ? "on" : "off"" are found).
std::set<std::string> LiteralPromptNames() {
  const std::regex call(R"(\bSay\w*\s*\(\s*ctx\s*,([^;]*);)");
  const std::regex literal(R"xx("([^"\\]*)")xx");
  std::set<std::string> names;
  for (const auto& entry : fs::recursive_directory_iterator(SourceDir() / "src")) {
    const auto extension = entry.path().extension();
    if (extension != ".cpp" && extension != ".h") continue;
    const std::string source = ReadWhole(entry.path());
    for (std::sregex_iterator it(source.begin(), source.end(), call), end; it != end; ++it) {
      const std::string arguments = (*it)[1];
      for (std::sregex_iterator l(arguments.begin(), arguments.end(), literal); l != end; ++l) {
        names.insert((*l)[1]);
      }
    }
  }
  return names;
}

// Names built at run time: typed digits and bank letters, and the mode names;
// and the whole vocabulary of the panel, since some names reach Say through a
// helper that takes the name (the command keys' "start", "transfer", ...).
std::set<std::string> DynamicPromptNames() {
  std::set<std::string> names = {
      "point",   "vxr",     "cfnf",   "connected", "rnc",     "quit",  "inv",      "ok",
      "start",   "end",     "incr",   "write",     "fromb",   "torb",  "transfer", "put",
      "sort",    "bank",    "delete", "kill",      "radbank", "pass",  "exitscan", "ckconfig",
      "svoice",  "on",      "off",    "cont",      "stmode",  "beep",  "scan",     "stop",
      "srching", "s",       "plus",   "atton",     "attoff",  "noise", "srch",     "act",
      "bnf",     "sel",     "create", "incmode",   "n",       "bf",    "wait",     "shdel",
      "wrerr",   "tooslow", "read",
  };
  for (char c = '0'; c <= '9'; ++c) names.insert(std::string(1, c));
  for (char c = 'A'; c <= 'J'; ++c) names.insert(std::string(1, c));
  for (const ReceiverMode& mode : kReceiverModes) {
    names.insert(std::string(mode.keyPrompt));
    names.insert(std::string(mode.announcement));
  }
  for (const SwitchPrompt& state : kSwitchPrompts) names.insert(std::string(state.prompt));
  return names;
}

TEST(PromptWords, EveryPromptTheProgramCanPlayHasWordsInEveryLanguage) {
  ASSERT_FALSE(SourceDir().empty()) << "VOXRIG_SOURCE_DIR is not set";
  const auto lists = ReadAllWordLists();
  for (const char* language : {"en", "de", "es", "fr"}) {
    EXPECT_EQ(lists.count(language), 1u) << "no word list for " << language;
  }
  const std::set<std::string> literal = LiteralPromptNames();
  // The search itself must work, or this test would pass on nothing.
  for (const char* known : {"vxr", "cfnf", "shdel", "srching", "plus"}) {
    EXPECT_EQ(literal.count(known), 1u) << known << " not found in the source tree";
  }
  std::set<std::string> all = literal;
  const std::set<std::string> dynamic = DynamicPromptNames();
  all.insert(dynamic.begin(), dynamic.end());
  for (const auto& [language, words] : lists) {
    for (const std::string& name : all) {
      EXPECT_EQ(words.count(FileName(name)), 1u)
          << language << ": prompt \"" << name << "\" has no words";
    }
    // The pacing pause and the beep are the same in every language: they
    // time the receiver, not the listener.
    ASSERT_EQ(words.count("shdel"), 1u) << language;
    ASSERT_EQ(words.count("beep"), 1u) << language;
    EXPECT_TRUE(std::regex_match(words.at("shdel"), std::regex(R"(@silence 150)"))) << language;
    EXPECT_TRUE(std::regex_match(words.at("beep"), std::regex(R"(@tone \d+ \d+)"))) << language;
    for (const auto& [name, spoken] : words) {
      if (name != "shdel" && name != "beep") {
        EXPECT_NE(spoken[0], '@') << language << ": " << name << " should be spoken words";
      }
    }
  }
}

// The words built into the program are the lists' words, whatever form the
// panel names a prompt in; pauses and tones say nothing, and a language the
// program has no list for is spoken in English.
TEST(PromptWords, BuiltInWordsAreTheListsWords) {
  for (const auto& [language, list] : ReadAllWordLists()) {
    const PromptWords words = PromptWords::ForLanguage(language);
    for (const auto& [name, spoken] : list) {
      const std::string expected = spoken.front() == '@' ? "" : spoken;
      EXPECT_EQ(words.WordsOf("wave\\" + name + ".wav"), expected) << language << " " << name;
      EXPECT_EQ(words.WordsOf(name), expected) << language << " " << name;
    }
  }
  const PromptWords english = PromptWords::ForLanguage("en");
  EXPECT_EQ(english.WordsOf("wave\\FM"), "F M");
  EXPECT_EQ(english.WordsOf("wave/Fm.WAV"), "F M");
  EXPECT_EQ(english.WordsOf("wave\\nosuchprompt"), "");
  EXPECT_EQ(PromptWords::ForLanguage("xx").WordsOf("inv"), "invalid");
}

}  // namespace
}  // namespace voxrig
