// SPDX-License-Identifier: GPL-3.0-or-later
// A receiver that had answered goes away (hangs up, falls silent, babbles)
// and comes back: the listener hears it once each way, the status line says
// so, and the port is opened again by its name.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "fakes/connected_panel.h"

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
    for (int i = 0; i < 10 && rig.ctx.link.receiverLost; ++i) cycle();
    EXPECT_FALSE(rig.ctx.link.receiverLost);
    EXPECT_EQ(rig.program.Heard(), (Strings{"rnc", "connected"}));
    EXPECT_TRUE(rig.program.line.open);
    EXPECT_EQ(rig.program.display.TextAt(320, 30), ">" + std::string(26, ' '));
    EXPECT_EQ(rig.program.line.opened.back(), "/dev/ttyS0");
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
