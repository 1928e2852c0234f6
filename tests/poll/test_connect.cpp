// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "fakes/test_program.h"
#include "panel/display_lines.h"
#include "poll/connect.h"
#include "poll/operation.h"
#include "poll/poll_cycle.h"

namespace voxrig {
namespace {

// One poll step, and the operation it may start (the known state, a
// restore) run to its end, its waits passing on the fake time.
void PollStepAndItsOperation(fakes::TestProgram& program) {
  RunPollStep(program.ctx);
  while (OperationRunning(program.ctx)) {
    program.time.Advance(MsUntilOperationStep(program.ctx));
    RunDueOperationStep(program.ctx);
  }
}

using fakes::TestProgram;
using Strings = std::vector<std::string>;

class ConnectTest : public ::testing::Test {
 protected:
  void SetUp() override {
    program.ctx.app.portSetting = "COM1";
    program.ctx.app.speedSetting = "19200";
    // Each prompt notes how many commands the receiver had been sent when it
    // played, which pins the pauses between the commands.
    program.sound.OnPlayed([this](const std::string& name) {
      timeline.push_back(name + "@" + std::to_string(program.Commands().size()));
    });
  }

  TestProgram program;
  Strings timeline;
};

// The connect only asks whether the receiver is there; its first answer
// brings the known state, said as it goes out.
TEST_F(ConnectTest, AsksFirstAndPutsTheReceiverIntoItsKnownStateWithPausesBetweenCommands) {
  ConnectReceiver(program.ctx);
  EXPECT_EQ(program.line.written, "LM\r");
  EXPECT_TRUE(program.Heard().empty());
  EXPECT_FALSE(program.display.DrewAt(300, 150));  // no frequency claimed

  program.ClearRecords();
  program.Finish(PutReceiverInKnownState(program.ctx));
  EXPECT_EQ(program.line.written, "VA0145000000\rMD1\rST012.50\rAT0\r");
  EXPECT_EQ(program.Heard(), (Strings{"1", "4", "5", "shdel", "FM", "shdel", "attoff"}));
  EXPECT_EQ(timeline, (Strings{"1@1", "4@1", "5@1", "shdel@1", "FM@1", "shdel@2", "attoff@3"}));
}

// A frequency the listener is typing when the receiver first answers is kept
// on the line; giving it up goes back to where the receiver is.
TEST_F(ConnectTest, TheKnownStateKeepsAFrequencyBeingTyped) {
  Context& ctx = program.ctx;
  ConnectReceiver(ctx);
  ctx.command.frequencyEntryFresh = false;
  ctx.tuning.frequencyText = "14";
  program.Finish(PutReceiverInKnownState(ctx));
  EXPECT_EQ(ctx.tuning.frequencyText, "14");
  EXPECT_EQ(ctx.tuning.frequencyBeforeEntry, "145.0");
  EXPECT_EQ(ctx.tuning.frequencyDigitsBeforeEntry, "145");
  EXPECT_EQ(program.Commands().at(1), "VA0145000000");
}

TEST_F(ConnectTest, OpensThePortNamedByTheLastCharacterWithTheReceiversLineFormat) {
  program.ctx.app.portSetting = "COM3";
  program.ctx.app.speedSetting = "9600";
  ConnectReceiver(program.ctx);
  EXPECT_EQ(program.line.opened, Strings{"/dev/ttyS2"});
  EXPECT_EQ(program.ctx.link.comPort, 3);
  EXPECT_EQ(program.ctx.link.baudRate, 9600);
  EXPECT_EQ(program.line.baudRate, 9600);
  EXPECT_EQ(program.line.dataBits, 8);
  EXPECT_EQ(program.line.parityCode, 0);
  EXPECT_EQ(program.line.stopBitsCode, 2);
  EXPECT_EQ(program.line.readTimeoutMultiplier, -1);
}

TEST_F(ConnectTest, APortLineNamingADevicePathOpensThatDeviceAsItStands) {
  struct Row {
    std::string portSetting;
    std::string opened;
    int comPort;
  };
  const Row rows[] = {
      {"/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A1234567-if00-port0",
       "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A1234567-if00-port0", 1},
      {"/dev/ttyUSB1", "/dev/ttyUSB1", 1},
      // A path ending in a digit is still a path, not port 7.
      {"/dev/ttyS7", "/dev/ttyS7", 1},
      {"COM2", "/dev/ttyS1", 2},
  };
  for (const Row& row : rows) {
    TestProgram fresh;
    fresh.ctx.app.portSetting = row.portSetting;
    fresh.ctx.app.speedSetting = "4800";
    ConnectReceiver(fresh.ctx);
    EXPECT_EQ(fresh.line.opened, Strings{row.opened}) << row.portSetting;
    EXPECT_EQ(fresh.ctx.link.comPort, row.comPort) << row.portSetting;
    EXPECT_EQ(fresh.line.baudRate, 4800) << row.portSetting;
    EXPECT_EQ(fresh.line.written, "LM\r") << row.portSetting;
  }
  // A COM name after a path no longer carries the old path.
  program.ctx.app.portSetting = "/dev/ttyUSB0";
  ConnectReceiver(program.ctx);
  program.ctx.app.portSetting = "COM1";
  ConnectReceiver(program.ctx);
  EXPECT_EQ(program.line.opened, (Strings{"/dev/ttyUSB0", "/dev/ttyS0"}));
}

TEST_F(ConnectTest, DrawsTheSearchLineFrequencyAndModeLine) {
  ConnectReceiver(program.ctx);
  const fakes::FakeDisplay& display = program.display;
  EXPECT_EQ(display.TextAt(80, 250), "145" + std::string(10, ' '));
  EXPECT_EQ(display.TextAt(300, 250), "12.5" + std::string(9, ' '));
  EXPECT_EQ(display.TextAt(500, 250), "CONT");
  EXPECT_EQ(display.TextAt(750, 250), "146" + std::string(8, ' '));
  EXPECT_FALSE(display.DrewAt(370, 80));  // no mode claimed before the receiver answers
  program.Finish(PutReceiverInKnownState(program.ctx));
  EXPECT_EQ(display.TextAt(300, 150).substr(0, 5), "145.0");
  const auto mode = display.RunAt(370, 80);
  EXPECT_EQ(mode.text, "FM      ");
  EXPECT_EQ(mode.font, ArielBold(50));
}

TEST_F(ConnectTest, ReceiverThatCannotBeOpenedIsToldAndNothingIsSentOrClaimed) {
  program.serial.missing.insert("/dev/ttyS0");
  ConnectReceiver(program.ctx);
  EXPECT_EQ(program.line.written, "");
  // "no serial device found", and nothing claimed of a receiver not reached.
  EXPECT_EQ(program.Heard(), Strings{"nodev"});
  EXPECT_EQ(program.ctx.link.linkState, ReceiverAnswer::kAwaitingFirst);
}

// Why the port did not open, as printed; the device is never swapped for
// another, not even for /dev/ttyS0 when the COM1 link leads nowhere.
TEST_F(ConnectTest, APortThatWillNotOpenIsToldWithItsReason) {
  struct Case {
    std::string port;
    bool com1Name;  // COM1 is in the folder
    bool com1Dangles;
    std::string printed;
  };
  const std::vector<Case> cases = {
      {"COM1", true, false,
       "voxrig: no device: COM1 will not open at 19200 baud (another program holds it, you may "
       "not open it, or it refuses that speed)\n"},
      {"COM1", false, true,
       "voxrig: no device: COM1 leads to no device (is the receiver's cable plugged in?)\n"},
      {"/dev/ttyUSB3", true, false,
       "voxrig: no device: /dev/ttyUSB3 is not there (is the receiver's cable plugged in?)\n"},
  };
  for (const Case& c : cases) {
    TestProgram fresh;
    fresh.ctx.app.portSetting = c.port;
    fresh.ctx.app.speedSetting = "19200";
    if (c.com1Name) fresh.files.files["COM1"] = "";
    if (c.com1Dangles) fresh.files.links.insert("COM1");
    fresh.serial.missing = {"COM1", "/dev/ttyUSB3"};
    ConnectReceiver(fresh.ctx);
    EXPECT_TRUE(fresh.line.opened.empty()) << c.port;
    EXPECT_EQ(fresh.messages.text.substr(0, fresh.messages.text.find('\n') + 1), c.printed);
  }
}

TEST_F(ConnectTest, ASpeedThatDoesNotFitIsRefusedNotWrappedRound) {
  // 4294986496 is 2^32 + 19200.
  for (const char* speed : {"4294986496", "-19200", "0", "abc"}) {
    TestProgram fresh;
    fresh.ctx.app.portSetting = "COM1";
    fresh.ctx.app.speedSetting = speed;
    ConnectReceiver(fresh.ctx);
    EXPECT_TRUE(fresh.line.opened.empty()) << speed;
    EXPECT_EQ(fresh.line.written, "") << speed;
    EXPECT_NE(fresh.messages.text.find("line 2 of VOXRIG.CFG (\"" + std::string(speed) +
                                       "\") gives no speed a serial port takes"),
              std::string::npos)
        << fresh.messages.text;
  }
}

TEST_F(ConnectTest, FirstLevelAnswerSaysConnectedAndBringsTheKnownStateOnce) {
  program.line.responder = [](const std::string& command) {
    return command == "LM" ? std::string("LM%000\r\n") : std::string("\r\n");
  };
  ConnectReceiver(program.ctx);
  program.ClearRecords();
  for (int cycle = 0; cycle < 3; ++cycle) {
    program.ctx.poll.pollState = PollStep::kSendLevelPoll;
    PollStepAndItsOperation(program);
    PollStepAndItsOperation(program);
    EXPECT_EQ(program.ctx.poll.pollState, PollStep::kIdle);
  }
  EXPECT_EQ(program.Heard(),
            (Strings{"connected", "1", "4", "5", "shdel", "FM", "shdel", "attoff"}));
  EXPECT_EQ(program.Commands(),
            (Strings{"LM", "VA0145000000", "MD1", "ST012.50", "AT0", "LM", "LM"}));
  EXPECT_EQ(program.ctx.link.linkState, ReceiverAnswer::kReceived);
}

// A receiver gone before it held all the known state is waited for as at the
// start: its next answer, once the port is opened again, brings the known
// state again, not a restore of a state it never had.
TEST_F(ConnectTest, AReceiverGoneDuringTheKnownStateIsGivenItAgainWhenItAnswers) {
  program.line.responder = [this](const std::string& command) {
    if (command == "MD1" && program.line.opened.size() == 1) program.line.hungUp = true;
    return command == "LM" ? std::string("LM%000\r\n") : std::string("\r\n");
  };
  Context& ctx = program.ctx;
  ConnectReceiver(ctx);
  PollStepAndItsOperation(program);
  EXPECT_TRUE(ctx.link.receiverLost);
  EXPECT_EQ(ctx.link.linkState, ReceiverAnswer::kAwaitingFirst);

  program.line.hungUp = false;
  for (int cycle = 0; cycle < 12 && ctx.link.linkState != ReceiverAnswer::kReceived; ++cycle) {
    ctx.poll.pollState = PollStep::kSendLevelPoll;
    PollStepAndItsOperation(program);
    PollStepAndItsOperation(program);
  }
  EXPECT_FALSE(ctx.link.receiverLost);
  EXPECT_EQ(program.line.opened.size(), 2u);
  std::vector<std::string> given;
  for (const std::string& command : program.Commands()) {
    if (command != "LM") given.push_back(command);
  }
  EXPECT_EQ(given, (Strings{"VA0145000000", "MD1", "VA0145000000", "MD1", "ST012.50", "AT0"}));
  const Strings heard = program.Heard();
  EXPECT_EQ(std::count(heard.begin(), heard.end(), "connected"), 2);
  EXPECT_EQ(std::count(heard.begin(), heard.end(), "attoff"), 1);
}

TEST_F(ConnectTest, SilentReceiverIsNeverTakenAsConnected) {
  ConnectReceiver(program.ctx);
  program.ClearRecords();
  program.ctx.poll.pollState = PollStep::kSendLevelPoll;
  RunPollStep(program.ctx);
  RunPollStep(program.ctx);
  EXPECT_EQ(program.ctx.link.linkState, ReceiverAnswer::kAwaitingFirst);
  EXPECT_EQ(program.ctx.link.statusLine, "Connecting");
  EXPECT_TRUE(program.Heard().empty());
}

}  // namespace
}  // namespace voxrig
