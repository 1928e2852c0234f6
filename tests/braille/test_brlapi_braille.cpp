// SPDX-License-Identifier: GPL-3.0-or-later
#include <brlapi.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <thread>
#include <utility>
#include <vector>

#include "braille/brlapi_braille.h"
#include "braille/brlapi_key_codes.h"
#include "e2e/brltty_display.h"

namespace voxrig {
namespace {

using namespace std::chrono_literals;

// The braille line against a real brltty, reached as a listener's own setup
// names it: through BRLAPI_HOST and BRLAPI_AUTH.
class BrlapiBrailleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("BRLAPI_HOST", display.Host().c_str(), 1);
    setenv("BRLAPI_AUTH", "none", 1);
  }
  void TearDown() override {
    unsetenv("BRLAPI_HOST");
    unsetenv("BRLAPI_AUTH");
  }
  std::vector<int> KeysWithin(std::chrono::milliseconds limit, std::size_t wanted) {
    std::vector<int> keys;
    const auto giveUp = std::chrono::steady_clock::now() + limit;
    while (keys.size() < wanted && std::chrono::steady_clock::now() < giveUp) {
      for (int key : braille->TakeKeys()) keys.push_back(key);
      std::this_thread::sleep_for(10ms);
    }
    return keys;
  }

  e2e::BrlttyDisplay display;
  std::unique_ptr<BrlapiBraille> braille;
};

TEST_F(BrlapiBrailleTest, TheLineAppearsOnTheDisplayAndTypedKeysComeAsPanelKeys) {
  braille = std::make_unique<BrlapiBraille>();
  braille->Show("146.5 FM");
  EXPECT_TRUE(display.WaitForText("146.5 FM", 5s)) << display.Text();
  braille->Show("146.5000 AM S5 write error");
  EXPECT_TRUE(display.WaitForText("146.5000 AM S5 write error", 2s)) << display.Text();

  display.Type("aZ5. \r");
  EXPECT_EQ(KeysWithin(5s, 6), (std::vector<int>{65, 90, 53, 190, 32, 13}));
}

TEST(BrlapiBraille, WithNoServerNothingWaits) {
  setenv("BRLAPI_HOST", "127.0.0.1:999", 1);  // nothing listens there
  const auto start = std::chrono::steady_clock::now();
  {
    BrlapiBraille nowhere;
    nowhere.Show("145.0000 FM");
    EXPECT_TRUE(nowhere.TakeKeys().empty());
  }
  // Neither showing nor ending waits for a display that is not there.
  EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
  unsetenv("BRLAPI_HOST");
}

TEST(BrlapiKeyCodes, KeyboardKeysBecomeTheWindowsKeyCodesAndWindowKeysPan) {
  using Kind = BrailleKey::Kind;
  const std::vector<std::pair<brlapi_keyCode_t, BrailleKey>> table = {
      {'q', {Kind::kKey, 81}},
      {'7', {Kind::kKey, 55}},
      {BRLAPI_KEY_SYM_LINEFEED, {Kind::kKey, 13}},
      {BRLAPI_KEY_SYM_UP, {Kind::kKey, 38}},
      {BRLAPI_KEY_SYM_PAGE_DOWN, {Kind::kKey, 34}},
      {BRLAPI_KEY_SYM_DELETE, {Kind::kKey, 46}},
      {BRLAPI_KEY_SYM_BACKSPACE, {Kind::kKey, 8}},
      {BRLAPI_KEY_SYM_ESCAPE, {Kind::kKey, 27}},
      {0x1B, {Kind::kKey, 27}},
      {BRLAPI_KEY_SYM_FUNCTION + 0, {Kind::kKey, 112}},
      {BRLAPI_KEY_SYM_FUNCTION + 6, {Kind::kKey, 118}},
      {BRLAPI_KEY_SYM_FUNCTION + 9, {}},  // F10, a system key
      {'a' | BRLAPI_KEY_FLG_CONTROL, {}},
      {'a' | BRLAPI_KEY_FLG_MOD1, {}},
      {'#', {}},
      {BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_FWINLT, {Kind::kPanLeft, 0}},
      {BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_FWINRT, {Kind::kPanRight, 0}},
      {BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_LNUP, {}},
  };
  for (const auto& [code, key] : table) {
    EXPECT_EQ(BrailleKeyFromBrlapi(code), key) << std::hex << code;
  }
}

}  // namespace
}  // namespace voxrig
