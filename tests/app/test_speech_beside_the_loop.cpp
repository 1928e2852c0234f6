// SPDX-License-Identifier: GPL-3.0-or-later
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "app/key_handler.h"
#include "command/key_codes.h"
#include "fakes/connected_panel.h"
#include "speech/speech.h"

// Speech plays beside the loop: keys come from the window while the panel
// speaks, a key cuts a stale readout but never an outcome, every typed key
// lands, and the receiver's pacing is the clock's. Prompts take 100 ms of
// fake time each, and time moves only when a test moves it or a pause waits.
namespace voxrig {
namespace {

using ::testing::Contains;

class SpeechBesideTheLoop : public fakes::PanelFixture {
 protected:
  void Event(const WindowEvent& event) { OnWindowEvent(ctx, event); }
  void Ticks(int count) {
    for (int i = 0; i < count; ++i) Tick();
  }
  long long Now() const { return program.time.now(); }
  const fakes::FakeSound& Sound() const { return program.sound; }
};

TEST_F(SpeechBesideTheLoop, AKeyDuringAReadoutCutsItAndIsHeardAtOnce) {
  for (bool whole : {false, true}) {
    ctx.speech.wholeReadouts = whole;
    Ticks(3);
    Forget();
    const long long start = Sound().SilentFrom();
    Press('F');  // "1 4 5 point 0 F M": 600 ms of readout
    program.time.Advance(start - Now() + 150);
    Press('M');
    const auto* level = Sound().Find("s", start);
    ASSERT_NE(level, nullptr);
    if (whole) {
      EXPECT_EQ(level->start, start + 600) << "every readout heard to its end";
    } else {
      EXPECT_EQ(level->start, Now());
      EXPECT_TRUE(Sound().Find("1", start)->cut == false && Sound().Find("4", start)->cut);
      EXPECT_EQ(Sound().Find("4", start)->end, Now());
    }
  }
}

TEST_F(SpeechBesideTheLoop, AnOutcomeIsNeverCutAndTheNextKeyWaitsForIt) {
  ctx.tuning.frequencyText = "145.0";
  struct Row {
    std::string keys;
    std::vector<std::string> outcome;
  };
  const std::vector<Row> rows = {
      {"\r", {"ok"}},          // a frequency tuned
      {"B\r", {"inv"}},        // a refusal
      {"T0\r", {"inv"}},       // after an echo
      {"W07C", {"C", "bnf"}},  // the echo with it is kept too
  };
  for (const Row& row : rows) {
    Ticks(3);
    Forget();
    Type(row.keys);
    Ticks(1);
    program.time.Advance(Sound().played().back().start - Now() + 10);
    Press('F');
    Ticks(1);
    for (const std::string& name : row.outcome) {
      const auto* said = Sound().Find(name);
      ASSERT_NE(said, nullptr) << row.keys;
      EXPECT_FALSE(said->cut) << row.keys << ": " << name;
    }
    EXPECT_EQ(Sound().Find("1")->start, Sound().Find(row.outcome.back())->end) << row.keys;
  }
}

// The receiver gets the same commands at the same moments whatever the
// listener hears: the pauses are the clock's, not the prompt files'.
TEST_F(SpeechBesideTheLoop, AWTransferGoesOutTheSameWithoutThePauseFileAndWithTheVoiceOff) {
  PutBankFile("bank01.dat", "FM", {"145.1", "145.2", "145.3", "145.4"});
  using Wire = std::vector<std::pair<std::string, long long>>;
  Wire wire;
  long long from = 0;
  program.line.responder = [&](const std::string& command) {
    if (command != "LM") wire.emplace_back(command, Now() - from);
    if (command == "LM") return std::string(fakes::kQuiet);
    return command == "MAB" ? std::string("?\r\n") : std::string("\r\n");
  };
  std::vector<Wire> runs;
  for (int run = 0; run < 3; ++run) {
    if (run == 1) program.sound.SetMissing("shdel");
    if (run == 2) ctx.app.voicePrefix = "";
    Ticks(3);
    wire.clear();
    from = Now();
    Type("W01B\r");
    runs.push_back(wire);
  }
  ASSERT_EQ(runs[0].size(), 6u);  // MQ, four channels, the read-back
  EXPECT_EQ(runs[0].front().first, "MQB%%");
  EXPECT_EQ(runs[1], runs[0]) << "without shdel.wav";
  EXPECT_EQ(runs[2], runs[0]) << "with the voice off";
  for (std::size_t i = 1; i < runs[0].size(); ++i) {
    EXPECT_GE(runs[0][i].second - runs[0][i - 1].second, kPauseMs) << runs[0][i].first;
  }
}

TEST_F(SpeechBesideTheLoop, RolledKeysTheKeypadAndAHeldKeyTypeTheFrequencyPressed) {
  using fakes::KeyDown;
  using fakes::KeyUp;
  const WindowEvent repeat4{EventKind::kKeyDown, '4', true};
  struct Row {
    const char* what;
    std::vector<WindowEvent> events;
  };
  const std::vector<Row> rows = {
      {"each key down before the last is up",
       {KeyDown('1'), KeyDown('4'), KeyUp('1'), KeyDown('5'), KeyUp('4'), KeyDown(keys::kFullStop),
        KeyUp('5'), KeyDown('5'), KeyUp(keys::kFullStop), KeyDown('1'), KeyUp('5'), KeyDown('2'),
        KeyUp('1'), KeyDown('5'), KeyUp('2'), KeyDown(keys::kEnter), KeyUp('5'),
        KeyUp(keys::kEnter)}},
      {"the numeric keypad",
       {KeyDown(97), KeyUp(97), KeyDown(100), KeyUp(100), KeyDown(101), KeyUp(101), KeyDown(110),
        KeyUp(110), KeyDown(101), KeyUp(101), KeyDown(97), KeyUp(97), KeyDown(98), KeyUp(98),
        KeyDown(101), KeyUp(101), KeyDown(keys::kEnter), KeyUp(keys::kEnter)}},
      {"4 held down while the keyboard repeats it",
       {KeyDown('1'),
        KeyUp('1'),
        KeyDown('4'),
        repeat4,
        repeat4,
        repeat4,
        KeyUp('4'),
        KeyDown('5'),
        KeyUp('5'),
        KeyDown(keys::kFullStop),
        KeyUp(keys::kFullStop),
        KeyDown('5'),
        KeyUp('5'),
        KeyDown('1'),
        KeyUp('1'),
        KeyDown('2'),
        KeyUp('2'),
        KeyDown('5'),
        KeyUp('5'),
        KeyDown(keys::kEnter),
        KeyUp(keys::kEnter)}},
  };
  for (const Row& row : rows) {
    Ticks(3);
    Forget();
    for (const WindowEvent& event : row.events) Event(event);
    Ticks(3);
    EXPECT_THAT(Commands(), Contains("VA0145.51250")) << row.what;
    EXPECT_EQ(Heard(), (std::vector<std::string>{"1", "4", "5", "point", "5", "1", "2", "5", "ok"}))
        << row.what;
  }
}

}  // namespace
}  // namespace voxrig
