// SPDX-License-Identifier: GPL-3.0-or-later
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "command/key_codes.h"
#include "fakes/dummy_radio_record.h"
#include "net/net_fakes.h"
#include "poll/operation.h"
#include "speech/speech.h"

// Clients of the network control against a whole panel of fakes: what they
// are answered, what the receiver is sent, what the listener hears.
namespace voxrig::testing {
namespace {

using ::testing::Each;
using ::testing::ElementsAre;
using ::testing::Eq;
using ::testing::IsEmpty;

using NetControl = NetPanel;

TEST_F(NetControl, GetsAreAnsweredFromThePanelWithoutAskingTheReceiver) {
  ctx.poll.signalLevel = 12;
  ctx.poll.pollState = PollStep::kReadLevel;  // in the middle of a poll cycle
  Peer& client = Connect("f\nm\nl STRENGTH\nv\n+\\get_freq\n\\chk_vfo\n");
  ServeNetClients(ctx, SetTurn::kLater);
  EXPECT_EQ(client.fromPanel,
            "145000000\nFM\n15000\n15\nVFOA\nget_freq:\nFrequency: 145000000\nRPRT 0\n0\n");
  EXPECT_THAT(Commands(), IsEmpty());
  EXPECT_THAT(Heard(), IsEmpty());
}

TEST_F(NetControl, ASetTakesTheFreeWireAndIsCarriedOutAsTheKeysWould) {
  ctx.poll.pollState = PollStep::kSendLevelPoll;
  Peer& client = Connect("F 14074000\nf\nM USB 2400\n");
  Tick();  // the level poll goes out; the set waits for the wire
  EXPECT_EQ(client.fromPanel, "");
  Tick();  // the level is read, and the free wire goes to the set at once
  EXPECT_THAT(Commands(), ElementsAre("LM", "VA0014.07400"));
  EXPECT_THAT(Heard(), ElementsAre("1", "4", "point", "0", "7", "4"));
  EXPECT_EQ(program.display.TextAt(300, 150).rfind("14.07400", 0), 0u);
  EXPECT_EQ(client.fromPanel, "RPRT 0\n14074000\n");
  EXPECT_EQ(ctx.panel.keyQueueCount, 1);  // its separator reads the receiver's answer

  Tick();  // the separator; the level poll the set owes goes out at once
  EXPECT_THAT(Commands(), ElementsAre("LM", "VA0014.07400", "LM"));
  EXPECT_EQ(client.fromPanel, "RPRT 0\n14074000\n");
  Tick();  // the level is read, then the mode set takes the wire
  EXPECT_THAT(Commands(), ElementsAre("LM", "VA0014.07400", "LM", "MD3"));
  EXPECT_EQ(Heard().back(), "USB");
  EXPECT_EQ(program.display.TextAt(370, 80), "USB      ");
  EXPECT_EQ(client.fromPanel, "RPRT 0\n14074000\nRPRT 0\n");
}

TEST_F(NetControl, ABusyPanelRefusesSetsAndSaysNothing) {
  const std::vector<std::pair<const char*, std::function<void(Context&)>>> busy = {
      {"search", [](Context& c) { c.poll.searchState = Search::kSearching; }},
      {"memory scan", [](Context& c) { c.poll.scanState = ReceiverScan::kScanning; }},
      {"bank scan", [](Context& c) { c.poll.bankScanState = BankScan::kStarted; }},
      {"W being typed",
       [](Context& c) { c.command.pendingCommand = PendingCommand::kWriteToReceiver; }},
      {"frequency being typed", [](Context& c) { c.command.frequencyEntryFresh = false; }},
  };
  for (const auto& [what, makeBusy] : busy) {
    ctx.link.linkState = ReceiverAnswer::kReceived;
    ctx.poll.pollState = PollStep::kIdle;
    ctx.poll.searchState = Search::kOff;
    ctx.poll.scanState = ReceiverScan::kOff;
    ctx.poll.bankScanState = BankScan::kOff;
    ctx.command.pendingCommand = PendingCommand::kNone;
    ctx.command.frequencyEntryFresh = true;
    makeBusy(ctx);
    Peer& client = Connect("F 14074000\n+M USB 2400\n");
    Forget();
    Tick();
    EXPECT_EQ(client.fromPanel, "RPRT -9\nset_mode: USB 2400\nRPRT -9\n") << what;
    EXPECT_THAT(Heard(), IsEmpty()) << what;
    EXPECT_EQ(ctx.tuning.modeText, "FM") << what;
    EXPECT_EQ(ctx.panel.keyQueueCount, 0) << what;
    client.hungUp = true;
    Tick();
  }
}

TEST_F(NetControl, WhileAnOperationWaitsClientsAreAnsweredAndSetsRefused) {
  StartOperation(ctx, [](Context& c) -> Steps<> { co_await Pause(c); }(ctx));
  Peer& client = Connect("f\nF 14074000\nv\n");
  EXPECT_EQ(SetTurnNow(ctx), SetTurn::kRefused);
  ServeNetClients(ctx, SetTurnNow(ctx));
  EXPECT_EQ(client.fromPanel, "145000000\nRPRT -9\nVFOA\n");
  EXPECT_THAT(Commands(), IsEmpty());
  EXPECT_TRUE(OperationRunning(ctx)) << "the wait is not over before its time";
}

TEST_F(NetControl, WhileTheListenerTypesTheFrequencyIsWhereTheReceiverWasTuned) {
  Type("7.05\r");
  Type("14");
  Peer& client = Connect("f\nF 3500000\n");
  Forget();
  ServeNetClients(ctx, SetTurn::kNow);
  EXPECT_EQ(client.fromPanel, "7050000\nRPRT -9\n");
  EXPECT_EQ(ctx.tuning.frequencyText, "14");  // the listener's typing is kept
  EXPECT_THAT(Heard(), IsEmpty());
}

TEST_F(NetControl, SetsThatChangeNothingAreAnsweredAtOnceAndSendNothing) {
  ctx.poll.pollState = PollStep::kReadLevel;
  Peer& client = Connect("F 145000000\nM FM 0\nV VFOA\nV VFOB\nF 1e12\n");
  ServeNetClients(ctx, SetTurn::kLater);
  EXPECT_EQ(client.fromPanel, "RPRT 0\nRPRT 0\nRPRT 0\nRPRT -11\nRPRT -1\n");
  EXPECT_THAT(Commands(), IsEmpty());
  EXPECT_THAT(Heard(), IsEmpty());
}

TEST_F(NetControl, BadClientsAreRefusedOrClosedAndOthersAreStillServed) {
  Peer& longLine = Connect(std::string(500, 'x'));
  Peer& quitter = Connect("q\nf\n");
  Peer& deaf = Connect();
  deaf.reads = false;
  Peer& gone = Connect("\\dump_state\n");
  gone.hungUp = true;
  Peer& overflow = Connect("f\n");  // a fifth client at once: closed unanswered
  ServeNetClients(ctx, SetTurn::kLater);
  EXPECT_TRUE(overflow.closedByPanel);
  EXPECT_EQ(overflow.fromPanel, "");
  EXPECT_TRUE(quitter.closedByPanel);
  EXPECT_EQ(quitter.fromPanel, "RPRT 0\n");  // answered, as rigctld does, then closed
  EXPECT_TRUE(gone.closedByPanel);
  EXPECT_EQ(longLine.fromPanel, "RPRT -1\n");  // refused once, however long it goes on

  // Their places are free again.
  Peer& later = Connect("f\n");
  longLine.toPanel = std::string(300, 'y') + "\nf\n";
  ServeNetClients(ctx, SetTurn::kLater);
  EXPECT_EQ(longLine.fromPanel, "RPRT -1\n145000000\n");
  EXPECT_EQ(later.fromPanel, "145000000\n");

  for (int i = 0; i < 80; ++i) deaf.toPanel += "\\dump_state\n";
  for (int i = 0; i < 40 && !deaf.closedByPanel; ++i) ServeNetClients(ctx, SetTurn::kLater);
  EXPECT_TRUE(deaf.closedByPanel);  // it never took its answers
  EXPECT_FALSE(later.closedByPanel);
}

TEST_F(NetControl, WhatClientsSendWhenTheyOpenIsAnsweredAndOnlyVfoAIsClaimed) {
  Peer& client = Connect("\\chk_vfo\n\\dump_state\nV VFOA\nV VFOB\n\\get_powerstat\n_\nv\nq\nf\n");
  Tick();
  const std::string& text = client.fromPanel;
  EXPECT_TRUE(text.starts_with("0\n1\n2\n0\n")) << text;
  EXPECT_NE(text.find("\ndone\nRPRT 0\nRPRT -11\n1\nAOR AR8600 through the voxrig panel\nVFOA\n"
                      "RPRT 0\n"),
            std::string::npos)
      << text;
  EXPECT_TRUE(text.ends_with("VFOA\nRPRT 0\n"));  // nothing after quit
  EXPECT_TRUE(client.closedByPanel);
  EXPECT_THAT(Commands(), IsEmpty());  // VFO B was neither selected nor claimed
}

TEST_F(NetControl, NoSetIsConfirmedWhileTheReceiverIsAwayAndSetsGoOnOnceItIsBack) {
  ctx.link.receiverLost = true;
  Peer& client = Connect("F 14074000\nM AM\n+L ATT 20\nV VFOA\nf\nm\n");
  Tick();
  EXPECT_EQ(client.fromPanel,
            "RPRT -5\nRPRT -5\nset_level: ATT 20\nRPRT -5\nRPRT -5\n145000000\nFM\n15000\n");
  EXPECT_THAT(Commands(), IsEmpty());
  EXPECT_THAT(Heard(), IsEmpty());
  EXPECT_EQ(ctx.tuning.modeText, "FM");
  EXPECT_FALSE(ctx.tuning.attenuatorOn);

  // The line hangs up as a set goes out: the panel keeps what the receiver
  // had, says so, and the client is told.
  struct HungUpSet {
    std::string set;
    int x, y;           // where its line is drawn
    std::string shown;  // what is shown there afterwards
  };
  const std::vector<HungUpSet> sets = {
      {"F 14074000", 300, 150, "145.0"}, {"M AM", 370, 80, "FM "}, {"L ATT 20", 0, 0, ""}};
  for (const auto& [set, x, y, shown] : sets) {
    ctx.link.receiverLost = false;
    ctx.poll.pollState = PollStep::kIdle;
    ctx.panel.keyQueueCount = 0;
    ctx.net.pollOwed = false;
    program.line.hungUp = true;
    Forget();
    client.toPanel = set + "\nf\nm\nl ATT\n";
    client.fromPanel.clear();
    Tick();
    EXPECT_EQ(client.fromPanel, "RPRT -5\n145000000\nFM\n15000\n0\n") << set;
    EXPECT_EQ(Heard().back(), "rnc") << set;
    EXPECT_TRUE(program.display.TextAt(x, y).starts_with(shown)) << set;
  }

  // The receiver is plugged in again; once the poll has found it, the next
  // set is carried out.
  program.line.hungUp = false;
  answers["LM"] = "LM%000\r\n";
  for (int tick = 0; tick < 200 && ctx.link.receiverLost; ++tick) Tick();
  ASSERT_FALSE(ctx.link.receiverLost);
  while (ctx.poll.pollState != PollStep::kIdle || ctx.panel.keyQueueCount != 0 || ctx.net.pollOwed)
    Tick();
  Forget();
  client.toPanel = "F 14074000\n";
  client.fromPanel.clear();
  Tick();
  EXPECT_EQ(client.fromPanel, "RPRT 0\n");
  EXPECT_THAT(Commands(), ElementsAre("VA0014.07400"));
}

// Keys refused while the receiver was away leave clients told what it
// holds; a set finer than the receiver tunes is tuned, and told, rounded.
TEST_F(NetControl, ClientsAreToldWhatTheReceiverHolds) {
  ctx.link.receiverLost = true;
  silent = true;
  Type("146.5\r");
  Press(keys::kF1 + 1);
  Press(keys::kPageUp);
  silent = false;
  Cycle();  // the receiver answers again
  ASSERT_FALSE(ctx.link.receiverLost);
  Forget();
  Peer& client = Connect("f\nm\nF 145500001\n");
  ServeNetClients(ctx, SetTurn::kNow);
  EXPECT_EQ(client.fromPanel, "145000000\nFM\n15000\nRPRT 0\n");
  EXPECT_THAT(Commands(), ElementsAre("VA0145.50000"));
  EXPECT_EQ(ctx.tuning.frequencyText, "145.5");

  // A set that rounds to where the receiver is changes nothing.
  client.toPanel = "F 145500020\nf\n";
  client.fromPanel.clear();
  ServeNetClients(ctx, SetTurn::kLater);
  EXPECT_EQ(client.fromPanel, "RPRT 0\n145500000\n");
  EXPECT_THAT(Commands(), ElementsAre("VA0145.50000"));
}

TEST_F(NetControl, ASilentClientIsClosedAfterAMinuteAndATalkingOneIsNot) {
  Peer& silent = Connect();
  Peer& talker = Connect("f\n");
  Tick();
  time.Advance(30000);
  talker.toPanel = "f\n";
  Tick();
  time.Advance(kNetIdleTimeoutMs - 30000 - 1);
  Tick();
  EXPECT_FALSE(silent.closedByPanel);
  time.Advance(1);
  Tick();
  EXPECT_TRUE(silent.closedByPanel);
  EXPECT_FALSE(talker.closedByPanel);
  EXPECT_EQ(talker.fromPanel, "145000000\n145000000\n");
}

TEST_F(NetControl, SquelchAndLevelsFollowTheLevelPoll) {
  Peer& client = Connect();
  for (const auto& [reply, expected] : std::vector<std::pair<std::string, std::string>>{
           {"LM%000", "0\n0\n-54\n"}, {"LM 142", "1\n142\n"}}) {
    answers["LM"] = reply + "\r\n";
    ctx.poll.pollState = PollStep::kSendLevelPoll;
    while (ctx.poll.pollState != PollStep::kIdle) Tick();
    client.toPanel = "\\get_dcd\nl RAWSTR\nl STRENGTH\n";
    client.fromPanel.clear();
    NetworkActivity();
    EXPECT_TRUE(client.fromPanel.starts_with(expected)) << reply << ": " << client.fromPanel;
  }
}

TEST_F(NetControl, AnAttenuatorSetIsSaidAndSentAsTheAKeyWould) {
  Peer& client = Connect("L ATT 20\nl ATT\n");
  Tick();
  EXPECT_THAT(Commands(), ElementsAre("AT1"));
  EXPECT_THAT(Heard(), ElementsAre("atton"));
  EXPECT_EQ(client.fromPanel, "RPRT 0\n20\n");
  EXPECT_TRUE(ctx.tuning.attenuatorOn);
}

TEST_F(NetControl, ArrivingBytesAreAnsweredAtOnceAndASetWaitsForTheWire) {
  ctx.poll.pollState = PollStep::kReadLevel;  // a level poll's answer is awaited
  Peer& client = Connect("f\nF 14074000\nv\n");
  NetworkActivity();
  EXPECT_EQ(client.fromPanel, "145000000\n");
  EXPECT_THAT(Commands(), IsEmpty());
  ctx.poll.pollState = PollStep::kIdle;
  NetworkActivity();
  EXPECT_EQ(client.fromPanel, "145000000\nRPRT 0\nVFOA\n");
  EXPECT_THAT(Commands(), ElementsAre("VA0014.07400"));
}

// With the receiver's answers read as they arrive, sets follow one another
// at the receiver's pace: each set's answer, then the level poll it owes,
// then the next set, with no tick between.
TEST_F(NetControl, SetsFollowOneAnotherAsFastAsTheReceiverAnswers) {
  Peer& client = Connect("F 14074000\nM USB 2400\nF 7000000\n");
  NetworkActivity();
  EXPECT_THAT(Commands(), ElementsAre("VA0014.07400"));
  EXPECT_EQ(client.fromPanel, "RPRT 0\n");
  const std::vector<std::vector<std::string>> afterEachAnswer = {
      {"VA0014.07400", "LM"},
      {"VA0014.07400", "LM", "MD3"},
      {"VA0014.07400", "LM", "MD3", "LM"},
      {"VA0014.07400", "LM", "MD3", "LM", "VA0007.00000"},
  };
  for (const auto& commands : afterEachAnswer) {
    RadioActivity();
    EXPECT_EQ(Commands(), commands);
  }
  EXPECT_EQ(client.fromPanel, "RPRT 0\nRPRT 0\nRPRT 0\n");
}

TEST_F(NetControl, WhileASetIsSpokenOthersAreAnsweredAndNewcomersTaken) {
  // The sound serves the clients while each prompt plays, as the panel's does.
  Peer* late = nullptr;
  program.sound.OnPlayed([&](const std::string&) {
    if (late == nullptr) late = &Connect("f\nF 7000000\n");
    ServeNetClients(ctx, SetTurn::kLater);
  });
  Peer& setter = Connect("F 14074000\n");
  Tick();
  EXPECT_EQ(setter.fromPanel, "RPRT 0\n");
  ASSERT_NE(late, nullptr);
  EXPECT_EQ(late->fromPanel, "14074000\n");  // its set waits for the wire
  EXPECT_THAT(Commands(), ElementsAre("VA0014.07400"));
}

// A radio driven through Hamlib that lacks the mode or the attenuator:
// nothing is sent, and the client is told it is not there; the mode set, which
// the panel tries as the mode key would, is heard "invalid" by the listener,
// while the attenuator the radio's description never offered is refused to
// the client alone.
TEST_F(NetControl, AModeOrAttenuatorTheRadioLacksIsRefusedToTheClientAsToTheListener) {
  ReceiverCapabilities radio = fakes::DummyRadioRecord();
  std::erase(radio.modes, Mode::kUSB);
  ctx.link.capabilities = radio;
  Peer& client = Connect("M USB 2400\nL ATT 20\n");
  for (int tick = 0; tick < 8 && client.fromPanel.size() < 16; ++tick) Tick();
  EXPECT_THAT(Commands(), Each(Eq("LM")));  // only the level polls went out
  EXPECT_THAT(Heard(), ElementsAre("inv"));
  EXPECT_EQ(ctx.tuning.modeText.str(), "FM");
  EXPECT_FALSE(ctx.tuning.attenuatorOn);
  EXPECT_EQ(client.fromPanel, "RPRT -11\nRPRT -11\n");
}

}  // namespace
}  // namespace voxrig::testing
