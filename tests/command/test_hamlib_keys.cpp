// SPDX-License-Identifier: GPL-3.0-or-later
// The panel's keys on a radio driven through Hamlib: the connected panel with
// Hamlib's dummy radio (model 1, in this process) where the AR8600 would be.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "command/key_codes.h"
#include "fakes/connected_panel.h"
#include "fakes/dummy_radio_record.h"
#include "hamlib/hamlib_library.h"
#include "link/ar8600/ar8600_receiver.h"
#include "link/radio_choice.h"
#include "posix/termios_serial.h"

namespace voxrig {
namespace {

class HamlibPanel : public fakes::PanelFixture {
 protected:
  void SetUp() override {
    ctx.platform.hamlib = &library;
    ctx.app.radioSetting = "=hamlib:1";
    ChooseRadio(ctx);
    OpenRadio(ctx);
    ASSERT_TRUE(RadioOpen(ctx));
    Radio().SetFrequency(Vfo::kA, "145");
    Radio().SelectMode(Mode::kFM);
    Forget();
  }

  // The radio itself, asked past the panel.
  Receiver& Radio() { return *ctx.link.receiver; }
  ReceiveState RadioState() {
    Radio().DropLateAnswers();
    Radio().AskReceiveState();
    return Radio().TakeReceiveState().value_or(ReceiveState{});
  }
  std::int64_t RadioHz() {
    const ReceiveState state = RadioState();
    return state.frequency ? state.frequency->hz : 0;
  }
  std::vector<MemoryChannel> BankA() {
    Radio().DropLateAnswers();
    Radio().AskBankChannels('A', true);
    return Radio().TakeBankChannels('A').value_or(BankBatch{}).channels;
  }

