// SPDX-License-Identifier: GPL-3.0-or-later
// A receiver that had answered goes away (hangs up, falls silent, babbles)
// and comes back: the listener hears it once each way, the status line says
// so, and the port is opened again by its name.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "fakes/connected_panel.h"
#include "link/radio_capabilities.h"

namespace voxrig {
namespace {

using fakes::ConnectedPanel;
using Strings = std::vector<std::string>;

const std::string kLostLine = "Receiver not connected" + std::string(14, ' ');

struct GoingAway {
  const char* how;
  std::function<void(ConnectedPanel&)> goAway;
  int cyclesUntilNoticed;
};

TEST(ReceiverLost, NoticedOnceShownAndReopenedUntilTheReceiverAnswersAgain) {
  const GoingAway cases[] = {
      {"hang-up", [](ConnectedPanel& rig) { rig.program.line.hungUp = true; }, 1},
      {"silence", [](ConnectedPanel& rig) { rig.answers["LM"] = ""; }, 10},
      {"garbage", [](ConnectedPanel& rig) { rig.answers["LM"] = "#\x01?%&\r\n"; }, 10},
  };
  for (const GoingAway& c : cases) {
    SCOPED_TRACE(c.how);
    ConnectedPanel rig;
    rig.Cycles(3, fakes::kQuiet);
    rig.program.ClearRecords();
    c.goAway(rig);
    // Cycle() keeps whatever level answer goAway left.
    const auto cycle = [&rig] { rig.Cycle(); };
    for (int i = 1; i < c.cyclesUntilNoticed; ++i) cycle();
    EXPECT_TRUE(rig.program.Heard().empty());
    cycle();
    EXPECT_EQ(rig.program.Heard(), Strings{"rnc"});
    EXPECT_TRUE(rig.ctx.link.receiverLost);
    const auto status = rig.program.display.RunAt(320, 30);
    EXPECT_EQ(status.text, kLostLine);
    EXPECT_EQ(status.colour, Colour::kRed);

    // Said once, however long it stays away; the port is opened again by its
    // name every ten cycles while the line is still there to open.
    const std::size_t opensBefore = rig.program.line.opened.size();
    for (int i = 0; i < 30; ++i) cycle();
    EXPECT_EQ(rig.program.Heard(), Strings{"rnc"});
    if (!rig.program.line.hungUp) {
      EXPECT_EQ(rig.program.line.opened.size(), opensBefore + 3);
    }

    // Plugged in again, answering: "connected" within the next reopen.
    rig.program.line.hungUp = false;
    rig.answers["LM"] = fakes::kQuiet;
    rig.answers["RX"] = "VA RF0145000000 ST012500 AU0 MD1 AT0\r\n";
    for (int i = 0; i < 10 && rig.ctx.link.receiverLost; ++i) cycle();
    EXPECT_FALSE(rig.ctx.link.receiverLost);
    EXPECT_EQ(rig.Spoken(), (Strings{"rnc", "connected"}));
    EXPECT_TRUE(rig.program.line.open);
    EXPECT_EQ(rig.program.display.TextAt(320, 30), ">" + std::string(26, ' '));
    EXPECT_EQ(rig.program.line.opened.back(), "/dev/ttyS0");
  }
}

// A receiver that comes back holds what it started with: the panel puts it
// back in the state it shows, in the connect's order, reads it back and
// tells what it could not restore.
TEST(ReceiverLost, AReceiverThatComesBackIsGivenThePanelsStateAndReadBack) {
  struct Row {
    const char* what;
    std::function<void(ConnectedPanel&)> before;  // beside 146.5 USB, attenuator and limiter on
    const char* receiveState;                     // its answer to RX once back
    Strings spokenAfterConnected;
    std::string detail;  // the line under the panel
  };
  const std::string held = "VA RF0146500000 ST012500 AU0 MD3 AT1\r\n";
  const Row rows[] = {
      {"all restored", [](ConnectedPanel&) {}, held.c_str(), {}, ""},
      {"attenuator not held",
       [](ConnectedPanel&) {},
       "VA RF0146500000 ST012500 AU0 MD3 AT0\r\n",
       {"atton", "notrest"},
       "Not restored: attenuator on"},
      {"no mode USB on the new radio",
       [](ConnectedPanel& rig) {
         // The radio found on the port after the loss has no USB and no
         // noise limiter.
         ReceiverCapabilities radio = Ar8600Capabilities();
         std::erase(radio.modes, Mode::kUSB);
         radio.noiseLimiter = false;
         rig.ctx.link.capabilities = radio;
       },
       "VA RF0146500000 ST012500 AU0 MD1 AT1\r\n",
       {"USB", "noise", "on", "notrest"},
       "Not restored: mode USB, noise limiter on"},
      {"no read-back",
       [](ConnectedPanel&) {},
       "",
       {"nochk"},
       "Not checked: the receiver did not report its state"},
      {"a memory scan ran",
       [](ConnectedPanel& rig) { rig.Type("GA\r"); },
       held.c_str(),
       {"exitscan"},
       ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    ConnectedPanel rig;
    TuningState& tuning = rig.ctx.tuning;
    tuning.frequencyText = "146.5";
    tuning.modeText = "USB";
    tuning.attenuatorOn = tuning.noiseLimiterOn = true;
    row.before(rig);
    rig.Cycles(2, fakes::kQuiet);
    rig.program.line.hungUp = true;
    rig.Cycle();
    ASSERT_TRUE(rig.ctx.link.receiverLost);
    rig.Forget();

    rig.program.line.hungUp = false;
    rig.answers["RX"] = row.receiveState;
    for (int i = 0; i < 10 && rig.ctx.link.receiverLost; ++i) rig.Cycle();
    ASSERT_FALSE(rig.ctx.link.receiverLost);
    Strings spoken = rig.Spoken();
    ASSERT_FALSE(spoken.empty());
    EXPECT_EQ(spoken.front(), "connected");
    spoken.erase(spoken.begin());
    EXPECT_EQ(spoken, row.spokenAfterConnected);
    // The connect's order: frequency, mode, step, attenuator; then the
    // limiter and the read-back. A command the radio lacks is not sent.
    Strings restore;
    for (const std::string& command : rig.Commands()) {
      if (command != "LM" && !command.starts_with("MR") && !command.starts_with("MP")) {
        restore.push_back(command);
      }
    }
    Strings expected = {"VA0146.50000", "MD3", "ST012.50", "AT1", "NL1", "RX"};
    if (!RadioCapabilities(rig.ctx).HasMode(Mode::kUSB)) std::erase(expected, "MD3");
    if (!RadioCapabilities(rig.ctx).noiseLimiter) std::erase(expected, "NL1");
    EXPECT_EQ(restore, expected);
    EXPECT_EQ(rig.program.display.TextAt(10, 405).substr(0, row.detail.size()), row.detail);
    EXPECT_EQ(rig.ctx.poll.scanState, ReceiverScan::kOff);
  }
}

TEST(ReceiverLost, ABriefSilenceIsNotALoss) {
  ConnectedPanel rig;
  rig.Cycles(9, "");
  rig.Cycles(1, fakes::kQuiet);
  rig.Cycles(9, "");
  EXPECT_TRUE(rig.program.Heard().empty());
  EXPECT_FALSE(rig.ctx.link.receiverLost);
}

TEST(ReceiverLost, NothingIsNoticedBeforeTheFirstAnswerSoTheFirstKeyStillTellsIt) {
  ConnectedPanel rig;
  rig.ctx.link.linkState = ReceiverAnswer::kAwaitingFirst;
  rig.ctx.link.statusLine = "Connecting";
  rig.program.line.hungUp = true;
  rig.Cycles(20, "");
  EXPECT_TRUE(rig.program.Heard().empty());
  EXPECT_FALSE(rig.ctx.link.receiverLost);
  EXPECT_EQ(rig.ctx.link.linkState, ReceiverAnswer::kAwaitingFirst);
}

}  // namespace
}  // namespace voxrig
