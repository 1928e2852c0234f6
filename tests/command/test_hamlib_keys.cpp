// SPDX-License-Identifier: GPL-3.0-or-later
// The panel's keys on a radio driven through Hamlib: the connected panel with
// Hamlib's dummy radio (model 1, in this process) where the AR8600 would be.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "command/key_codes.h"
#include "fakes/connected_panel.h"
#include "hamlib/hamlib_receiver.h"
#include "link/radio_choice.h"
#include "link/serial_port.h"
#include "posix/termios_serial.h"

namespace voxrig {
namespace {

class HamlibPanel : public fakes::PanelFixture {
 protected:
  void SetUp() override {
    ctx.platform.hamlib = &library;
    ctx.app.radioSetting = "=hamlib:1";
    ctx.link.hamlibModel = HamlibModelOf(ctx.app.radioSetting.str());
    ASSERT_EQ(OpenPort(ctx, ctx.link.comPort, 19200), 1);
    Ask("VA0145000000");
    Ask("MD1");
    Forget();
  }

  // Asks the radio itself through the panel's port, as the panel would.
  std::string Ask(const std::string& command) {
    const std::string bytes = command + "\r";
    WritePort(ctx, ctx.link.comPort, bytes.data(), static_cast<int>(bytes.size()));
    std::string answer(256, '\0');
    answer.resize(static_cast<std::size_t>(
        ReadPort(ctx, ctx.link.comPort, answer.data(), static_cast<int>(answer.size()))));
    return answer;
  }
  // Where the radio is tuned and its mode, from its receive state.
  std::string RadioFrequency() { return Ask("RX").substr(5, 10); }
  std::string RadioState() { return Ask("RX"); }

