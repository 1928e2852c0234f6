#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/key_handler.h"
#include "command/key_codes.h"
#include "command/panel_fixture.h"

// The window's key events reach the interpreter through the key queue: each
// key as soon as the wire allows, auto-repeat dropped.
namespace voxrig::testing {
namespace {

using ::testing::ElementsAre;

class KeyHandlerToInterpreter : public PanelFixture {};

TEST_F(KeyHandlerToInterpreter, TypedKeysAreTakenAtOnceAndEnterOnTheNextFreeTick) {
  OnWindowEvent(ctx, fakes::Tick());
  OnWindowEvent(ctx, fakes::Tick());  // a level poll on the wire
  for (int key : {static_cast<int>('1'), static_cast<int>('4'), static_cast<int>('5'),
                  keys::kFullStop, static_cast<int>('5'), keys::kEnter}) {
    OnWindowEvent(ctx, fakes::KeyDown(key));
    OnWindowEvent(ctx, {EventKind::kKeyDown, key, true});  // auto-repeat is not queued
    OnWindowEvent(ctx, fakes::KeyUp(key));
  }
  EXPECT_THAT(Heard(), ElementsAre("1", "4", "5", "point", "5"));
  EXPECT_EQ(ctx.panel.keyQueueCount, 2);  // Enter waits for the poll's answer
  OnWindowEvent(ctx, fakes::Tick());
  EXPECT_THAT(Heard(), ElementsAre("1", "4", "5", "point", "5", "ok"));
  EXPECT_THAT(Commands(), ElementsAre("LM", "VA0145.50000"));
  OnWindowEvent(ctx, fakes::Tick());
  EXPECT_EQ(ctx.panel.keyQueueCount, 0);
}

}  // namespace
}  // namespace voxrig::testing
