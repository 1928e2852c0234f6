// SPDX-License-Identifier: GPL-3.0-or-later
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <sstream>

#include "app/braille_panel.h"
#include "app/key_handler.h"
#include "app/outcome_words.h"
#include "banks/bank_file.h"
#include "command/key_codes.h"
#include "fakes/connected_panel.h"
#include "link/ar8600/ar8600_answers.h"
#include "panel/display_lines.h"
#include "poll/poll_status.h"

namespace voxrig::testing {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;

// Every line the panel sent to the display, and keys the display will give.
class RecordingBraille : public BrailleLine {
 public:
  void Show(const std::string& line) override { shown.push_back(line); }
  std::vector<int> TakeKeys() override { return std::exchange(keys, {}); }
  std::vector<std::string> shown;
  std::vector<int> keys;
};

// The panel with the braille line between it and its window, display and sound.
class BraillePanelTest : public fakes::PanelFixture {
 protected:
  BraillePanelTest() {
    ctx.platform.window = &braillePanel;
    ctx.platform.display = &braillePanel;
    ctx.platform.sound = &braillePanel;
  }
  void Meter(const std::string& levelAnswer) {
    if (const auto reception = receiver::ParseLevelAnswer(levelAnswer))
      UpdateMeter(ctx, *reception);
  }
  std::string Shown() {
    braillePanel.Refresh();
    return braille.shown.empty() ? "" : braille.shown.back();
  }

