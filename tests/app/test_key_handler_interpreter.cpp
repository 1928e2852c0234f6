#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/key_handler.h"
#include "command/key_codes.h"
#include "command/panel_fixture.h"

// The window's key events reach the interpreter through the key queue: one
// entry a tick, auto-repeat dropped.
namespace voxrig::testing {
namespace {

using ::testing::ElementsAre;

class KeyHandlerToInterpreter : public PanelFixture {};

TEST_F(KeyHandlerToInterpreter, KeysFromTheWindowAreHandledOnePerTickWithTheirSeparators) {
  for (int key : {static_cast<int>('1'), static_cast<int>('4'), static_cast<int>('5'),
                  keys::kFullStop, static_cast<int>('5'), keys::kEnter}) {
    OnWindowEvent(ctx, fakes::KeyDown(key));
    OnWindowEvent(ctx, fakes::KeyDown(key));  // auto-repeat is not queued
    OnWindowEvent(ctx, fakes::KeyUp(key));
  }
  EXPECT_EQ(ctx.panel.keyQueueCount, 12);
  for (int tick = 0; tick < 12; ++tick) OnWindowEvent(ctx, fakes::Tick());
  EXPECT_THAT(Heard(), ElementsAre("1", "4", "5", "point", "5", "ok"));
  EXPECT_THAT(Commands(), ElementsAre("VA0145.50000"));
  EXPECT_EQ(ctx.panel.keyQueueCount, 0);
}

}  // namespace
}  // namespace voxrig::testing
