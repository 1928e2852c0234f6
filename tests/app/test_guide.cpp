// SPDX-License-Identifier: GPL-3.0-or-later
// The user's guide against what the program and its session check do: the key
// card it shows is the one voxrig --keys prints, and every step that
// tools/check-session types is the step of that number in the guide's
// ten-minute session, with the same keys, so the session a listener reads is
// the session that is checked.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/key_card.h"

namespace voxrig {
namespace {

using Keys = std::vector<std::string>;

std::string SourceFile(const std::string& relative) {
  const char* sourceDir = std::getenv("VOXRIG_SOURCE_DIR");
  if (sourceDir == nullptr) return {};
  std::ifstream file(std::string(sourceDir) + "/" + relative);
  return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

// The text between the line `open` and the line `close`, each line ending in
// a newline.
std::string Between(const std::string& text, const std::string& open, const std::string& close) {
  const std::size_t start = text.find("\n" + open + "\n");
  if (start == std::string::npos) return {};
  const std::size_t from = start + open.size() + 2;
  const std::size_t end = text.find("\n" + close + "\n", from);
  return end == std::string::npos ? std::string() : text.substr(from, end + 1 - from);
}

// check-session's steps: the number each is named by, and its keys as the
// guide writes them (xdotool's names turned into the keys' own, the pauses
// between keys left out).
std::map<int, Keys> CheckedSteps(const std::string& script) {
  static const std::map<std::string, std::string> kNames = {{"Return", "Enter"},
                                                            {"period", "full stop"},
                                                            {"Prior", "Page Up"},
                                                            {"Next", "Page Down"},
                                                            {"space", "Space"}};
  const std::regex step(R"re(^step "(\d+) [^"]*" "([^"]*)")re");
  std::map<int, Keys> steps;
  std::istringstream lines(script);
  for (std::string line; std::getline(lines, line);) {
    std::smatch match;
    if (!std::regex_search(line, match, step)) continue;
    Keys keys;
    std::istringstream words(match[2].str());
    for (std::string key; words >> key;) {
      if (key == "pause") continue;
      const auto named = kNames.find(key);
      if (named != kNames.end()) key = named->second;
      if (key.size() == 1 && std::islower(static_cast<unsigned char>(key[0]))) {
        key[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(key[0])));
      }
      keys.push_back(key);
    }
    steps[std::stoi(match[1].str())] = keys;
  }
  return steps;
}

// The keys that open step `number` of the guide's session ("Up, K, Enter, F."
// or "Type 1, 4, 5, full stop, 5, then Enter."), up to the sentence's end.
Keys GuideStepKeys(const std::string& session, int number) {
  const std::string mark = "\n" + std::to_string(number) + ". ";
  const std::size_t at = session.find(mark);
  if (at == std::string::npos) return {"(no such step)"};
  const std::size_t from = at + mark.size();
  std::string sentence = session.substr(from, session.find('.', from) - from);
  Keys keys;
  std::istringstream parts(sentence);
  for (std::string part; std::getline(parts, part, ',');) {
    for (const char* filler : {"Type ", "then ", " again"}) {
      for (std::size_t i; (i = part.find(filler)) != std::string::npos;)
        part.erase(i, std::string(filler).size());
    }
    part.erase(0, part.find_first_not_of(' '));
    keys.push_back(part);
  }
  return keys;
}

TEST(UsersGuide, ShowsTheKeyCardThatVoxrigKeysPrints) {
  const std::string guide = SourceFile("doc/guide.md");
  ASSERT_FALSE(guide.empty()) << "doc/guide.md not found (is VOXRIG_SOURCE_DIR set?)";
  EXPECT_EQ(Between(guide, "<!-- key card: doc/keys.txt, also printed by voxrig --keys -->",
                    "<!-- end of the key card -->"),
            std::string(kKeyCard));
  EXPECT_TRUE(kKeyCard.ends_with("\nQ: quit.\n")) << kKeyCard;
}

TEST(UsersGuide, NamesEveryStepThatCheckSessionTypesWithItsKeys) {
  const std::string guide = SourceFile("doc/guide.md");
  const std::string session =
      Between(guide, "## A ten-minute session", "## Setting up the receiver");
  const std::map<int, Keys> steps = CheckedSteps(SourceFile("tools/check-session"));
  ASSERT_FALSE(session.empty());
  ASSERT_EQ(steps.size(), 42u);  // every step of the session but 43, the commands
  for (const auto& [number, keys] : steps) {
    if (number == 1) continue;  // the start: no key
    EXPECT_EQ(GuideStepKeys(session, number), keys) << "step " << number;
  }
  // Step 43's commands, as check-session runs them in the demo's folder.
  for (const char* command : {"--export bank02.dat bank02.csv", "--import bank02.csv bank03.dat"}) {
    EXPECT_NE(SourceFile("tools/check-session").find(std::string("\"$2\" ") + command + " "),
              std::string::npos)
        << command;
    EXPECT_NE(session.find(std::string("`voxrig ") + command + "`"), std::string::npos) << command;
  }
  // The README and the guide start the session as check-session --installed does.
  EXPECT_NE(SourceFile("tools/check-session").find("command -v voxrig-demo"), std::string::npos);
  EXPECT_NE(SourceFile("README.md").find("\n    voxrig-demo\n"), std::string::npos);
  EXPECT_NE(session.find("\n1. Start the demo: `voxrig-demo`"), std::string::npos);
}

}  // namespace
}  // namespace voxrig
