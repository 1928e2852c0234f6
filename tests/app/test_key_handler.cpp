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

  KeyHandlerTest() { program.ctx.app.programRunning = 1; }

  fakes::TestProgram program;
  PanelState& panel = program.ctx.panel;
};

// While the panel waits for the receiver's first answer no key is taken, so
// the queue shows what each key-down left in it.
TEST_F(KeyHandlerTest, EveryKeyDownButTheAutoRepeatIsQueuedWithASeparator) {
  program.ctx.link.firstAnswerTicks = 5;
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
  program.ctx.link.firstAnswerTicks = 5;
  for (int i = 0; i < 10; ++i) Press('0' + i);
  ASSERT_EQ(panel.keyQueueCount, 20);
  const auto full = panel.keyQueue;
  Handle(KeyDown('X'));
  EXPECT_EQ(panel.keyQueue, full);
  EXPECT_EQ(program.Heard(), (std::vector<std::string>{"inv"}));

  // One free entry is not enough for a key and its separator.
  panel.keyQueueCount = 19;
  Handle(KeyDown('Y'));
  EXPECT_EQ(panel.keyQueueCount, 19);
  panel.keyQueueCount = 18;
  Handle(KeyDown('Z'));
  EXPECT_EQ(panel.keyQueueCount, 20);
  EXPECT_EQ(panel.keyQueue[18], 'Z');
  EXPECT_EQ(panel.keyQueue[19], 0);
  EXPECT_EQ(program.Heard(), (std::vector<std::string>{"inv", "inv"}));
}

TEST_F(KeyHandlerTest, CloseRequestOnlyAsksTheProgramToStop) {
  program.ctx.app.programRunning = 1;
  Handle(CloseRequest());
  EXPECT_EQ(program.ctx.app.programRunning, 0);
  EXPECT_FALSE(program.window.closed);  // the shutdown sequence closes it
}

TEST_F(KeyHandlerTest, IdleTickStartsAPollCycleAndTheNextSendsTheLevelRequest) {
  program.AttachReceiver();
  program.ctx.link.linkState = 1;
  Handle(Tick());
  EXPECT_EQ(program.ctx.link.pollState, 1);
  EXPECT_TRUE(program.line.written.empty());
  Handle(Tick());
  EXPECT_EQ(program.Commands(), (std::vector<std::string>{"LM"}));
  EXPECT_EQ(program.ctx.link.pollState, 2);
}

TEST_F(KeyHandlerTest, KeyIsTakenAsSoonAsTheWireAllows) {
  program.AttachReceiver();
  program.ctx.link.linkState = 1;
  Handle(Tick());
  Handle(Tick());
  ASSERT_EQ(program.ctx.link.pollState, 2);

  // M tells what the panel knows: taken at once, the poll's answer untouched.
  Press('M');
  EXPECT_EQ(program.Heard(), (std::vector<std::string>{"s", "0"}));
  EXPECT_TRUE(Queue().empty());
  // A waits for the poll's answer: it writes to the receiver.
  Press('A');
  EXPECT_EQ(Queue(), (std::vector<int>{'A', 0}));
  Handle(Tick());  // reads the poll's answer, then takes the key at once
  EXPECT_EQ(program.Commands(), (std::vector<std::string>{"LM", "AT1"}));
  EXPECT_EQ(Queue(), (std::vector<int>{0}));
  EXPECT_EQ(program.ctx.link.pollState, 0);

  // The key behind A waits for A's answer, read on the next tick.
  Press('L');
  EXPECT_EQ(program.Commands().size(), 2u);
  Handle(Tick());
  EXPECT_EQ(program.Commands(), (std::vector<std::string>{"LM", "AT1", "NL1"}));
  Handle(Tick());  // L's answer
  EXPECT_TRUE(Queue().empty());
  Handle(Tick());  // only now does a new poll cycle begin
  EXPECT_EQ(program.ctx.link.pollState, 1);

  // A cycle that has sent nothing yet gives way to a key.
  Press('A');
  EXPECT_EQ(program.ctx.link.pollState, 0);
  EXPECT_EQ(program.Commands().back(), "AT0");
}

}  // namespace
}  // namespace voxrig
