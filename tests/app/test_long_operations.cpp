// SPDX-License-Identifier: GPL-3.0-or-later
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/key_handler.h"
#include "command/key_codes.h"
#include "fakes/slow_radio.h"
#include "link/command_link.h"
#include "link/radio_beside_loop.h"
#include "net/net_fakes.h"
#include "poll/operation.h"
#include "speech/speech.h"

namespace voxrig {
namespace {

using Strings = std::vector<std::string>;

// The long operations run step by step from the loop: between two of their
// commands the loop reads keys and serves clients.
class LongOperation : public testing::NetPanel {
 protected:
  void Handle(const WindowEvent& event) { OnWindowEvent(ctx, event); }
  // The key's Enter starts the operation; nothing runs it on.
  void Start(const std::string& keys) {
    Type(keys.substr(0, keys.size() - 1));
    const int last = keys.back() == '\r' ? keys::kEnter : keys.back();
    Handle(fakes::KeyDown(last));
    Handle(fakes::KeyUp(last));
    // The key before may still owe its answer a tick.
    for (int tick = 0; tick < 10 && !OperationRunning(ctx); ++tick) Handle(fakes::Tick());
    ASSERT_TRUE(OperationRunning(ctx)) << keys;
  }
  // One wait of the operation passes.
  void Wake() {
    program.time.Advance(MsUntilOperationStep(ctx));
    Handle(fakes::Wake());
  }
  bool Sent(const std::string& prefix) const {
    const Strings commands = Commands();
    return std::any_of(commands.begin(), commands.end(),
                       [&](const std::string& c) { return c.starts_with(prefix); });
  }
};

TEST_F(LongOperation, BetweenTwoChannelsOfWClientsAreAnsweredAndKeysHeardInOrder) {
  PutBankFile("bank03.dat", "FM", {"145.1", "145.2", "145.3"});
  Start("W03A\r");
  EXPECT_EQ(program.window.wakeRequests.back(), 150) << "the pause is the clock's";
  while (!Sent("MX")) Wake();
  Forget();

  testing::Peer& client = Connect("f\nF 14074000\n");
  Handle({EventKind::kNetworkActivity, 0});
  EXPECT_EQ(client.fromPanel, "145000000\nRPRT -9\n");
  // A typed digit is heard at once; A needs the wire and waits for W's end,
  // and the digit typed after it waits behind it.
  for (const int key : {'1', 'A', '4'}) {
    Handle(fakes::KeyDown(key));
    Handle(fakes::KeyUp(key));
  }
  EXPECT_EQ(Spoken(), Strings{"1"});
  EXPECT_EQ(ctx.tuning.frequencyText, "1");
  EXPECT_TRUE(Commands().empty()) << "neither the client nor a key used the wire";
  ASSERT_TRUE(OperationRunning(ctx));

  FinishOperation();
  for (int tick = 0; tick < 5 && ctx.panel.keyQueueCount > 0; ++tick) Tick();
  const Strings commands = Commands();
  EXPECT_EQ(std::count_if(commands.begin(), commands.end(),
                          [](const std::string& c) { return c.starts_with("MX"); }),
            2);
  EXPECT_EQ(commands.back(), "AT1") << "A once W has ended";
  const Strings spoken = Spoken();
  ASSERT_GE(spoken.size(), 2u);
  EXPECT_EQ(Strings(spoken.end() - 2, spoken.end()), (Strings{"atton", "4"}));
  EXPECT_EQ(ctx.panel.keyQueueCount, 0);
}

// The line drops in the middle of each operation: the operation ends, the
// listener hears "rnc", and the loop takes keys again.
TEST_F(LongOperation, ALineDroppedHalfWayEndsEachOperationAloud) {
  for (const std::string keys : {"W03A\r", "X04B\r", "Z", "R"}) {
    SCOPED_TRACE(keys);
    // The receiver plugged in again, as after a replug.
    program.line.hungUp = false;
    program.AttachReceiver();
    ctx.link.receiverLost = false;
    PutBankFile("bank03.dat", "FM", {"145.1", "145.2", "145.3", "145.4"});
    Forget();
    Start(keys);
    Wake();
    Wake();
    program.line.hungUp = true;
    FinishOperation();
    EXPECT_FALSE(OperationRunning(ctx));
    EXPECT_THAT(Spoken(), ::testing::Contains("rnc"));
    EXPECT_TRUE(ctx.link.receiverLost);
  }
}

// An operation asked for while another runs is not lost: it starts once the
// one before has ended.
TEST_F(LongOperation, AnOperationAskedForMeanwhileRunsAfterTheOneBefore) {
  Strings trace;
  const auto operation = [&trace](Context& c, std::string name) -> Steps<> {
    trace.push_back(name + " starts");
    co_await Pause(c);
    trace.push_back(name + " ends");
  };
  StartOperation(ctx, operation(ctx, "first"));
  StartOperation(ctx, operation(ctx, "second"));
  EXPECT_EQ(trace, Strings{"first starts"});
  FinishOperation();
  EXPECT_EQ(trace, (Strings{"first starts", "first ends", "second starts", "second ends"}));
}

// A radio driven through Hamlib does its calls beside the loop: Enter's
// frequency goes to it at once, a digit typed while its driver works is heard
// at once, and the outcome waits for the radio: "ok", "invalid" for a
// refusal, "receiver not connected" for a line found gone.
TEST_F(LongOperation, ThroughASlowRadioKeysAreHeardWhileItWorksAndTheOutcomeWaitsForIt) {
  struct Case {
    bool refused;
    bool gone;
    const char* outcome;
  };
  for (const Case& c :
       {Case{false, false, "ok"}, Case{true, false, "inv"}, Case{false, true, "rnc"}}) {
    auto owned = std::make_unique<fakes::SlowRadio>();
    fakes::SlowRadio& slow = *owned;
    slow.refuse = c.refused;
    slow.gone = c.gone;
    ctx.link.receiver =
        std::make_unique<RadioBesideTheLoop>(std::move(owned), std::make_shared<RadioWakeup>());
    Type("145.5");
    Forget();
    Start("\r");
    Handle(fakes::KeyDown('1'));
    Handle(fakes::KeyUp('1'));
    EXPECT_EQ(Spoken(), Strings{"1"}) << "the digit is heard while the radio works";
    slow.Open();
    for (int ms = 0; ms < 5000 && RadioCallsOutstanding(ctx); ++ms) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    FinishOperation();
    EXPECT_EQ(Spoken(), (Strings{"1", c.outcome})) << c.outcome;
    Handle(fakes::KeyDown(keys::kEscape));
    Handle(fakes::KeyUp(keys::kEscape));
  }
  EXPECT_TRUE(ctx.link.receiverLost);
}

}  // namespace
}  // namespace voxrig