  RecordingBraille braille;
  BraillePanel braillePanel{ctx, program.window, program.display, program.sound, braille};
};

TEST_F(BraillePanelTest, TheLineFollowsTuningModeLevelSwitchesScanAndOutcome) {
  program.files.files["bank03.dat"] =
      "bank03\r\nFM\r\n12.5\r\n \r\n145.5\r\n \r\n146.5\r\n \r\n9999\r\n";
  program.files.files["bank01.dat"] = "bank01\r\nFM\r\n12.5\r\n \r\n145.5\r\n \r\n9999\r\n";
  const struct {
    const char* what;
    std::function<void()> act;
    const char* line;
  } steps[] = {
      {"a tune", [&] { Type("145.5\r"); }, "145.5000 ok"},
      {"the level meter", [&] { Meter("LM 070"); }, "145.5000 S5 ok"},
      {"a mode change", [&] { Press(keys::kF1 + 1); }, "145.5000 AM S5 ok"},
      {"a strong signal", [&] { Meter("LM 200"); }, "145.5000 AM S9+ ok"},
      {"the attenuator", [&] { ctx.tuning.attenuatorOn = true; }, "145.5000 AM S9+ ATT ok"},
      {"squelch closed", [&] { Meter("LM%000"); }, "145.5000 AM S0 ATT ok"},
      {"a refused write",
       [&] {
         program.files.failingWrites.insert("undo");
         Type("D01\r");
       },
       "145.5000 AM S0 ATT write error"},
      {"a bank scan",
       [&] {
         ctx.banks.bankFileName = "bank03.dat";
         ReadBankFile(ctx);
         ctx.poll.bankScanState = BankScan::kScanning;
         ctx.banks.tunedChannelSlot = 6;  // the scan tuned the second channel
         ctx.banks.bankScanIndex = 8;     // and goes on to the third next
         braillePanel.SetTextPosition(270, 320);
         braillePanel.Print("      *** SCANNING ***  ");
       },
       "145.5000 AM S0 ATT SCAN B03 C02 write error"},
      {"the lower panel wiped",
       [&] {
         ctx.poll.bankScanState = BankScan::kOff;
         ClearLowerPanel(ctx);
       },
       "145.5000 AM S0 ATT write error"},
      {"an outcome with the voice off",
       [&] {
         ctx.app.voicePrefix = "";
         Type("W1\r");
       },
       "145.5000 AM S0 ATT invalid"},
      {"the receiver's memory scan resting on a named channel",
       [&] {
         ctx.poll.scanState = ReceiverScan::kStopped;
         ctx.memory.heldChannel = "A05";
         ctx.memory.heldChannelName = "Repeater    ";
       },
       "145.5000 AM S0 ATT A05 Repeater invalid"},
      {"on the second channel of a selected bank",
       [&] {
         ctx.poll.scanState = ReceiverScan::kOff;
         ctx.poll.bankScanState = BankScan::kBankSelected;
         ctx.banks.tunedChannelSlot = 6;
         ctx.tuning.frequencyText = "146.5";
       },
       "145.5000 AM S0 ATT C02 invalid"},
  };
  for (const auto& step : steps) {
    step.act();
    EXPECT_EQ(Shown(), step.line) << step.what;
  }
}

TEST_F(BraillePanelTest, AnUnchangedLineIsNotSentAgain) {
  Type("145.5\r");
  for (int poll = 0; poll < 5; ++poll) {
    Meter("LM 070");
    braillePanel.Refresh();
  }
  Meter("LM 100");
  braillePanel.Refresh();
  // The typing shows as it goes; then each change once.
  EXPECT_THAT(braille.shown, ElementsAre("", "1", "14", "145", "145.", "145.5000 ok",
                                         "145.5000 S5 ok", "145.5000 S8 ok"));
}

TEST_F(BraillePanelTest, KeysTypedOnTheDisplayWorkThePanelAsKeyboardKeys) {
  braille.keys = {'1', '4', '5', keys::kFullStop, '5', keys::kEnter};
  program.window.AddBatch({fakes::Tick()});
  const std::vector<WindowEvent> events = braillePanel.WaitEvents();
  ASSERT_EQ(events.size(), 13u);
  EXPECT_EQ(events[1], fakes::KeyDown('1'));
  EXPECT_EQ(events[2], fakes::KeyUp('1'));
  for (const WindowEvent& event : events) {
    if (event.kind != EventKind::kTimerTick) OnWindowEvent(ctx, event);
  }
  for (int tick = 0; tick < 40 && ctx.panel.keyQueueCount > 0; ++tick) Tick();
  EXPECT_THAT(Commands(), Contains("VA0145.50000"));
  EXPECT_EQ(Shown(), "145.5000 ok");
}

TEST_F(BraillePanelTest, TheWindowsWakeUpsAreAskedOfTheWindowItStandsBefore) {
  braillePanel.WakeAfter(150);
  braillePanel.WakeAfter(0);
  EXPECT_THAT(program.window.wakeRequests, ElementsAre(150, 0));
}

// Keys go through the display's wait, as the window's do: each key clears the
// outcome of the one before, so the same outcome again is seen again, and
// what is being typed shows while it is typed.
TEST_F(BraillePanelTest, TheOutcomeIsTheLastKeysAndTheTypingShows) {
  program.files.files["bank01.dat"] =
      "bank01\r\nFM\r\n12.5\r\n \r\n145.1\r\nTower\r\n146.5\r\n \r\n9999\r\n";
  const auto typeThroughDisplay = [&](const std::string& typed) {
    for (char c : typed) {
      const int key = c == '.' ? keys::kFullStop : static_cast<unsigned char>(c);
      program.window.AddBatch({fakes::KeyDown(key), fakes::KeyUp(key)});
      for (const WindowEvent& event : braillePanel.WaitEvents()) OnWindowEvent(ctx, event);
      for (int tick = 0; tick < 40 && ctx.panel.keyQueueCount > 0; ++tick) Tick();
    }
    return Shown();
  };
  EXPECT_EQ(typeThroughDisplay("145.5\r"), "145.5000 ok");
  EXPECT_EQ(typeThroughDisplay("14"), "145.5000 14");
  EXPECT_EQ(typeThroughDisplay("5.5\r"), "145.5000 ok");
  EXPECT_EQ(std::count(braille.shown.begin(), braille.shown.end(), "145.5000 ok"), 2);
  EXPECT_EQ(typeThroughDisplay("W123"), "145.5000 invalid");
  EXPECT_EQ(typeThroughDisplay("B0"), "145.5000 B 0");
  EXPECT_THAT(typeThroughDisplay("1\r"), ::testing::EndsWith("C01 Tower selected"));
  // The bank scan rests on its first channel at once: its place is channel 1.
  typeThroughDisplay("R");
  Cycle(fakes::kSignal);
  EXPECT_THAT(Shown(), ::testing::HasSubstr("STOP B01 C01 Tower"));
}

TEST(OutcomeWords, SayTheLastOutcomeWithItsCountAndTheOutcomesThatCameWithIt) {
  const struct {
    std::vector<std::string> prompts;
    const char* words;
  } cases[] = {
      {{"wave\\ok"}, "ok"},
      {{"wave\\ok", "wave\\shdel", "wave\\skipped", "wave\\3"}, "ok channels skipped 3"},
      {{"wave\\1", "wave\\2", "wave\\differ", "wave\\wrerr"}, "12 channels differ write error"},
      {{"wave\\written", "wave\\1", "wave\\2"}, "channels written 12"},
      {{"wave\\wrerr", "wave\\1", "wave\\4", "wave\\5"}, "write error"},
      {{"wave\\ok", "wave\\FM.wav", "wave\\inv"}, "invalid"},
      {{"wave\\1", "wave\\point", "wave\\5", "wave\\fm.wav"}, ""},
      {{"rnc", "wave\\s", "wave\\5"}, "receiver not connected"},
      {{"wave\\sel", "wave\\channel", "wave\\1"}, "selected"},
      {{"wave\\wait", "wave\\shdel", "wave\\beep"}, "please wait"},
  };
  for (const auto& c : cases) {
    OutcomeWords outcome;
    for (const std::string& prompt : c.prompts) outcome.Heard(prompt);
    EXPECT_EQ(outcome.Text(), c.words) << ::testing::PrintToString(c.prompts);
  }
  OutcomeWords outcome;
  outcome.Heard("wave\\ok");
  outcome.KeyPressed();
  EXPECT_EQ(outcome.Text(), "");
  outcome.Heard("wave\\inv");
  EXPECT_EQ(outcome.Text(), "invalid");
}

}  // namespace
}  // namespace voxrig::testing
