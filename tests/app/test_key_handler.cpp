#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/key_handler.h"
#include "command/key_codes.h"
#include "fakes/connected_panel.h"

namespace voxrig {
namespace {

using fakes::CloseRequest;
using fakes::KeyDown;
using fakes::KeyUp;

// The window's key events reach the interpreter through the key queue: one
// entry a tick, auto-repeat dropped.
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
  for (int i = 0; i < 10; ++i) QueuePress('0' + i);
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
  Handle(CloseRequest());
  EXPECT_EQ(ctx.app.programRunning, 0);
  EXPECT_FALSE(program.window.closed);  // the shutdown sequence closes it
}

TEST_F(KeyHandlerTest, IdleTickStartsAPollCycleAndTheNextSendsTheLevelRequest) {
  Handle(fakes::Tick());
  EXPECT_EQ(ctx.link.pollState, 1);
  EXPECT_TRUE(program.line.written.empty());
  Handle(fakes::Tick());
  EXPECT_EQ(program.Commands(), (std::vector<std::string>{"LM"}));
  EXPECT_EQ(ctx.link.pollState, 2);
}

TEST_F(KeyHandlerTest, KeyWaitsOnlyForAPollThatIsOnTheWireThenTakesOneEntryPerTick) {
  Handle(fakes::Tick());
  Handle(fakes::Tick());
  ASSERT_EQ(ctx.link.pollState, 2);
  QueuePress('M');

  Handle(fakes::Tick());  // reads the poll's answer, then takes the key at once
  EXPECT_EQ(panel.currentKey, 'M');
  EXPECT_EQ(Queue(), (std::vector<int>{0}));
  EXPECT_EQ(ctx.link.pollState, 0);

  Handle(fakes::Tick());  // its separator
  EXPECT_TRUE(Queue().empty());
  Handle(fakes::Tick());  // only now does a new poll cycle begin
  EXPECT_EQ(ctx.link.pollState, 1);

  // A cycle that has sent nothing yet gives way to a key.
  QueuePress('M');
  Handle(fakes::Tick());
  EXPECT_EQ(panel.currentKey, 'M');
  EXPECT_EQ(ctx.link.pollState, 0);
  EXPECT_EQ(program.Commands(), (std::vector<std::string>{"LM"}));
}

TEST_F(KeyHandlerTest, KeysFromTheWindowAreHandledOnePerTickWithTheirSeparators) {
  for (int key : {static_cast<int>('1'), static_cast<int>('4'), static_cast<int>('5'),
                  keys::kFullStop, static_cast<int>('5'), keys::kEnter}) {
    Handle(KeyDown(key));
    Handle(KeyDown(key));  // auto-repeat is not queued
    Handle(KeyUp(key));
  }
  EXPECT_EQ(panel.keyQueueCount, 12);
  for (int tick = 0; tick < 12; ++tick) Tick();
  EXPECT_THAT(Heard(), ::testing::ElementsAre("1", "4", "5", "point", "5", "ok"));
  EXPECT_THAT(Commands(), ::testing::ElementsAre("VA0145.50000"));
  EXPECT_EQ(panel.keyQueueCount, 0);
}

}  // namespace
}  // namespace voxrig
