// SPDX-License-Identifier: GPL-3.0-or-later
// The whole panel against a simulated receiver that goes away: a dropped
// line, a replug, a receiver switched on after the panel, a line that drops
// in the middle of W, and a transcript whose reader goes away.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "e2e/panel_rig.h"

namespace e2e {
namespace {

using ReceiverAway = PanelRig;
using Strings = std::vector<std::string>;

// The number the panel spoke digit by digit after `prompt`; -1 without it.
int NumberSpokenAfter(const Strings& spoken, const std::string& prompt) {
  auto it = std::find(spoken.begin(), spoken.end(), prompt);
  if (it == spoken.end()) return -1;
  int number = 0;
  for (++it; it != spoken.end() && it->size() == 1 && std::isdigit((*it)[0]) != 0; ++it) {
    number = number * 10 + ((*it)[0] - '0');
  }
  return number;
}

TEST_F(ReceiverAway, DroppedLineIsToldOnceAndAReplugIsConnectedAgain) {
  WriteConfiguration();
  LinkPrompts();
  // The connect's first poll and the known state's four commands, then a few
  // level polls, then the line drops.
  StartSimulator({"--drop-after", "12"});
  StartPanel();
  ASSERT_TRUE(WaitForPrompt("connected"));
  ASSERT_TRUE(WaitForPrompt("rnc"));
  const Strings status = ReadTranscript().TextsAt(320, 30);
  ASSERT_FALSE(status.empty());
  EXPECT_EQ(status.back().substr(0, 22), "Receiver not connected");

  // A typed frequency is not "ok" while the receiver is away.
  size_t mark = TranscriptMark();
  Type({"1", "4", "6", "Return"});
  ASSERT_TRUE(WaitForSpokenSince(mark, "rnc"));
  EXPECT_EQ(SpokenSince(mark), (Strings{"1", "4", "6", "rnc"}));

  // Replugged: a new receiver on the same link is found within a few seconds.
  StartSimulator();
  ASSERT_TRUE(WaitForPrompt("connected", 2, 10s));
  EXPECT_EQ(ReadTranscript().CountPrompt("rnc"), 2);
  mark = TranscriptMark();
  Type({"1", "4", "7", "Return"});
  ASSERT_TRUE(WaitForSpokenSince(mark, "ok"));
  ASSERT_TRUE(WaitForCommand("VA0147000000"));

  Type({"q"});
  const std::optional<int> exitCode = WaitForPanelExit();
  ASSERT_TRUE(exitCode.has_value());
  EXPECT_EQ(*exitCode, 0);
  ASSERT_TRUE(WaitUntil(
      "EX on the wire", [&] { return ReadWireLog().Find("EX") >= 0; }, 5s));
}

// Another receiver on the same link starts at its own 145 MHz FM: the panel
// gives it the state it shows, in the connect's order, and reads it back.
TEST_F(ReceiverAway, AReceiverReplacedOnTheLinkIsGivenThePanelsState) {
  ASSERT_TRUE(StartConnectedPanel());
  Type({"1", "4", "6", "period", "5", "Return", "F4", "a"});
  ASSERT_TRUE(WaitForCommand("AT1"));

  StartSimulator();  // its wire log starts afresh
  ASSERT_TRUE(WaitForPrompt("connected", 2, 15s));
  ASSERT_TRUE(WaitForCommand("RX"));
  Strings restore;
  for (const std::string& command : ReadWireLog().Commands()) {
    if (command != "LM") restore.push_back(command);
  }
  ASSERT_GE(restore.size(), 6u) << ReadWireLog().Dump();
  EXPECT_EQ(Strings(restore.begin(), restore.begin() + 6),
            (Strings{"VA0146.50000", "MD3", "ST012.50", "AT1", "NL0", "RX"}));

  const size_t mark = TranscriptMark();
  Type({"f"});
  ASSERT_TRUE(WaitForIdlePolls());
  EXPECT_EQ(SpokenSince(mark), (Strings{"1", "4", "6", "point", "5", "usb.wav"}));
  EXPECT_EQ(ReadTranscript().CountPrompt("notrest"), 0);
  Type({"q"});
  ASSERT_TRUE(WaitForPanelExit().has_value());
}

// A receiver switched on after the panel (its port not there yet): the
// panel says it is not connected, keeps trying the port line 1 names, and
// when the receiver appears gives it the known state and says it.
TEST_F(ReceiverAway, AReceiverSwitchedOnAfterThePanelIsWaitedForAndConnected) {
  LinkPrompts();
  WriteFile("VOXRIG.CFG", "PORT=" + Path("receiver/COM1") +
                              "\r\nSPEED=19200\r\nRADIO=AR8600\r\nVOICE=1\r\nDEBUG=0\r\n");
  const auto started = std::chrono::steady_clock::now();
  StartPanel();
  ASSERT_TRUE(WaitForPrompt("runsetup"));
  size_t mark = TranscriptMark();
  Type({"f"});
  ASSERT_TRUE(WaitForSpokenSince(mark, "rnc"));
  EXPECT_FALSE(ReadTranscript().HasPrompt("attoff")) << ReadTranscript().Dump();

  // The receiver is switched on ten seconds after the panel: several of the
  // panel's three-second tries have found nothing by then, and none of them
  // said so again.
  std::this_thread::sleep_until(started + 10s);
  StartSimulator({}, "receiver");
  ASSERT_TRUE(WaitForPrompt("attoff", 1, 10s));
  EXPECT_EQ(ReadTranscript().CountPrompt("runsetup"), 1) << ReadTranscript().Dump();
  ASSERT_TRUE(WaitForCommand("AT0"));
  Strings known;
  for (const std::string& command : ReadWireLog().Commands()) {
    if (command != "LM") known.push_back(command);
  }
  EXPECT_EQ(known, (Strings{"VA0145000000", "MD1", "ST012.50", "AT0"})) << ReadWireLog().Dump();
  mark = TranscriptMark();
  Type({"f"});
  ASSERT_TRUE(WaitForSpokenSince(mark, "fm.wav"));
  EXPECT_EQ(SpokenSince(mark), (Strings{"1", "4", "5", "point", "0", "fm.wav"}));
  Type({"q"});
  EXPECT_EQ(WaitForPanelExit(), std::optional<int>(0));
}

TEST_F(ReceiverAway, LineDroppingDuringWSaysHowManyChannelsWentOutAndNoOk) {
  std::vector<std::string> lines = {"bank01", "FM", "12.5", " "};
  for (int i = 0; i < 30; ++i) {
    lines.push_back("145." + std::to_string(100 + i));
    lines.push_back(" ");
  }
  lines.push_back("9999");
  WriteFile("bank01.dat", BankFileBytes(lines));
  WriteConfiguration();
  LinkPrompts();
  StartSimulator({"--control", Path("sim-control.txt")});
  StartPanel();
  ASSERT_TRUE(WaitForPrompt("connected"));

  size_t mark = TranscriptMark();
  Type({"w", "0", "1", "a"});
  ASSERT_TRUE(WaitForSpokenSince(mark, "A"));
  // Nothing goes to the receiver before Enter.
  EXPECT_EQ(ReadWireLog().Count("MQA%%"), 0);
  ControlSimulator("drop-after 10\n");
  Type({"Return"});
  ASSERT_TRUE(WaitForSpokenSince(mark, "written", 30s));
  // M, heard once the count has been said: the level of a receiver that has
  // gone is "receiver not connected".
  Type({"m"});
  const auto lossesHeard = [&] {
    const Strings spoken = SpokenSince(mark);
    return std::count(spoken.begin(), spoken.end(), "rnc");
  };
  ASSERT_TRUE(WaitUntil("M says rnc", [&] { return lossesHeard() == 2; }));
  const Strings spoken = SpokenSince(mark);
  EXPECT_EQ(std::count(spoken.begin(), spoken.end(), "ok"), 0) << ReadTranscript().Dump();
  EXPECT_EQ(spoken.back(), "rnc");

  WireLog wire = ReadWireLog();
  int stored = 0;
  for (const std::string& command : wire.Commands()) stored += command.starts_with("MXA") ? 1 : 0;
  ASSERT_GT(stored, 0) << wire.Dump();
  ASSERT_LT(stored, 30) << wire.Dump();
  EXPECT_LT(wire.Find("MQA%%"), wire.Find("MXA00 RF0145100000 ST012500 MD1 TM            "));
  // The channel in flight when the line dropped went out but was never read.
  const int heard = NumberSpokenAfter(spoken, "written");
  EXPECT_GE(heard, stored) << wire.Dump();
  EXPECT_LE(heard, stored + 1) << wire.Dump();
}

TEST_F(ReceiverAway, TranscriptPipeWhoseReaderExitsLeavesThePanelRunningToItsEx) {
  WriteConfiguration();
  LinkPrompts();
  StartSimulator();
  int ends[2];
  ASSERT_EQ(::pipe2(ends, O_CLOEXEC), 0);
  StartPanelWithTranscriptInto(ends[1]);
  ::close(ends[1]);
  // The reader takes the first lines, then goes away, as "head" would.
  char first[64];
  ASSERT_GT(::read(ends[0], first, sizeof first), 0);
  ::close(ends[0]);
  ASSERT_TRUE(WaitForCommand("LM", 3));

  // Every key writes transcript lines into the broken pipe.
  Type({"5"});
  ASSERT_TRUE(WaitForIdlePolls(3));
  Type({"q"});
  const std::optional<int> exitCode = WaitForPanelExit();
  ASSERT_TRUE(exitCode.has_value());
  EXPECT_EQ(*exitCode, 0);  // not killed by SIGPIPE (-1013)
  ASSERT_TRUE(WaitUntil(
      "EX on the wire", [&] { return ReadWireLog().Find("EX") >= 0; }, 5s));
  EXPECT_EQ(ReadWireLog().Commands().back(), "EX");
}

}  // namespace
}  // namespace e2e
