// SPDX-License-Identifier: GPL-3.0-or-later
// The same listener's world through Hamlib: the panel drives the simulated
// AR8600 once through its own link and once through Hamlib's AR8600 driver
// (model 5013), and must say and show the same frequency, mode, level and
// search hits both ways.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "e2e/panel_rig.h"

namespace e2e {
namespace {

class HamlibCrossCheck : public PanelRig, public ::testing::WithParamInterface<const char*> {
 protected:
  // Hamlib's AR8600 driver is the slow part of these runs (a minute each), and
  // it is not our code: the sanitizer build leaves it to the plain build and
  // keeps the Hamlib link's own tests against the dummy radio.
  void SetUp() override {
#ifdef VOXRIG_SANITIZED
    if (std::string(GetParam()) != "AR8600")
      GTEST_SKIP() << "Hamlib's AR8600 driver: plain build only";
#endif
    PanelRig::SetUp();
  }

  void StartConnected(std::vector<std::string> simulatorOptions = {}) {
    WriteFile("VOXRIG.CFG", std::string("PORT=COM1\r\nSPEED=19200\r\nRADIO=") + GetParam() +
                                "\r\nVOICE=1\r\nDEBUG=0\r\n");
    WriteFile("signals.txt", "145.1 150\n145.45 120\n145.775 200\n");
    LinkPrompts();
    simulatorOptions.insert(simulatorOptions.end(), {"--signals", Path("signals.txt")});
    StartSimulator(simulatorOptions);
    StartPanel();
    ASSERT_TRUE(WaitForPrompt("connected"));
    ASSERT_TRUE(WaitForIdlePolls());
  }

  // The prompts the keys bring, once the panel is idle again.
  std::vector<std::string> SpokenAfter(const std::vector<std::string>& keys) {
    const size_t mark = TranscriptMark();
    Type(keys);
    EXPECT_TRUE(WaitForIdlePolls(4));
    return SpokenSince(mark);
  }

  std::string LastShownAt(int x, int y) const {
    const std::vector<std::string> texts = ReadTranscript().TextsAt(x, y);
    return texts.empty() ? std::string() : texts.back();
  }
};

TEST_P(HamlibCrossCheck, SaysAndShowsTheSameFrequencyModeLevelAndSearchHits) {
  ASSERT_NO_FATAL_FAILURE(StartConnected());

  // A typed frequency with a signal on it, heard back with F, its level with M.
  SpokenAfter({"1", "4", "5", "period", "4", "5", "Return"});
  EXPECT_EQ(SpokenAfter({"f"}),
            (std::vector<std::string>{"1", "4", "5", "point", "4", "5", "fm.wav"}));
  // The signal's 120 is ten S units: "s 9 plus" on the meter's scale.
  EXPECT_EQ(SpokenAfter({"m"}), (std::vector<std::string>{"s", "9", "plus"}));
  EXPECT_EQ(LastShownAt(320, 30).substr(0, 11), "**********>") << ReadTranscript().Dump();
  EXPECT_EQ(SpokenAfter({"F4"}), (std::vector<std::string>{"USB"}));
  EXPECT_EQ(SpokenAfter({"F1"}), (std::vector<std::string>{"FM"}));
  EXPECT_EQ(SpokenAfter({"a"}), (std::vector<std::string>{"atton"}));

  // The program's search logs the three signals in the order found, each
  // counted and told where, and speaks the count at Enter.
  const size_t mark = TranscriptMark();
  Type({"r"});
  const std::vector<std::string> thirdFind{"3", "1", "4", "5", "point", "7", "7", "5"};
  ASSERT_TRUE(WaitUntil(
      "three search hits counted aloud",
      [&] {
        const std::vector<std::string> spoken = SpokenSince(mark);
        return std::search(spoken.begin(), spoken.end(), thirdFind.begin(), thirdFind.end()) !=
               spoken.end();
      },
      40s));
  const size_t end = TranscriptMark();
  Type({"Return"});
  ASSERT_TRUE(WaitForSpokenSince(end, "ok"));
  EXPECT_EQ(SpokenSince(end), (std::vector<std::string>{"3", "ok"}));
  EXPECT_EQ(ReadFile("bank00.dat"), BankFileBytes({"Scanbank", "FM", "12.5", " ", "145.1", " ",
                                                   "145.45", " ", "145.775", " ", "9999"}));
  Type({"q"});
  const std::optional<int> exitCode = WaitForPanelExit();
  ASSERT_TRUE(exitCode.has_value());
  EXPECT_EQ(*exitCode, 0);
}

INSTANTIATE_TEST_SUITE_P(OwnLinkAndHamlib, HamlibCrossCheck,
                         ::testing::Values("AR8600", "hamlib:5013"));

// X reads the receiver's bank A into the same bank file both ways: through
// Hamlib's driver, whose channels 0 to 49 are the AR8600's A00 to A49.
TEST_P(HamlibCrossCheck, XReadsTheSameBankFileBothWays) {
#ifdef VOXRIG_SANITIZED
  // The own line's X is the sanitizer build's in the receiver memory tests.
  GTEST_SKIP() << "a cross-check of Hamlib's driver: plain build only";
#endif
  WriteFile("memory-in.txt",
            "A00 0145500000 MD1 ST012500 MP0 TMREPEATER 1  \n"
            "A01 0118100000 MD2 ST025000 MP0 TMTOWER       \n"
            "A02 0446006250 MD1 ST006250 MP0 TMPMR         \n");
  ASSERT_NO_FATAL_FAILURE(StartConnected({"--memory-in", Path("memory-in.txt")}));
  const size_t mark = TranscriptMark();
  Type({"x", "0", "5", "a", "Return"});
  ASSERT_TRUE(WaitForSpokenSince(mark, "ok", 60s));
  EXPECT_EQ(ReadFile("bank05.dat"),
            BankFileBytes({"bank05", "FM", "12.5", " ", "145.5", "REPEATER 1", "118.1", "TOWER",
                           "446.00625", "PMR", "9999"}));
  Type({"q"});
  ASSERT_TRUE(WaitForPanelExit().has_value());
}

// A radio whose line drops is said lost at once and found again when it is back.
// The Hamlib link's own: a radio whose line drops.
using HamlibLimits = HamlibCrossCheck;

TEST_P(HamlibLimits, ADroppedRadioIsToldAndFoundAgain) {
  WriteFile("VOXRIG.CFG", std::string("PORT=COM1\r\nSPEED=19200\r\nRADIO=") + GetParam() +
                              "\r\nVOICE=1\r\nDEBUG=0\r\n");
  LinkPrompts();
  StartSimulator({"--drop-after", "40"});
  StartPanel();
  ASSERT_TRUE(WaitForPrompt("connected"));
  ASSERT_TRUE(WaitForPrompt("rnc"));
  const std::vector<std::string> status = ReadTranscript().TextsAt(320, 30);
  ASSERT_FALSE(status.empty());
  EXPECT_EQ(status.back().substr(0, 22), "Receiver not connected");

  StartSimulator();
  ASSERT_TRUE(WaitForPrompt("connected", 2, 15s));
  const size_t mark = TranscriptMark();
  Type({"1", "4", "7", "Return"});
  ASSERT_TRUE(WaitForSpokenSince(mark, "ok"));
  ASSERT_TRUE(WaitForCommand("RF0147000000"));
  Type({"q"});
  ASSERT_TRUE(WaitForPanelExit().has_value());
}

INSTANTIATE_TEST_SUITE_P(ThroughHamlib, HamlibLimits, ::testing::Values("hamlib:5013"));

}  // namespace
}  // namespace e2e
