// SPDX-License-Identifier: GPL-3.0-or-later
// The program's search, a bank file written into receiver memory, and the
// receiver's own memory scan with a passed channel, against the simulated
// AR8600.
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <sstream>

#include "e2e/panel_rig.h"

namespace e2e {
namespace {

class SearchTransferScan : public PanelRig {
 protected:
  void StartConnected(const std::vector<std::string>& simulatorOptions) {
    WriteConfiguration();
    LinkPrompts();
    StartSimulator(simulatorOptions);
    StartPanel();
    ASSERT_TRUE(WaitForPrompt("connected"));
    ASSERT_TRUE(WaitForIdlePolls());
  }

  void QuitPanel() {
    Type({"q"});
    std::optional<int> exitCode = WaitForPanelExit();
    ASSERT_TRUE(exitCode.has_value()) << "Q did not end the panel";
    EXPECT_EQ(*exitCode, 0);
  }

  // Whether the commands appear in this order from wire entry `from` on.
  static bool CommandsInOrder(const WireLog& wire, size_t from,
                              const std::vector<std::string>& expected) {
    int at = static_cast<int>(from) - 1;
    for (const std::string& command : expected) {
      at = wire.Find(command, static_cast<size_t>(at + 1));
      if (at < 0) return false;
    }
    return true;
  }

  static bool IsSubsequence(const std::vector<std::string>& all,
                            const std::vector<std::string>& expected) {
    auto at = all.begin();
    for (const std::string& item : expected) {
      at = std::find(at, all.end(), item);
      if (at == all.end()) return false;
      ++at;
    }
    return true;
  }