  TermiosDeviceLocker devices;
  HamlibLibrary library{devices};
};

TEST_F(HamlibPanel, EveryKeyFamilyTheDummyRadioCanDo) {
  struct Row {
    std::vector<int> keys;
    std::vector<std::string> spoken;
    std::string radioHolds;  // a field of the radio's receive state after the keys
    std::string modeLine;
  };
  const std::vector<Row> rows = {
      {{'1', '4', '5', keys::kFullStop, '5', keys::kEnter},
       {"1", "4", "5", "point", "5", "ok"},
       "RF0145500000",
       "FM"},
      {{keys::kPageUp}, {"1", "4", "5", "point", "5", "1", "2", "5"}, "RF0145512500", "FM"},
      {{keys::kDown}, {"1", "4", "5", "point", "5", "1", "1", "5"}, "RF0145511500", "FM"},
      {{keys::kF1 + 3}, {"USB"}, "MD3", "USB"},
      {{keys::kF1 + 4}, {"WFM"}, "MD0", "WFM"},
      {{keys::kF1 + 5}, {"cw"}, "MD5", "CW "},
      {{keys::kF1 + 1}, {"AM"}, "MD2", "AM"},
      // No automatic mode through Hamlib: refused, the mode stays.
      {{keys::kF7}, {"inv"}, "MD2", "AM"},
      {{'A'}, {"atton"}, "AT1", "AM"},
      {{'A'}, {"attoff"}, "AT0", "AM"},
      {{'L'}, {"noise", "on"}, "", "AM"},
  };
  for (const Row& row : rows) {
    Forget();
    for (int key : row.keys) Press(key);
    EXPECT_EQ(Spoken(), row.spoken) << "key " << row.keys.front();
    EXPECT_NE(RadioState().find(row.radioHolds), std::string::npos)
        << "key " << row.keys.front() << ": " << RadioState();
    EXPECT_EQ(ctx.tuning.modeText.str(), row.modeLine) << "key " << row.keys.front();
    EXPECT_EQ(ctx.command.pendingCommand, PendingCommand::kNone) << "key " << row.keys.front();
  }
  EXPECT_EQ(Ask("NL"), "NL1\r\n");
  EXPECT_FALSE(ctx.link.receiverLost);
}

TEST_F(HamlibPanel, SearchSweepsTheRadioBetweenTheLimitsAndEnterEndsIt) {
  Type("R");
  EXPECT_EQ(RadioState().substr(0, 2), "VS");
  // The poll cycle listens and steps the radio on; every frequency it rests
  // on lies between the limits, and whatever it logs is such a frequency.
  for (int cycle = 0; cycle < 12; ++cycle) {
    Cycle();
    const long long hz = std::stoll(RadioFrequency());
    EXPECT_GE(hz, 145000000);
    EXPECT_LE(hz, 146000000);
    EXPECT_EQ(hz % 12500, 0);
  }
  Type("\r");
  EXPECT_EQ(RadioState().substr(0, 2), "VA");
  EXPECT_EQ(ctx.poll.searchState, Search::kOff);
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
  const std::string radio = RadioState();
  EXPECT_NE(radio.find("RF0145000000"), std::string::npos) << radio;
  EXPECT_NE(radio.find("MD1"), std::string::npos) << radio;
}

// W, X, Z and G on the dummy radio's 19 memory channels, its bank A.
TEST_F(HamlibPanel, MemoryKeysWorkOnTheRadiosMemoryChannels) {
  PutBankFile("bank05.dat", "FM", {"145.5", "446.00625", "118.1"});
  Type("W05A\r");
  EXPECT_EQ(Spoken().back(), "ok");
  EXPECT_EQ(Ask("MAA").substr(0, 77),
            "MXA00 MP0 RF0145500000 ST012500 AU0 MD1 AT0 TM            \r\n"
            "MXA01 MP0 RF04460");

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
  const std::string resting = RadioState();
  ASSERT_EQ(resting.substr(0, 5), "MS MX") << resting;
  Forget();
  Press('P');
  EXPECT_EQ(Spoken(), std::vector<std::string>{"pass"});
  const std::string channel = resting.substr(3, 5);  // e.g. MXA01
  EXPECT_NE(Ask("MAA").find(channel + " MP1"), std::string::npos) << channel;
  Type("\r");
  EXPECT_EQ(ctx.poll.scanState, ReceiverScan::kOff);
  EXPECT_EQ(Ask("MAA").find(" MP1"), std::string::npos);
  EXPECT_EQ(RadioState().substr(0, 2), "VA");
  EXPECT_FALSE(ctx.link.receiverLost);
}

// Another radio opened on the port after a loss starts where it starts: the
// panel puts it back where the panel shows, and reads it back.
TEST_F(HamlibPanel, ARadioThatComesBackIsGivenThePanelsState) {
  Type("146.5\r");
  Press(keys::kF1 + 3);
  Type("AL");
  ctx.link.receiverLost = true;
  ASSERT_EQ(OpenPort(ctx, ctx.link.comPort, 19200), 1);
  Ask("VA0145000000");
  Ask("MD1");
  Forget();
  Cycle();
  EXPECT_EQ(Spoken(), std::vector<std::string>{"connected"});
  const std::string state = RadioState();
  for (const char* field : {"RF0146500000", "ST012500", "MD3", "AT1"}) {
    EXPECT_NE(state.find(field), std::string::npos) << field << ": " << state;
  }
  EXPECT_EQ(Ask("NL"), "NL1\r\n");
}

// The dummy's 19 memories are bank A alone: W to bank B is refused at its
// letter, and its Enter stores nothing.
TEST_F(HamlibPanel, WToABankTheRadioLacksIsInvalidAtItsLetter) {
  PutBankFile("bank05.dat", "FM", {"145.5"});
  const std::string bankA = Ask("MAA");
  Type("W05B");
  EXPECT_EQ(Spoken().back(), "inv");
  EXPECT_EQ(ctx.command.pendingCommand, PendingCommand::kNone);
  Forget();
  Type("\r");
  EXPECT_EQ(Spoken(), std::vector<std::string>{"inv"});
  EXPECT_EQ(Ask("MAA"), bankA);
}

// What a radio lacks is refused before anything is sent or claimed.
using RadioThatLacks = fakes::PanelFixture;

TEST_F(RadioThatLacks, AModeOrSwitchSaysInvalidAndSendsNothing) {
  program.line.notCarried = {"MD3", "AT1", "NL1"};
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
  program.line.headsNotCarried = {"MX", "MA", "MS", "MW"};
  for (const char* keys : {"W", "X", "G", "Z", "W05A\r"}) {
    Forget();
    Type(keys);
    EXPECT_EQ(Spoken().front(), "notradio") << keys;
    EXPECT_EQ(ctx.command.pendingCommand, PendingCommand::kNone) << keys;
    for (const char* head : {"MX", "MA", "MS", "MW", "MQ"}) EXPECT_TRUE(Sent(head).empty()) << keys;
  }
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
