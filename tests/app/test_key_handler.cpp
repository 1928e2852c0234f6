#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/key_handler.h"
#include "fakes/test_program.h"

namespace voxrig {
namespace {

using fakes::CloseRequest;
using fakes::KeyDown;
using fakes::KeyUp;
using fakes::Tick;

class KeyHandlerTest : public ::testing::Test {
 protected:
  void Handle(const WindowEvent& event) { EXPECT_EQ(OnWindowEvent(program.ctx, event), 0); }
  void Press(int key) {
    Handle(KeyDown(key));
    Handle(KeyUp(key));
  }
  std::vector<int> Queue() const {
    const PanelState& panel = program.ctx.panel;
    return std::vector<int>(panel.keyQueue.begin(), panel.keyQueue.begin() + panel.keyQueueCount);
  }

  fakes::TestProgram program;
  PanelState& panel = program.ctx.panel;
};

TEST_F(KeyHandlerTest, KeyDownQueuesTheKeyAndASeparator) {
  Handle(KeyDown('A'));
  EXPECT_EQ(Queue(), (std::vector<int>{'A', 0}));
  EXPECT_EQ(panel.keyHeld, 1);
  Handle(KeyUp('A'));
  Handle(KeyDown(13));
  EXPECT_EQ(Queue(), (std::vector<int>{'A', 0, 13, 0}));
}

TEST_F(KeyHandlerTest, HeldKeyIsQueuedOnceAndAgainAfterRelease) {
  Handle(KeyDown('5'));
  Handle(KeyDown('5'));  // auto-repeat
  Handle(KeyDown('5'));
  EXPECT_EQ(Queue(), (std::vector<int>{'5', 0}));
  panel.currentKey = '5';
  Handle(KeyUp('5'));
  EXPECT_EQ(panel.keyHeld, 0);
  EXPECT_EQ(panel.currentKey, PanelState::kNoKey);
  Handle(KeyDown('5'));
  EXPECT_EQ(Queue(), (std::vector<int>{'5', 0, '5', 0}));
}

TEST_F(KeyHandlerTest, SecondKeyPressedWhileTheFirstIsHeldIsLost) {
  Handle(KeyDown('A'));
  Handle(KeyDown('B'));
  EXPECT_EQ(Queue(), (std::vector<int>{'A', 0}));
  // Releasing either key opens the latch again.
  Handle(KeyUp('B'));
  Handle(KeyDown('C'));
  EXPECT_EQ(Queue(), (std::vector<int>{'A', 0, 'C', 0}));
}

TEST_F(KeyHandlerTest, KeyFindingTheQueueFullIsDroppedWithItsAutoRepeat) {
  for (int i = 0; i < 10; ++i) Press('0' + i);
  ASSERT_EQ(panel.keyQueueCount, 20);
  const auto full = panel.keyQueue;

  Handle(KeyDown('X'));
  EXPECT_EQ(panel.keyQueueCount, 20);
  EXPECT_EQ(panel.keyQueue, full);
  EXPECT_EQ(panel.keyHeld, 1);

  // The interpreter takes one press meanwhile; the dropped key's auto-repeat
  // must not slip in now that there is room.
  panel.keyQueueCount = 18;
  Handle(KeyDown('X'));
  EXPECT_EQ(panel.keyQueueCount, 18);

  // One free entry is not enough for a key and its separator.
  Handle(KeyUp('X'));
  panel.keyQueueCount = 19;
  Handle(KeyDown('Y'));
  EXPECT_EQ(panel.keyQueueCount, 19);
  Handle(KeyUp('Y'));

  panel.keyQueueCount = 18;
  Handle(KeyDown('Z'));
  EXPECT_EQ(panel.keyQueueCount, 20);
  EXPECT_EQ(panel.keyQueue[18], 'Z');
  EXPECT_EQ(panel.keyQueue[19], 0);
}

TEST_F(KeyHandlerTest, CloseRequestOnlyAsksTheProgramToStop) {
  program.ctx.app.programRunning = 1;
  Handle(CloseRequest());
  EXPECT_EQ(program.ctx.app.programRunning, 0);
  EXPECT_FALSE(program.window.closed);  // the shutdown sequence closes it
}

TEST_F(KeyHandlerTest, IdleTickStartsAPollCycleAndTheNextSendsTheLevelRequest) {
  program.AttachReceiver();
  program.ctx.link.linkState = ReceiverAnswer::kReceived;
  Handle(Tick());
  EXPECT_EQ(program.ctx.link.pollState, PollStep::kSendLevelPoll);
  EXPECT_TRUE(program.line.written.empty());
  Handle(Tick());
  EXPECT_EQ(program.Commands(), (std::vector<std::string>{"LM"}));
  EXPECT_EQ(program.ctx.link.pollState, PollStep::kReadLevel);
}

TEST_F(KeyHandlerTest, KeyWaitsOnlyForAPollThatIsOnTheWireThenTakesOneEntryPerTick) {
  program.AttachReceiver();
  program.ctx.link.linkState = ReceiverAnswer::kReceived;
  Handle(Tick());
  Handle(Tick());
  ASSERT_EQ(program.ctx.link.pollState, PollStep::kReadLevel);
  Press('M');

  Handle(Tick());  // reads the poll's answer, then takes the key at once
  EXPECT_EQ(panel.currentKey, 'M');
  EXPECT_EQ(Queue(), (std::vector<int>{0}));
  EXPECT_EQ(program.ctx.link.pollState, PollStep::kIdle);

  Handle(Tick());  // its separator
  EXPECT_TRUE(Queue().empty());
  Handle(Tick());  // only now does a new poll cycle begin
  EXPECT_EQ(program.ctx.link.pollState, PollStep::kSendLevelPoll);

  // A cycle that has sent nothing yet gives way to a key.
  Press('M');
  Handle(Tick());
  EXPECT_EQ(panel.currentKey, 'M');
  EXPECT_EQ(program.ctx.link.pollState, PollStep::kIdle);
  EXPECT_EQ(program.Commands(), (std::vector<std::string>{"LM"}));
}

}  // namespace
}  // namespace voxrig
