// SPDX-License-Identifier: GPL-3.0-or-later
// The receiver's memory both ways against the simulated AR8600: a bank file
// written into a receiver bank with W and read back with X gives the same
// bank file, byte for byte.
#include <gtest/gtest.h>

#include "e2e/panel_rig.h"

namespace e2e {
namespace {

using ReceiverMemory = PanelRig;
using Spoken = std::vector<std::string>;

TEST_F(ReceiverMemory, BankWrittenWithWAndReadBackWithXIsTheSameFile) {
  const std::string bank =
      BankFileBytes({"bank05", "FM", "12.5", " ", "145.5", " ", "146.025", "Tower", "446.00625",
                     "PMR 1", "1296.", "Beacon", "9999"});
  WriteFile("bank05.dat", bank);
  ASSERT_TRUE(StartConnectedPanel());

  size_t mark = TranscriptMark();
  Type({"w", "0", "5", "a", "Return"});
  ASSERT_TRUE(WaitForSpokenSince(mark, "ok", 30s));

  // Into a new bank file: the same channels under its own label.
  mark = TranscriptMark();
  const size_t wireBefore = ReadWireLog().entries().size();
  Type({"x", "0", "6", "a", "Return"});
  ASSERT_TRUE(WaitForSpokenSince(mark, "ok", 30s));
  EXPECT_EQ(SpokenSince(mark), (Spoken{"read", "intob", "0", "6", "fromrb", "A", "wait", "beep",
                                       "beep", "beep", "beep", "beep", "ok"}));
  EXPECT_EQ(ReadFile("bank06.dat"), "bank06" + bank.substr(6));
  // Read without selecting a channel: no recall, no clear, no write.
  const WireLog wire = ReadWireLog();
  for (size_t i = wireBefore; i < wire.entries().size(); ++i) {
    const std::string& command = wire.entries()[i].command;
    EXPECT_TRUE(command.rfind("MA", 0) == 0 || command == "LM") << wire.Dump();
  }

  // Into the bank file it came from: asked twice, and then the same bytes.
  mark = TranscriptMark();
  Type({"x", "0", "5", "a", "Return"});
  ASSERT_TRUE(WaitForSpokenSince(mark, "bexists"));
  Type({"x", "0", "5", "a", "Return"});
  ASSERT_TRUE(WaitForSpokenSince(mark, "ok", 30s));
  EXPECT_EQ(ReadFile("bank05.dat"), bank);

  Type({"q"});
  const std::optional<int> exitCode = WaitForPanelExit();
  ASSERT_TRUE(exitCode.has_value());
  EXPECT_EQ(*exitCode, 0);
}

}  // namespace
}  // namespace e2e