  // The lines of the simulator's memory dump for one bank letter.
  static std::vector<std::string> BankLines(const std::string& memory, char bank) {
    std::vector<std::string> lines;
    std::istringstream in(memory);
    for (std::string line; std::getline(in, line);) {
      if (!line.empty() && line[0] == bank) lines.push_back(line);
    }
    return lines;
  }
};

// A frequency as the panel shows it, without the blanks that erase a longer
// old text and without the zeros that pad it to four decimals.
std::string ShownFrequency(std::string text) {
  while (!text.empty() && text.back() == ' ') text.pop_back();
  if (text.find('.') == std::string::npos) return text;
  while (!text.empty() && text.back() == '0') text.pop_back();
  return text;
}

TEST_F(SearchTransferScan, SearchLogsEverySignalFoundInOrderAndSpeaksCountAtEnter) {
  WriteFile("signals.txt", "145.1 150\n145.45 120\n145.775 200\n");
  ASSERT_NO_FATAL_FAILURE(StartConnected({"--signals", Path("signals.txt")}));

  size_t mark = TranscriptMark();
  const size_t wireBeforeSearch = ReadWireLog().entries().size();
  Type({"r"});
  // CONT mode: every new hit is counted aloud and told where, and the search
  // goes on by itself.
  ASSERT_TRUE(WaitUntil(
      "three search hits counted aloud",
      [&] {
        return IsSubsequence(SpokenSince(mark),
                             {"srch", "act", "1", "2", "3", "1", "4", "5", "point", "7", "7", "5"});
      },
      30s));
  WireLog wire = ReadWireLog();
  EXPECT_TRUE(CommandsInOrder(wire, wireBeforeSearch,
                              {"VA0145000000", "VB0146000000", "ST012.50", "MD1", "VS"}))
      << wire.Dump();
  EXPECT_GE(wire.Count("<1E>"), 2) << "a continuing search is resumed with the byte 30\n"
                                   << wire.Dump();
  std::vector<std::string> shown;
  for (const std::string& text : ReadTranscript().TextsAt(300, 150)) {
    shown.push_back(ShownFrequency(text));
  }
  EXPECT_TRUE(IsSubsequence(shown, {"145.1", "145.45", "145.775"})) << ReadTranscript().Dump();

  mark = TranscriptMark();
  Type({"Return"});
  ASSERT_TRUE(WaitForSpokenSince(mark, "ok"));
  EXPECT_EQ(SpokenSince(mark), (std::vector<std::string>{"3", "ok"}));
  EXPECT_EQ(ReadFile("bank00.dat"), BankFileBytes({"Scanbank", "FM", "12.5", " ", "145.1", " ",
                                                   "145.45", " ", "145.775", " ", "9999"}));
  ASSERT_NO_FATAL_FAILURE(QuitPanel());
}

// Whatever ends the panel during a search, every find already counted aloud
// is in the search log, and the log the search replaced is its backup.
enum class Ending { kQuitKey, kTerminate, kHangUp, kCloseWindow };

class FindsKeptWhateverEndsThePanel : public SearchTransferScan,
                                      public ::testing::WithParamInterface<Ending> {};

TEST_P(FindsKeptWhateverEndsThePanel, EveryFindCountedAloudIsOnDisk) {
  const std::string previous = BankFileBytes({"Scanbank", "FM", "12.5", " ", "430.5", " ", "9999"});
  WriteFile("bank00.dat", previous);
  WriteFile("signals.txt", "145.1 150\n145.45 120\n145.775 200\n");
  ASSERT_NO_FATAL_FAILURE(StartConnected({"--signals", Path("signals.txt")}));
  const size_t mark = TranscriptMark();
  Type({"r"});
  ASSERT_TRUE(WaitUntil(
      "three finds counted aloud",
      [&] {
        return IsSubsequence(SpokenSince(mark), {"srch", "act", "1", "2", "3"});
      },
      30s));
  switch (GetParam()) {
    case Ending::kQuitKey:
      Type({"q"});
      break;
    case Ending::kTerminate:
      SignalPanel(SIGTERM);
      break;
    case Ending::kHangUp:
      SignalPanel(SIGHUP);
      break;
    case Ending::kCloseWindow:
      RequestCloseOfPanel();
      break;
  }
  ASSERT_TRUE(WaitForPanelExit().has_value());
  EXPECT_EQ(ReadFile("bank00.dat"), BankFileBytes({"Scanbank", "FM", "12.5", " ", "145.1", " ",
                                                   "145.45", " ", "145.775", " ", "9999"}));
  EXPECT_EQ(ReadFile("bank00.bak"), previous);
}

std::string EndingName(const ::testing::TestParamInfo<Ending>& info) {
  const char* const names[] = {"QuitKey", "Terminate", "HangUp", "CloseWindow"};
  return names[static_cast<int>(info.param)];
}

INSTANTIATE_TEST_SUITE_P(Endings, FindsKeptWhateverEndsThePanel,
                         ::testing::Values(Ending::kQuitKey, Ending::kTerminate, Ending::kHangUp,
                                           Ending::kCloseWindow),
                         EndingName);

TEST_F(SearchTransferScan, BankFileIsWrittenIntoReceiverBankA) {
  WriteFile("memory-in.txt",
            "A00 0147000000 MD2 ST012500 MP0 TMOLD ZERO    \n"
            "A01 0147500000 MD2 ST012500 MP0 TMOLD ONE     \n"
            "A02 0148000000 MD2 ST012500 MP0 TMOLD TWO     \n");
  WriteFile("bank05.dat",
            BankFileBytes({"bank05", "FM", "12.5", " ", "145.5", " ", "146.025", "Tower", "9999"}));
  ASSERT_NO_FATAL_FAILURE(StartConnected({"--memory-in", Path("memory-in.txt")}));

  const size_t mark = TranscriptMark();
  const size_t wireBefore = ReadWireLog().entries().size();
  Type({"w", "0", "5", "a", "Return"});
  ASSERT_TRUE(WaitForSpokenSince(mark, "ok", 30s));
  // The receiver's bank A (50 channels) is read back, ten a time, before "ok".
  EXPECT_EQ(SpokenSince(mark),
            (std::vector<std::string>{"write", "fromb", "0", "5", "torb", "A", "wait", "beep",
                                      "beep", "beep", "beep", "beep", "ok"}));
  WireLog wire = ReadWireLog();
  EXPECT_TRUE(CommandsInOrder(wire, wireBefore,
                              {"MQA%%", "MXA00 RF0145500000 ST012500 MD1 TM            ",
                               "MXA01 RF0146025000 ST012500 MD1 TMTower       "}))
      << wire.Dump();

  ASSERT_NO_FATAL_FAILURE(QuitPanel());
  std::string memory = StopSimulatorAndReadMemory();
  // Enter cleared the receiver's bank A (the listener asked for it) and filled
  // it with exactly the channels of bank05.dat.
  EXPECT_EQ(BankLines(memory, 'A'),
            (std::vector<std::string>{"A00 0145500000 MD1 ST012500 MP0 TM            ",
                                      "A01 0146025000 MD1 ST012500 MP0 TMTower       "}))
      << memory;
}

TEST_F(SearchTransferScan, MemoryScanStopsPassesChannelAndEnterRestoresIt) {
  WriteFile("memory-in.txt",
            "B00 0145300000 MD1 ST012500 MP0 TMLOW         \n"
            "B01 0145600000 MD1 ST012500 MP0 TMBUSY        \n"
            "B02 0145900000 MD1 ST012500 MP0 TMHIGH        \n");
  WriteFile("signals.txt", "145.6 150\n");
  ASSERT_NO_FATAL_FAILURE(
      StartConnected({"--memory-in", Path("memory-in.txt"), "--signals", Path("signals.txt")}));

  // G B Enter: the receiver scans its bank B and stops on the busy channel.
  size_t mark = TranscriptMark();
  size_t wireBefore = ReadWireLog().entries().size();
  Type({"g", "b", "Return"});
  // The channel it rests on follows, with the name the receiver holds for it.
  ASSERT_TRUE(WaitForSpokenSince(mark, "name:BUSY"));
  EXPECT_TRUE(
      IsSubsequence(SpokenSince(mark), {"radbank", "B", "stop", "channel", "B", "1", "name:BUSY"}));
  EXPECT_TRUE(CommandsInOrder(ReadWireLog(), wireBefore, {"LC1", "MSB"})) << ReadWireLog().Dump();

  // P passes the channel the scan stopped on and lets the scan go on.
  mark = TranscriptMark();
  wireBefore = ReadWireLog().entries().size();
  Type({"p"});
  ASSERT_TRUE(WaitForSpokenSince(mark, "scan"));
  std::vector<std::string> spoken = SpokenSince(mark);
  ASSERT_FALSE(spoken.empty());
  EXPECT_EQ(spoken.front(), "pass");
  EXPECT_EQ(std::count(spoken.begin(), spoken.end(), "inv"), 0) << ReadTranscript().Dump();
  EXPECT_TRUE(CommandsInOrder(ReadWireLog(), wireBefore, {"MR", "MP1", "MS"}))
      << ReadWireLog().Dump();

  // Enter leaves the scan and takes the pass back.
  mark = TranscriptMark();
  wireBefore = ReadWireLog().entries().size();
  Type({"Return"});
  ASSERT_TRUE(WaitForSpokenSince(mark, "ok"));
  EXPECT_TRUE(IsSubsequence(SpokenSince(mark), {"exitscan", "ok"}));
  WireLog wire = ReadWireLog();
  const int recalled = wire.Find("MRB01", wireBefore);
  ASSERT_GE(recalled, 0) << wire.Dump();
  ASSERT_LT(static_cast<size_t>(recalled) + 1, wire.entries().size()) << wire.Dump();
  EXPECT_EQ(wire.entries()[static_cast<size_t>(recalled) + 1].command, "MP0") << wire.Dump();

  ASSERT_NO_FATAL_FAILURE(QuitPanel());
  std::string memory = StopSimulatorAndReadMemory();
  EXPECT_EQ(BankLines(memory, 'B'),
            (std::vector<std::string>{"B00 0145300000 MD1 ST012500 MP0 TMLOW         ",
                                      "B01 0145600000 MD1 ST012500 MP0 TMBUSY        ",
                                      "B02 0145900000 MD1 ST012500 MP0 TMHIGH        "}))
      << memory;
}

}  // namespace
}  // namespace e2e
