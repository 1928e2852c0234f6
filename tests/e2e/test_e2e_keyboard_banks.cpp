// SPDX-License-Identifier: GPL-3.0-or-later
// The keyboard and the bank files against the simulated AR8600: a typed
// frequency, a new bank made from it, and the bank selected again.
#include <gtest/gtest.h>

#include <algorithm>

#include "e2e/panel_rig.h"

namespace e2e {
namespace {

using KeyboardAndBanks = PanelRig;

// Receiver memory bank A as the simulator lists it: two stored channels.
const std::string kBankAChannels =
    "A00 0146000000 MD1 ST012500 MP0 TMREPEATER 1  \n"
    "A01 0146500000 MD2 ST012500 MP0 TMAIRBAND     \n";

std::string TrimmedRight(std::string text) {
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

// Only the keyboard's auto-repeat of a held key is dropped: a key pressed
// again at once after its release is a press of its own, however fast.
TEST_F(KeyboardAndBanks, AKeyPressedAgainAtOnceAfterItsReleaseIsTakenEachTime) {
  ASSERT_TRUE(StartConnectedPanel());

  const size_t mark = TranscriptMark();
  FocusPanel();
  TypeKeyOverAndOver("1", 20);
  const auto ones = [&] {
    const std::vector<std::string> spoken = SpokenSince(mark);
    return std::count(spoken.begin(), spoken.end(), "1");
  };
  WaitUntil(
      "twenty ones", [&] { return ones() >= 20; }, 5s);
  ASSERT_TRUE(WaitForIdlePolls());
  EXPECT_EQ(ones(), 20) << ReadTranscript().Dump();
}

TEST_F(KeyboardAndBanks, TypedFrequencyIsTunedPutIntoNewBankAndSelectedWithoutClearingReceiver) {
  WriteConfiguration();
  LinkPrompts();
  WriteFile("memory-in.txt", kBankAChannels);
  StartSimulator({"--memory-in", Path("memory-in.txt")});
  StartPanel();
  ASSERT_TRUE(WaitForPrompt("connected"));
  ASSERT_TRUE(WaitForIdlePolls());

  // 1 4 5 . 5 Enter tunes VFO A.
  size_t mark = TranscriptMark();
  Type({"1", "4", "5", "period", "5", "Return"});
  ASSERT_TRUE(WaitForSpokenSince(mark, "ok"));
  ASSERT_TRUE(WaitForCommand("VA0145.50000"));
  Transcript transcript = ReadTranscript();
  std::vector<std::string> frequencyLine = transcript.TextsAt(300, 150);
  ASSERT_FALSE(frequencyLine.empty());
  EXPECT_EQ(TrimmedRight(frequencyLine.back()), "145.5000") << transcript.Dump();
  EXPECT_EQ(SpokenSince(mark), (std::vector<std::string>{"1", "4", "5", "point", "5", "ok"}));

  // P 1 2 Enter puts the shown frequency into a new bank 12.
  mark = TranscriptMark();
  Type({"p", "1", "2", "Return"});
  ASSERT_TRUE(WaitForSpokenSince(mark, "ok"));
  EXPECT_EQ(ReadFile("bank12.dat"),
            BankFileBytes({"bank12", "FM", "12.5", " ", "145.5", " ", "9999"}));
  EXPECT_EQ(SpokenSince(mark),
            (std::vector<std::string>{"put", "1", "2", "bnf", "create", "1", "2", "ok"}));

  // Move away from the bank's frequency and mode, so selecting it must set both again.
  mark = TranscriptMark();
  Type({"F2", "1", "4", "6", "Return"});
  ASSERT_TRUE(WaitForSpokenSince(mark, "ok"));
  ASSERT_TRUE(WaitForCommand("VA0146000000"));
  const size_t wireBeforeSelect = ReadWireLog().entries().size();

  // B 1 2 Enter selects bank 12.
  mark = TranscriptMark();
  Type({"b", "1", "2", "Return"});
  ASSERT_TRUE(WaitForSpokenSince(mark, "sel"));
  ASSERT_TRUE(WaitForIdlePolls());
  EXPECT_EQ(SpokenSince(mark),
            (std::vector<std::string>{"bank", "1", "2", "FM", "sel", "channel", "1"}));
  WireLog wire = ReadWireLog();
  const int tuned = wire.Find("VA0145.50000", wireBeforeSelect);
  ASSERT_GE(tuned, 0) << wire.Dump();
  const int mode = wire.Find("MD1", tuned);
  ASSERT_GT(mode, tuned) << wire.Dump();
  EXPECT_GT(wire.Find("ST012.50", mode), mode) << wire.Dump();
  // Selecting a bank file must not clear the receiver's own bank A.
  EXPECT_FALSE(wire.AnyStartsWith("MQ")) << wire.Dump();
  transcript = ReadTranscript();
  ASSERT_FALSE(transcript.TextsAt(370, 80).empty());
  EXPECT_EQ(TrimmedRight(transcript.TextsAt(370, 80).back()), "FM") << transcript.Dump();
  EXPECT_EQ(TrimmedRight(transcript.TextsAt(300, 150).back()), "145.5000") << transcript.Dump();

  Type({"q"});
  std::optional<int> exitCode = WaitForPanelExit();
  ASSERT_TRUE(exitCode.has_value());
  EXPECT_EQ(*exitCode, 0);
  std::string memory = StopSimulatorAndReadMemory();
  EXPECT_NE(memory.find(kBankAChannels), std::string::npos) << memory;
}

}  // namespace
}  // namespace e2e
