// SPDX-License-Identifier: GPL-3.0-or-later
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/key_handler.h"
#include "app/startup.h"
#include "command/key_codes.h"
#include "fakes/connected_panel.h"

namespace voxrig {
namespace {

using fakes::CloseRequest;
using fakes::KeyDown;
using fakes::KeyUp;

// The window's key events reach the interpreter through the key queue: each
// key as soon as the wire allows, auto-repeat dropped.
class KeyHandlerTest : public fakes::PanelFixture {
 protected:
  void Handle(const WindowEvent& event) { EXPECT_EQ(OnWindowEvent(ctx, event), 0); }
  // Down and up, with no tick between for the interpreter to take the key.
  void QueuePress(int key) {
    Handle(KeyDown(key));
    Handle(KeyUp(key));
  }
  std::vector<int> Queue() const {
    return std::vector<int>(panel.keyQueue.begin(), panel.keyQueue.begin() + panel.keyQueueCount);
  }

  PanelState& panel = ctx.panel;
};

// While the panel waits for the receiver's first answer no key is taken, so
// the queue shows what each key-down left in it.
TEST_F(KeyHandlerTest, EveryKeyDownButTheAutoRepeatIsQueuedWithASeparator) {
  ctx.link.linkState = ReceiverAnswer::kAwaitingFirst;
  ctx.poll.firstAnswerTicks = 5;
  Handle(KeyDown('A'));
  Handle({EventKind::kKeyDown, 'A', true});  // auto-repeat
  Handle({EventKind::kKeyDown, 'A', true});
  Handle(KeyDown('B'));  // rolled: pressed while A is still held
  Handle(KeyUp('A'));
  Handle(KeyUp('B'));
  Handle(KeyDown('A'));
  EXPECT_EQ(Queue(), (std::vector<int>{'A', 0, 'B', 0, 'A', 0}));
  EXPECT_EQ(panel.currentKey, PanelState::kNoKey);
}

TEST_F(KeyHandlerTest, KeyFindingTheQueueFullIsRefusedAloud) {
  ctx.link.linkState = ReceiverAnswer::kAwaitingFirst;
  ctx.poll.firstAnswerTicks = 5;
  for (int i = 0; i < 10; ++i) QueuePress('0' + i);
  ASSERT_EQ(panel.keyQueueCount, 20);
  const auto full = panel.keyQueue;
  Handle(KeyDown('X'));
  EXPECT_EQ(panel.keyQueue, full);
  EXPECT_EQ(Heard(), (std::vector<std::string>{"inv"}));

  // One free entry is not enough for a key and its separator; a refusal of
  // the same run is not told again.
  panel.keyQueueCount = 19;
  Handle(KeyDown('Y'));
  EXPECT_EQ(panel.keyQueueCount, 19);
  panel.keyQueueCount = 18;
  Handle(KeyDown('Z'));
  EXPECT_EQ(panel.keyQueueCount, 20);
  EXPECT_EQ(panel.keyQueue[18], 'Z');
  EXPECT_EQ(panel.keyQueue[19], 0);
  EXPECT_EQ(Heard(), (std::vector<std::string>{"inv"}));
}

// A burst of keys (a paste into the terminal, a macro, a key struck fast):
// the keys the queue takes are all done, the run of keys it refuses is told
// by one "invalid", and Q ends the panel within a second of its "quit",
// whatever was still queued to be heard, whole readouts too. Keys pressed
// after Q are not taken, and a later burst is told again.
TEST(KeyBurst, ARunOfRefusalsIsToldOnceAndQEndsWithinASecondOfQuit) {
  struct Row {
    std::string name;
    int key;
    bool wholeReadouts;
    std::string command;  // what each key taken sends
    int taken;            // keys of the burst done: the one in hand and nine queued
    int refusalsTold;
  };
  const Row rows[] = {
      {"Page Up struck fast", keys::kPageUp, false, "VA", 10, 1},
      {"Page Up, whole readouts", keys::kPageUp, true, "VA", 10, 1},
      // F leaves the wire alone: every one is taken, its readout queued.
      {"F struck fast, whole readouts", keys::Letter('F'), true, "", 120, 0},
  };
  for (const Row& row : rows) {
    fakes::ConnectedPanel panel;
    Context& ctx = panel.ctx;
    ctx.speech.wholeReadouts = row.wholeReadouts;
    const auto press = [&](int key) {
      OnWindowEvent(ctx, KeyDown(key));
      OnWindowEvent(ctx, KeyUp(key));
    };
    const auto tick = [&] {
      panel.program.time.Advance(100);
      panel.Tick();
    };
    for (int burst = 0; burst < 2; ++burst) {
      for (int i = 0; i < 120; ++i) press(row.key);
      for (int i = 0; i < 100 && ctx.panel.keyQueueCount > 0; ++i) tick();
    }
    const auto heard = panel.Heard();
    EXPECT_EQ(std::count(heard.begin(), heard.end(), "inv"), 2 * row.refusalsTold) << row.name;
    if (!row.command.empty()) {
      EXPECT_EQ(panel.Sent(row.command).size(), static_cast<std::size_t>(2 * row.taken))
          << row.name;
    }

    // Q in the middle of a third burst, and keys after it; the first key of
    // the burst finds the wire free and is taken at once.
    panel.Cycle();
    long long quitAsked = -1;
    panel.program.sound.OnPlayed([&](const std::string& name) {
      if (name == "quit") quitAsked = panel.program.time.now();
    });
    for (int i = 0; i < 60; ++i) press(row.key);
    const std::size_t sentBeforeQ = panel.Sent(row.command).size();
    press(keys::Letter('Q'));
    for (int i = 0; i < 5; ++i) press(keys::Letter('A'));
    for (int i = 0; i < 100 && ctx.app.programRunning; ++i) tick();
    ASSERT_EQ(ctx.app.programRunning, 0) << row.name;
    ShutDown(ctx);
    EXPECT_EQ(panel.Heard().back(), "quit") << row.name;
    EXPECT_EQ(panel.Count("AT1"), 0) << row.name;
    if (!row.command.empty()) {
      // The keys queued before Q were done before it.
      EXPECT_EQ(panel.Sent(row.command).size(), sentBeforeQ + 9) << row.name;
    }
    ASSERT_GE(quitAsked, 0) << row.name;
    EXPECT_LE(panel.program.sound.SilentFrom() - quitAsked, 1000) << row.name;
  }
}

TEST_F(KeyHandlerTest, CloseRequestOnlyAsksTheProgramToStop) {
  Handle(CloseRequest());
  EXPECT_FALSE(ctx.app.programRunning);
  EXPECT_FALSE(program.window.closed);  // the shutdown sequence closes it
}

TEST_F(KeyHandlerTest, IdleTickStartsAPollCycleAndTheNextSendsTheLevelRequest) {
  Handle(fakes::Tick());
  EXPECT_EQ(ctx.poll.pollState, PollStep::kSendLevelPoll);
  EXPECT_TRUE(program.line.written.empty());
  Handle(fakes::Tick());
  EXPECT_EQ(program.Commands(), (std::vector<std::string>{"LM"}));
  EXPECT_EQ(ctx.poll.pollState, PollStep::kReadLevel);
}

TEST_F(KeyHandlerTest, KeyIsTakenAsSoonAsTheWireAllows) {
  Handle(fakes::Tick());
  Handle(fakes::Tick());
  ASSERT_EQ(ctx.poll.pollState, PollStep::kReadLevel);

  // M tells what the panel knows: taken at once, the poll's answer untouched.
  QueuePress('M');
  EXPECT_EQ(Heard(), (std::vector<std::string>{"s", "0"}));
  EXPECT_TRUE(Queue().empty());
  // A waits for the poll's answer: it writes to the receiver.
  QueuePress('A');
  EXPECT_EQ(Queue(), (std::vector<int>{'A', 0}));
  Handle(fakes::Tick());  // reads the poll's answer, then takes the key at once
  EXPECT_EQ(Commands(), (std::vector<std::string>{"LM", "AT1"}));
  EXPECT_EQ(Queue(), (std::vector<int>{0}));
  EXPECT_EQ(ctx.poll.pollState, PollStep::kIdle);

  // The key behind A waits for A's answer, read on the next tick.
  QueuePress('L');
  EXPECT_EQ(Commands().size(), 2u);
  Handle(fakes::Tick());
  EXPECT_EQ(Commands(), (std::vector<std::string>{"LM", "AT1", "NL1"}));
  Handle(fakes::Tick());  // L's answer
  EXPECT_TRUE(Queue().empty());
  Handle(fakes::Tick());  // only now does a new poll cycle begin
  EXPECT_EQ(ctx.poll.pollState, PollStep::kSendLevelPoll);

  // A cycle that has sent nothing yet gives way to a key.
  QueuePress('A');
  EXPECT_EQ(ctx.poll.pollState, PollStep::kIdle);
  EXPECT_EQ(Commands().back(), "AT0");
}

// The receiver's answers are read as soon as they have come whole, so a key
// takes the wire without waiting for a tick; the level poll still goes out
// every third tick. Half an answer waits, and during a receiver scan the
// tick keeps the steps' pace.
TEST_F(KeyHandlerTest, AnswersAreReadAsTheyArriveAndThePollKeepsItsPace) {
  Handle(fakes::Tick());
  Handle(fakes::Tick());
  Handle(fakes::RadioActivity());
  EXPECT_EQ(ctx.poll.pollState, PollStep::kIdle);
  QueuePress('A');
  QueuePress('L');
  EXPECT_EQ(Commands(), (std::vector<std::string>{"LM", "AT1"}));
  Handle(fakes::RadioActivity());  // A's answer: L takes the wire
  EXPECT_EQ(Commands(), (std::vector<std::string>{"LM", "AT1", "NL1"}));
  Handle(fakes::RadioActivity());
  EXPECT_TRUE(Queue().empty());
  std::vector<PollStep> steps;
  for (int i = 0; i < 3; ++i) {
    Handle(fakes::Tick());
    steps.push_back(ctx.poll.pollState);
  }
  EXPECT_EQ(steps, (std::vector<PollStep>{PollStep::kIdle, PollStep::kSendLevelPoll,
                                          PollStep::kReadLevel}));
  EXPECT_EQ(Commands().back(), "LM");

  answers["LM"] = "";
  Handle(fakes::Tick());
  Handle(fakes::Tick());
  Handle(fakes::Tick());
  program.line.incoming = "LM 04";
  Handle(fakes::RadioActivity());
  EXPECT_EQ(ctx.poll.pollState, PollStep::kReadLevel);
  program.line.incoming += "2\r\n";
  Handle(fakes::RadioActivity());
  EXPECT_EQ(ctx.poll.pollState, PollStep::kIdle);
  EXPECT_EQ(ctx.poll.rawLevel, 42);

  ctx.poll.scanState = ReceiverScan::kScanning;
  Handle(fakes::Tick());
  Handle(fakes::Tick());
  Handle(fakes::Tick());
  program.line.incoming = "LM%000\r\n";
  Handle(fakes::RadioActivity());
  EXPECT_EQ(ctx.poll.pollState, PollStep::kReadLevel);
}

TEST_F(KeyHandlerTest, TypedKeysAreTakenAtOnceAndEnterOnTheNextFreeTick) {
  Handle(fakes::Tick());
  Handle(fakes::Tick());  // a level poll on the wire
  for (int key : {static_cast<int>('1'), static_cast<int>('4'), static_cast<int>('5'),
                  keys::kFullStop, static_cast<int>('5'), keys::kEnter}) {
    Handle(KeyDown(key));
    Handle({EventKind::kKeyDown, key, true});  // auto-repeat is not queued
    Handle(KeyUp(key));
  }
  EXPECT_THAT(Heard(), ::testing::ElementsAre("1", "4", "5", "point", "5"));
  EXPECT_EQ(panel.keyQueueCount, 2);  // Enter waits for the poll's answer
  Handle(fakes::Tick());
  EXPECT_THAT(Heard(), ::testing::ElementsAre("1", "4", "5", "point", "5", "ok"));
  EXPECT_THAT(Commands(), ::testing::ElementsAre("LM", "VA0145.50000"));
  Handle(fakes::Tick());
  EXPECT_EQ(panel.keyQueueCount, 0);
}

}  // namespace
}  // namespace voxrig
