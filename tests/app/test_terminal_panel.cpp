// SPDX-License-Identifier: GPL-3.0-or-later
// The panel in a terminal: what it says printed as lines of words, in order
// with the rows it changed, and the level meter at most once a second.
#include <gtest/gtest.h>

#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "app/spoken_line.h"
#include "app/terminal_panel.h"
#include "fakes/connected_panel.h"
#include "fakes/fake_sound.h"
#include "fakes/fake_time.h"
#include "panel/screen_lines.h"

namespace voxrig::testing {
namespace {

TEST(SpokenLine, WhatOneKeySaysReadsAsTheListenerWouldSayIt) {
  const struct {
    std::vector<std::string> prompts;  // "text:" for words said as they stand
    std::optional<std::string> line;
  } rows[] = {
      {{"wave\\1", "wave\\4", "wave\\5", "wave\\point", "wave\\5", "wave\\1", "wave\\2", "wave\\5",
        "wave\\fm.wav"},
       "145.5125 FM"},
      {{"wave\\ok", "wave\\shdel", "wave\\skipped", "wave\\3"}, "OK channels skipped 3"},
      {{"wave\\written", "wave\\1", "wave\\2"}, "channels written 12"},
      {{"wave\\1", "wave\\2", "wave\\differ"}, "12 channels differ"},
      {{"wave\\s", "wave\\7"}, "S 7"},
      {{"wave\\s", "wave\\9", "wave\\plus"}, "S 9+"},
      {{"wave\\channel", "wave\\A", "wave\\5", "text:Harbour Ops"}, "channel A 5 Harbour Ops"},
      {{"wave\\beep", "wave\\channel", "wave\\1", "wave\\CW", "wave\\auto"},
       "channel 1 CW automatic"},
      {{"wave\\n"}, "bank full"},
      {{"wave\\wait", "wave\\beep", "wave\\beep"}, "please wait"},
      {{"wave\\inv"}, "invalid"},
      {{"wave\\point"}, "point"},
      {{"wave\\1", "wave\\point"}, "1."},
      {{"wave\\shdel", "wave\\nosuchprompt"}, std::nullopt},
  };
  for (const auto& row : rows) {
    SpokenLine line(PromptWords::ForLanguage("en"));
    for (const std::string& prompt : row.prompts) {
      if (prompt.starts_with("text:")) {
        line.HeardText(prompt.substr(5));
      } else {
        line.Heard(prompt);
      }
    }
    EXPECT_EQ(line.End(), row.line) << ::testing::PrintToString(row.prompts);
    EXPECT_EQ(line.End(), std::nullopt) << "a line is written once";
  }
  SpokenLine german(PromptWords::ForLanguage("de"));
  german.Heard("wave\\inv");
  EXPECT_NE(german.End(), "invalid");
}

// A terminal panel around the fakes: what it prints, and what the sound got.
struct TerminalRig {
  fakes::FakeTime time;
  fakes::FakeStopwatch stopwatch{time};
  fakes::FakeSound sound{time};
  std::ostringstream out;
  TerminalDisplay lines{out};
  bool silent = false;
  TerminalPanel panel{lines, sound, stopwatch, PromptWords::ForLanguage("en"),
                      [this] { return silent; }};

  void Draw(Line line, const std::string& text) {
    panel.SetFont(FontOf(line));
    MoveTo(panel, line);
    panel.Print(text);
  }
};

TEST(TerminalPanel, EachUtteranceIsOneLineInOrderWithTheRowsAndSilenceIsToldOnce) {
  TerminalRig rig;
  rig.Draw(Line::kFrequency, "145.5000");
  rig.panel.PlayPrompt("wave\\1");
  rig.panel.PlayPrompt("wave\\point");
  rig.panel.PlayPrompt("wave\\5");
  rig.silent = true;  // the first prompt found no sound device
  rig.Draw(Line::kMode, "AM");
  rig.panel.PlayPrompt("wave\\am.wav");  // a row changed in the middle: the line ends first
  rig.panel.CutReadouts();               // the next key
  rig.panel.PlayPrompt("wave\\inv");
  rig.panel.StartUnit();  // a tick
  rig.panel.PlayPrompt("wave\\srching");
  rig.panel.SpeakText("Tower");
  rig.panel.Flush();  // the panel waits for keys
  rig.panel.PlayPrompt("wave\\ok");
  rig.panel.Flush();
  rig.panel.Flush();
  EXPECT_EQ(rig.out.str(),
            "145.5000\n1.5\nvoxrig: no sound device; the panel runs silent\nAM\nAM\ninvalid\n"
            "searching Tower\nOK\n");
  EXPECT_EQ(rig.sound.heard(), (std::vector<std::string>{"1", "point", "5", "am.wav", "inv",
                                                         "srching", "name:Tower", "ok"}));
}

// A key typed into an entry is said and shown as the typing so far: the
// terminal prints it once, as the typing; anything else said beside it stays.
TEST(TerminalPanel, ATypedKeyIsPrintedOnceAsTheTypingSoFar) {
  const struct {
    const char* prompt;
    const char* typing;  // the key echo row after the key
    const char* printed;
  } keys[] = {
      {"wave\\point", ".", "point\n.\n"},  // a point alone may not be read out
      {"wave\\1", "1", "1\n"},
      {"wave\\4", "14", "14\n"},
      {"wave\\point", "14.", "14.\n"},
      {"wave\\5", "14.5", "14.5\n"},
      {"wave\\inv", "14.5", "invalid\n"},  // refused: the row is unchanged
      {"wave\\1", "B 1", "B 1\n"},         // an argument's digit
      {"wave\\5", "B 1", "5\n"},           // said, but not what the row shows
      {"wave\\wait", "B 15", "please wait\nB 15\n"},
  };
  TerminalRig rig;
  for (const auto& key : keys) {
    const std::size_t before = rig.out.str().size();
    rig.panel.StartUnit();
    rig.panel.PlayPrompt(key.prompt);
    rig.Draw(Line::kEcho, std::string(key.typing) + "      ");
    rig.panel.Flush();
    EXPECT_EQ(rig.out.str().substr(before), key.printed) << key.prompt << " " << key.typing;
  }
}

TEST(TerminalPanel, TheMeterIsItsLevelAtMostOnceASecondAndOnlyWhenItChanges) {
  const struct {
    long long atMs;
    const char* meter;
    const char* printed;
  } steps[] = {
      {0, "*****>      ", "S 5\n"},
      {100, "*****>      ", ""},        // polled again, unchanged
      {300, "*******>    ", ""},        // changed within the second: held
      {600, "******>     ", ""},        // and again
      {1000, "******>     ", "S 6\n"},  // a second on: the level as it is now
      {1500, "************>", ""},      // held
      {2000, "*****>      ", "S 5\n"},  // a second on: the held change went back
      {2100, "receiver not connected", "receiver not connected\n"},  // the link's status at once
      {2200, ">           ", "S 0\n"},                               // the meter back: new at once
      {2300, "**********>  ", ""},
      {3200, "**********>  ", "S 9+\n"},
  };
  TerminalRig rig;
  long long now = 0;
  for (const auto& step : steps) {
    rig.time.Advance(step.atMs - now);
    now = step.atMs;
    const std::size_t before = rig.out.str().size();
    rig.Draw(Line::kMeter, step.meter + std::string(20, ' '));
    rig.panel.Flush();
    EXPECT_EQ(rig.out.str().substr(before), step.printed) << step.atMs;
  }
}

}  // namespace
}  // namespace voxrig::testing
