// SPDX-License-Identifier: GPL-3.0-or-later
// The keys on a radio other than the AR8600: what its record says it cannot
// do is refused before anything is sent, and what it tunes is rounded to
// its own resolution.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "command/key_codes.h"
#include "fakes/connected_panel.h"
#include "fakes/dummy_radio_record.h"

namespace voxrig::testing {
namespace {

class OtherRadio : public fakes::PanelFixture {
 protected:
  void SetUp() override {
    ctx.link.capabilities = fakes::DummyRadioRecord();
    Forget();
  }
  // Whether any command beginning with one of `heads` was sent.
  bool SentAny(const std::vector<std::string>& heads) const {
    for (const std::string& head : heads) {
      if (!Sent(head).empty()) return true;
    }
    return false;
  }
};

TEST_F(OtherRadio, WhatTheRadioCannotDoSaysInvalidAndSendsNothing) {
  struct Row {
    std::string before;  // typed first, and forgotten
    std::string typed;
    std::vector<int> keys;
    std::vector<std::string> heads;  // nothing beginning so is sent
  };
  const std::vector<Row> rows = {
      {"", "1800\r", {}, {"VA", "VB"}},  // above its 1.5 GHz
      {"", ".1\r", {}, {"VA", "VB"}},    // below its 150 kHz
      {"1500\r", "", {keys::kRight}, {"VA"}},
      {"1500\r", "", {keys::kPageUp}, {"VA"}},
      {"", "S1800\r", {}, {"VA", "VB"}},
      {"", "E.1\r", {}, {"VA", "VB"}},
      {"", "", {keys::kF7}, {"AU", "MD"}},  // no automatic mode
      {"", "A", {}, {"AT"}},
      {"", "L", {}, {"NL"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.before + row.typed);
    Type(row.before);
    const std::string shown = ctx.tuning.frequencyText.str();
    Forget();
    Type(row.typed);
    for (const int key : row.keys) Press(key);
    ASSERT_FALSE(Spoken().empty());
    EXPECT_EQ(Spoken().back(), "inv");
    EXPECT_FALSE(SentAny(row.heads));
    EXPECT_EQ(ctx.tuning.frequencyText.str(), shown);
    EXPECT_EQ(ctx.command.pendingCommand, PendingCommand::kNone);
  }
  EXPECT_EQ(ctx.tuning.modeText.str(), "FM");
}

// The AR8600 holds 50 Hz; this radio holds the hertz, so nothing is rounded.
TEST_F(OtherRadio, AFrequencyIsTunedToTheRadiosOwnResolution) {
  Type("145.123456\r");
  EXPECT_EQ(Spoken().back(), "ok");
  EXPECT_EQ(ctx.tuning.frequencyText.str(), "145.123456");
  EXPECT_EQ(ctx.tuning.frequencyDigits.str(), "145.123456");
  ctx.link.capabilities.reset();  // the AR8600
  Type("145.123456\r");
  EXPECT_EQ(ctx.tuning.frequencyText.str(), "145.12345");
}

TEST_F(OtherRadio, MemoryKeysFollowTheMemoriesTheRadioHas) {
  const std::vector<std::string> memoryHeads = {"MX", "MA", "MS", "MW", "MQ"};
  PutBankFile("bank05.dat", "FM", {"145.5"});
  // No memories at all: each key says so at once.
  for (const char* keys : {"W", "X", "G", "Z"}) {
    Forget();
    Type(keys);
    EXPECT_EQ(Spoken(), std::vector<std::string>{"notradio"}) << keys;
    EXPECT_EQ(ctx.command.pendingCommand, PendingCommand::kNone) << keys;
    EXPECT_FALSE(SentAny(memoryHeads)) << keys;
  }
  // Memories in one bank A: W, X and G refuse the other banks at their
  // letter.
  ctx.link.capabilities->memories = {true, true, true, false, "A", 19};
  for (const char* keys : {"W05B", "X06B", "GB"}) {
    Forget();
    Type(keys);
    EXPECT_EQ(Spoken().back(), "inv") << keys;
    EXPECT_EQ(ctx.command.pendingCommand, PendingCommand::kNone) << keys;
    EXPECT_FALSE(SentAny(memoryHeads)) << keys;
  }
  Forget();
  Type("W05A");
  EXPECT_EQ(Spoken().back(), "A");
  EXPECT_EQ(ctx.command.pendingCommand, PendingCommand::kWriteToReceiver);
}

}  // namespace
}  // namespace voxrig::testing
