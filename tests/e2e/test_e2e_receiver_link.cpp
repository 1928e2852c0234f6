// SPDX-License-Identifier: GPL-3.0-or-later
// The panel against the simulated AR8600: the connect sequence byte for
// byte, the idle poll, and the last word to the receiver.
#include <gtest/gtest.h>
#include <signal.h>

#include <thread>

#include "e2e/panel_rig.h"

namespace e2e {
namespace {

using ReceiverLink = PanelRig;

TEST_F(ReceiverLink, ConnectPutsReceiverInKnownStateThenPollsLevelAndQuitEndsWithEx) {
  WriteConfiguration();
  LinkPrompts();
  StartSimulator();
  StartPanel();
  ASSERT_TRUE(WaitForPrompt("connected"));
  ASSERT_TRUE(WaitForIdlePolls(3));

  WireLog wire = ReadWireLog();
  // The first level poll asks whether the receiver is there; its answer
  // brings the known state.
  const std::vector<std::string> connect = {"LM", "VA0145000000", "MD1", "ST012.50", "AT0"};
  std::vector<std::string> commands = wire.Commands();
  ASSERT_GE(commands.size(), 8u) << wire.Dump();
  EXPECT_EQ(std::vector<std::string>(commands.begin(), commands.begin() + 5), connect)
      << wire.Dump();
  for (size_t i = 5; i < commands.size(); ++i) EXPECT_EQ(commands[i], "LM") << wire.Dump();
  // A pause ("shdel", 60 ms in the test prompt set) follows the frequency
  // and the mode, so the receiver has done one command before the next.
  const auto& entries = wire.entries();
  EXPECT_GE(entries[2].atMs - entries[1].atMs, 59) << wire.Dump();
  EXPECT_GE(entries[3].atMs - entries[2].atMs, 59) << wire.Dump();
  EXPECT_EQ(ReadTranscript().CountPrompt("connected"), 1);

  Type({"q"});

  std::optional<int> exitCode = WaitForPanelExit();
  ASSERT_TRUE(exitCode.has_value()) << "Q did not end the panel";
  EXPECT_EQ(*exitCode, 0);
  std::vector<std::string> prompts = ReadTranscript().Prompts();
  ASSERT_FALSE(prompts.empty());
  EXPECT_EQ(prompts.back(), "quit");
  // The simulator logs a command when its CR arrives: "EX" + CR came last.
  ASSERT_TRUE(WaitUntil(
      "EX on the wire", [&] { return ReadWireLog().Find("EX") >= 0; }, 5s));
  wire = ReadWireLog();
  EXPECT_EQ(wire.Commands().back(), "EX") << wire.Dump();
  EXPECT_EQ(wire.Count("EX"), 1) << wire.Dump();

  // The debug log saw the conversation but not the final "EX": it is closed first.
  std::string log = ReadFile("debug1.dat");
  EXPECT_NE(log.find("\r\nTX= VA0145000000\r\n"), std::string::npos) << log;
  EXPECT_NE(log.find("\r\nRX= LM"), std::string::npos) << log;
  EXPECT_NE(log.find("\r\n**Q\r\n"), std::string::npos) << log;
  EXPECT_EQ(log.find("TX= EX"), std::string::npos) << log;
}

TEST_F(ReceiverLink, CloseRequestAlsoTellsReceiverExLast) {
  WriteConfiguration();
  LinkPrompts();
  StartSimulator();
  StartPanel();
  ASSERT_TRUE(WaitForPrompt("connected"));

  RequestCloseOfPanel();

  std::optional<int> exitCode = WaitForPanelExit();
  ASSERT_TRUE(exitCode.has_value()) << "the close request did not end the panel";
  EXPECT_EQ(*exitCode, 0);
  ASSERT_TRUE(WaitUntil(
      "EX on the wire", [&] { return ReadWireLog().Find("EX") >= 0; }, 5s));
  EXPECT_EQ(ReadWireLog().Commands().back(), "EX") << ReadWireLog().Dump();
}

// The terminal the panel was started from closes: it ends as on SIGTERM,
// through its shutdown, and the receiver gets its keys back.
TEST_F(ReceiverLink, AHangUpAlsoTellsReceiverExLast) {
  WriteConfiguration();
  LinkPrompts();
  StartSimulator();
  StartPanel();
  ASSERT_TRUE(WaitForPrompt("connected"));

  SignalPanel(SIGHUP);

  std::optional<int> exitCode = WaitForPanelExit();
  ASSERT_TRUE(exitCode.has_value()) << "the hang-up did not end the panel";
  EXPECT_EQ(*exitCode, 0);
  ASSERT_TRUE(WaitUntil(
      "EX on the wire", [&] { return ReadWireLog().Find("EX") >= 0; }, 5s));
  EXPECT_EQ(ReadWireLog().Commands().back(), "EX") << ReadWireLog().Dump();
}

TEST_F(ReceiverLink, MissingConfigurationSendsNothingToReceiver) {
  LinkPrompts();
  StartSimulator();
  StartPanel();

  std::optional<int> exitCode = WaitForPanelExit();
  ASSERT_TRUE(exitCode.has_value());
  EXPECT_EQ(*exitCode, 5);
  EXPECT_TRUE(ReadTranscript().HasPrompt("cfnf"));
  // Anything written would reach the simulator's log within a few ms.
  std::this_thread::sleep_for(300ms);
  EXPECT_TRUE(ReadWireLog().entries().empty()) << ReadWireLog().Dump();
}

}  // namespace
}  // namespace e2e