  TermiosDeviceLocker devices;
  HamlibLibrary library{devices};
};

TEST_F(HamlibPanel, EveryKeyFamilyTheDummyRadioCanDo) {
  struct Row {
    std::vector<int> keys;
    std::vector<std::string> spoken;
    std::int64_t hz;                 // where the radio is tuned after the keys
    std::optional<Mode> mode;        // its mode, where the keys set one
    std::optional<bool> attenuator;  // its attenuator, where the keys switch it
    std::string modeLine;
  };
  const std::vector<Row> rows = {
      {{'1', '4', '5', keys::kFullStop, '5', keys::kEnter},
       {"1", "4", "5", "point", "5", "ok"},
       145'500'000,
       Mode::kFM,
       {},
       "FM"},
      {{keys::kPageUp}, {"1", "4", "5", "point", "5", "1", "2", "5"}, 145'512'500, {}, {}, "FM"},
      {{keys::kDown}, {"1", "4", "5", "point", "5", "1", "1", "5"}, 145'511'500, {}, {}, "FM"},
      {{keys::kF1 + 3}, {"USB"}, 145'511'500, Mode::kUSB, {}, "USB"},
      {{keys::kF1 + 4}, {"WFM"}, 145'511'500, Mode::kWFM, {}, "WFM"},
      {{keys::kF1 + 5}, {"cw"}, 145'511'500, Mode::kCW, {}, "CW "},
      {{keys::kF1 + 1}, {"AM"}, 145'511'500, Mode::kAM, {}, "AM"},
      // No automatic mode through Hamlib: refused, the mode stays.
      {{keys::kF7}, {"inv"}, 145'511'500, Mode::kAM, {}, "AM"},
      {{'A'}, {"atton"}, 145'511'500, {}, true, "AM"},
      {{'A'}, {"attoff"}, 145'511'500, {}, false, "AM"},
      {{'L'}, {"noise", "on"}, 145'511'500, {}, {}, "AM"},
  };
  for (const Row& row : rows) {
    Forget();
    for (int key : row.keys) Press(key);
    SCOPED_TRACE(row.keys.front());
    EXPECT_EQ(Spoken(), row.spoken);
    const ReceiveState state = RadioState();
    ASSERT_TRUE(state.frequency.has_value());
    EXPECT_EQ(state.frequency->hz, row.hz);
    if (row.mode) {
      EXPECT_EQ(state.mode, row.mode);
    }
    if (row.attenuator) {
      EXPECT_EQ(state.attenuatorOn, row.attenuator);
    }
    EXPECT_EQ(ctx.tuning.modeText.str(), row.modeLine);
    EXPECT_EQ(ctx.command.pendingCommand, PendingCommand::kNone);
  }
  EXPECT_FALSE(ctx.link.receiverLost);
}

// The dummy radio has a VFO search of its own, which the panel starts and
// follows until Enter ends it and puts the radio back on VFO A.
TEST_F(HamlibPanel, SearchRunsOnTheRadioAndEnterEndsIt) {
  Type("R");
  EXPECT_EQ(ctx.poll.searchState, Search::kSearching);
  for (int cycle = 0; cycle < 6; ++cycle) Cycle();
  EXPECT_NE(ctx.poll.searchState, Search::kOff);
  Type("\r");
  EXPECT_EQ(ctx.poll.searchState, Search::kOff);
  EXPECT_EQ(RadioHz(), 145'000'000);
  EXPECT_FALSE(ctx.link.receiverLost);
}

// Keys refused while the radio is away leave the panel where the radio is:
// once it answers again, F and the radio agree.
TEST_F(HamlibPanel, KeysRefusedWhileTheRadioIsAwayLeaveThePanelWhereTheRadioIs) {
  ctx.link.receiverLost = true;
  const std::vector<std::vector<int>> refused = {
      {'1', '4', '6', keys::kFullStop, '5', keys::kEnter}, {keys::kF1 + 1}, {keys::kPageUp}};
  for (const std::vector<int>& keys : refused) {
    Forget();
    for (int key : keys) Press(key);
    EXPECT_EQ(Spoken().back(), "rnc") << "key " << keys.front();
  }
  Cycle();
  ASSERT_FALSE(ctx.link.receiverLost);
  Forget();
  Press('F');
  EXPECT_EQ(Spoken(), (std::vector<std::string>{"1", "4", "5", "point", "0", "fm.wav"}));
  const ReceiveState radio = RadioState();
  ASSERT_TRUE(radio.frequency.has_value());
  EXPECT_EQ(radio.frequency->hz, 145'000'000);
  EXPECT_EQ(radio.mode, Mode::kFM);
}

// W, X, Z and G on the dummy radio's 19 memory channels, its bank A.
TEST_F(HamlibPanel, MemoryKeysWorkOnTheRadiosMemoryChannels) {
  PutBankFile("bank05.dat", "FM", {"145.5", "446.00625", "118.1"});
  Type("W05A\r");
  EXPECT_EQ(Spoken().back(), "ok");
  const std::vector<MemoryChannel> stored = BankA();
  ASSERT_GE(stored.size(), 3u);
  EXPECT_EQ(stored[0].hz, 145'500'000);
  EXPECT_EQ(stored[0].mode, Mode::kFM);
  EXPECT_EQ(stored[1].hz, 446'006'250);
  EXPECT_EQ(stored[2].hz, 118'100'000);

  // Read back into a bank file of its own: the same channels.
  Forget();
  Type("X06A\r");
  EXPECT_EQ(Spoken().back(), "ok");
  const std::string written = program.files.files["bank06.dat"];
  for (const char* frequency : {"145.5\r\n", "446.00625\r\n", "118.1\r\n"}) {
    EXPECT_NE(written.find(frequency), std::string::npos) << frequency << written;
  }

  // Z: the radio's banks are told, not resized: bank A holds 19 channels.
  Forget();
  Type("Z");
  EXPECT_EQ(Spoken(), (std::vector<std::string>{"ckconfig", "A", "1", "9", "ok"}));

  // G scans bank A on the radio; P passes the channel it rests on, and
  // Enter leaves the scan and takes the pass back.
  Forget();
  Type("GA\r");
  for (int cycle = 0; cycle < 6 && ctx.poll.scanState != ReceiverScan::kStopped; ++cycle) Cycle();
  ASSERT_EQ(ctx.poll.scanState, ReceiverScan::kStopped);
  const ReceiveState resting = RadioState();
  ASSERT_TRUE(resting.channel.has_value()) << "the scan rests on a channel";
  EXPECT_EQ(resting.channel->bank, 'A');
  Forget();
  Press('P');
  EXPECT_EQ(Spoken(), std::vector<std::string>{"pass"});
  Type("\r");
  EXPECT_EQ(ctx.poll.scanState, ReceiverScan::kOff);
  EXPECT_FALSE(RadioState().channel.has_value()) << "back on the VFO";
  EXPECT_FALSE(ctx.link.receiverLost);
}

// Another radio opened on the port after a loss starts where it starts: the
// panel puts it back where the panel shows, and reads it back.
TEST_F(HamlibPanel, ARadioThatComesBackIsGivenThePanelsState) {
  Type("146.5\r");
  Press(keys::kF1 + 3);
  Type("AL");
  ctx.link.receiverLost = true;
  OpenRadio(ctx);
  ASSERT_TRUE(RadioOpen(ctx));
  Radio().SetFrequency(Vfo::kA, "145");
  Radio().SelectMode(Mode::kFM);
  Forget();
  Cycle();
  EXPECT_EQ(Spoken(), std::vector<std::string>{"connected"});
  const ReceiveState state = RadioState();
  ASSERT_TRUE(state.frequency.has_value());
  EXPECT_EQ(state.frequency->hz, 146'500'000);
  EXPECT_EQ(state.mode, Mode::kUSB);
  EXPECT_EQ(state.stepHz, 12'500);
  EXPECT_EQ(state.attenuatorOn, true);
}

// The dummy's 19 memories are bank A alone: W to bank B is refused at its
// letter, and its Enter stores nothing.
TEST_F(HamlibPanel, WToABankTheRadioLacksIsInvalidAtItsLetter) {
  PutBankFile("bank05.dat", "FM", {"145.5"});
  const std::vector<MemoryChannel> bankA = BankA();
  Type("W05B");
  EXPECT_EQ(Spoken().back(), "inv");
  EXPECT_EQ(ctx.command.pendingCommand, PendingCommand::kNone);
  Forget();
  Type("\r");
  EXPECT_EQ(Spoken(), std::vector<std::string>{"inv"});
  EXPECT_EQ(BankA().size(), bankA.size());
  for (std::size_t i = 0; i < bankA.size(); ++i) EXPECT_EQ(BankA()[i].hz, bankA[i].hz);
}

// What the radio receives is known from Hamlib's record of its model, open
// or not: a frequency outside it is refused ("inv") and the radio stays where
// it was. The dummy receives 150 kHz to 1.5 GHz; the IC-7300 named on an
// unplugged port is no radio at all, yet its 30 kHz to 74.8 MHz still
// decides, where a frequency it receives finds it away ("rnc").
TEST_F(HamlibPanel, AFrequencyTheRadioDoesNotReceiveIsRefusedOpenOrNot) {
  struct Row {
    std::string radioLine;
    bool plugged;
    std::string typed;
    std::string said;
  };
  const std::vector<Row> rows = {
      {"=hamlib:1", true, "1800\r", "inv"},     {"=hamlib:1", true, ".1\r", "inv"},
      {"=hamlib:3073", false, "1800\r", "inv"}, {"=hamlib:3073", false, "146\r", "inv"},
      {"=hamlib:3073", false, "14.2\r", "rnc"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.radioLine + " " + row.typed);
    ctx.app.radioSetting = row.radioLine;
    ctx.link.devicePath = row.plugged ? "/dev/null" : "/dev/voxrig-unplugged";
    ChooseRadio(ctx);
    OpenRadio(ctx);
    ASSERT_EQ(RadioOpen(ctx), row.plugged);
    ctx.link.receiverLost = !row.plugged;
    if (row.plugged) Radio().SetFrequency(Vfo::kA, "145");
    const std::string shown = ctx.tuning.frequencyText.str();
    Forget();
    Type(row.typed);
    ASSERT_FALSE(Spoken().empty());
    EXPECT_EQ(Spoken().back(), row.said);
    EXPECT_EQ(ctx.tuning.frequencyText.str(), shown);
    EXPECT_EQ(ctx.command.pendingCommand, PendingCommand::kNone);
    EXPECT_TRUE(Sent("VA").empty());
    if (row.plugged) {
      EXPECT_EQ(RadioHz(), 145'000'000);
    }
  }
}

// What a radio lacks is refused before anything is sent or claimed.
using RadioThatLacks = fakes::PanelFixture;

TEST_F(RadioThatLacks, AModeOrSwitchSaysInvalidAndSendsNothing) {
  ReceiverCapabilities radio = fakes::DummyRadioRecord();
  std::erase(radio.modes, Mode::kUSB);
  ctx.link.capabilities = radio;
  for (const int key : {keys::kF1 + 3, static_cast<int>('A'), static_cast<int>('L')}) {
    Forget();
    Press(key);
    EXPECT_EQ(Spoken(), std::vector<std::string>{"inv"}) << key;
    EXPECT_TRUE(Sent("MD").empty() && Sent("AT").empty() && Sent("NL").empty()) << key;
  }
  EXPECT_EQ(ctx.tuning.modeText.str(), "FM");
  EXPECT_FALSE(ctx.tuning.attenuatorOn);
  EXPECT_FALSE(ctx.tuning.noiseLimiterOn);
}

TEST_F(RadioThatLacks, MemoryKeysSayNotOnThisRadioAndSendNothing) {
  ctx.link.capabilities = fakes::DummyRadioRecord();
  for (const char* keys : {"W", "X", "G", "Z", "W05A\r"}) {
    Forget();
    Type(keys);
    EXPECT_EQ(Spoken().front(), "notradio") << keys;
    EXPECT_EQ(ctx.command.pendingCommand, PendingCommand::kNone) << keys;
    for (const char* head : {"MX", "MA", "MS", "MW", "MQ"}) EXPECT_TRUE(Sent(head).empty()) << keys;
  }
}

// A radio that answers a setting with a refusal (a Hamlib radio's soft
// error): the key says "invalid" after what it would have confirmed, and the
// panel keeps what the radio still holds.
class RefusingRadio : public Ar8600Receiver {
 public:
  using Ar8600Receiver::Ar8600Receiver;
  RadioResult SetFrequency(Vfo, const std::string&) override { return RadioResult::kRefused; }
  RadioResult SelectMode(Mode) override { return RadioResult::kRefused; }
  RadioResult SetAttenuator(bool) override { return RadioResult::kRefused; }
};

TEST_F(RadioThatLacks, ASettingTheRadioRefusesIsInvalidAndThePanelKeepsWhatTheRadioHolds) {
  ctx.link.receiver.reset();
  ctx.link.receiver = std::make_unique<RefusingRadio>(ctx.platform.serial->Open("COM1", 19200));
  const std::string frequency = ctx.tuning.frequencyText.str();
  const struct {
    const char* keys;
    std::vector<std::string> spoken;
  } rows[] = {
      {"146\r", {"1", "4", "6", "inv"}},
      {"A", {"atton", "inv"}},
  };
  for (const auto& row : rows) {
    Forget();
    Type(row.keys);
    EXPECT_EQ(Spoken(), row.spoken) << row.keys;
  }
  Forget();
  Press(keys::kF1 + 3);
  EXPECT_EQ(Spoken(), (std::vector<std::string>{"USB", "inv"}));
  EXPECT_EQ(ctx.tuning.frequencyText.str(), frequency);
  EXPECT_EQ(ctx.tuning.modeText.str(), "FM");
  EXPECT_FALSE(ctx.tuning.attenuatorOn);
  EXPECT_FALSE(ctx.link.receiverLost);
}

TEST(RadioChoice, TheRadioLineChoosesTheLink) {
  EXPECT_EQ(HamlibModelOf("AR8600"), 0);
  EXPECT_EQ(HamlibModelOf(""), 0);
  EXPECT_EQ(HamlibModelOf("AR-8600 old"), 0);
  EXPECT_EQ(HamlibModelOf("=AR8600"), 0);
  EXPECT_EQ(HamlibModelOf("=hamlib:5013"), 5013);
  EXPECT_EQ(HamlibModelOf("hamlib:5013"), 5013);
  EXPECT_EQ(HamlibModelOf("Hamlib:1 "), 1);
  EXPECT_EQ(HamlibModelOf("hamlib:"), -1);
  EXPECT_EQ(HamlibModelOf("hamlib:ic7300"), -1);
  EXPECT_EQ(HamlibModelOf("hamlib:0"), -1);
}

}  // namespace
}  // namespace voxrig
