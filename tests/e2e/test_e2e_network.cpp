// SPDX-License-Identifier: GPL-3.0-or-later
// Hamlib's own network client against the running panel and the simulated
// AR8600: what another program reads and sets, what reaches the receiver,
// and what the listener hears.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>

#include "e2e/panel_rig.h"
#include "fakes/free_port.h"

namespace e2e {
namespace {

using NetworkControl = PanelRig;

using voxrig::fakes::FreePort;

// Runs a shell command; its standard output, and its exit status.
std::string RunShell(const std::string& line, int* status = nullptr) {
  std::string output;
  FILE* pipe = popen(line.c_str(), "r");
  if (pipe == nullptr) return output;
  std::array<char, 256> buffer{};
  while (fgets(buffer.data(), buffer.size(), pipe) != nullptr) output += buffer.data();
  const int result = pclose(pipe);
  if (status != nullptr) *status = WIFEXITED(result) ? WEXITSTATUS(result) : -1;
  return output;
}

// Runs rigctl with the commands, in one connection; its standard output.
std::string Rigctl(int port, const std::string& commands) {
  return RunShell("rigctl -m 2 -r 127.0.0.1:" + std::to_string(port) + " " + commands +
                  " 2>/dev/null");
}

TEST_F(NetworkControl, HamlibsClientReadsAndSetsTheReceiverThroughThePanel) {
  if (system("command -v rigctl >/dev/null 2>&1") != 0) {
    GTEST_SKIP() << "rigctl (package libhamlib-utils) is not installed; tools/install-deps adds it";
  }
  const int port = FreePort();
  WriteConfiguration();
  LinkPrompts();
  StartSimulator();
  StartPanel({"--net", std::to_string(port)});
  ASSERT_TRUE(WaitForPrompt("connected"));
  ASSERT_TRUE(WaitForIdlePolls(2));
  EXPECT_EQ(ReadFile("panel.out").find("warning"), std::string::npos);  // the loopback alone

  EXPECT_EQ(Rigctl(port, "f m v l STRENGTH"), "145000000\nFM\n15000\nVFOA\n-54\n");

  const size_t mark = TranscriptMark();
  EXPECT_EQ(Rigctl(port, "F 14074000 M USB 2400 V VFOA"), "");
  ASSERT_TRUE(WaitForSpokenSince(mark, "USB"));
  // A new client, so that the answers are the panel's and not the client's
  // memory of what it set.
  EXPECT_EQ(Rigctl(port, "f m v"), "14074000\nUSB\n3000\nVFOA\n");
  // One tuning command per set, and the listener heard each change.
  EXPECT_EQ(ReadWireLog().Count("VA0014.07400"), 1) << ReadWireLog().Dump();
  EXPECT_EQ(ReadWireLog().Count("MD3"), 1) << ReadWireLog().Dump();
  const std::vector<std::string> heard = SpokenSince(mark);
  EXPECT_EQ(heard, (std::vector<std::string>{"1", "4", "point", "0", "7", "4", "USB"}));

  // A set the receiver cannot take is refused, and nothing is sent or said.
  const size_t commandsBefore = ReadWireLog().Commands().size();
  const std::string refused = Rigctl(port, "F 3000000000 V VFOB f");
  EXPECT_NE(refused.find("Invalid parameter"), std::string::npos) << refused;
  EXPECT_NE(refused.find("Feature not available"), std::string::npos) << refused;
  EXPECT_TRUE(refused.ends_with("\n14074000\n")) << refused;
  ASSERT_TRUE(WaitForIdlePolls(2));
  const std::vector<std::string> commands = ReadWireLog().Commands();
  for (size_t i = commandsBefore; i < commands.size(); ++i) EXPECT_EQ(commands[i], "LM");
  EXPECT_EQ(SpokenSince(mark), heard);

  RequestCloseOfPanel();
  std::optional<int> exitCode = WaitForPanelExit();
  ASSERT_TRUE(exitCode.has_value());
  EXPECT_EQ(*exitCode, 0);
}

// The interoperability check: Hamlib's command-line client with every
// command the panel serves, then Hamlib's Python bindings for fifty rounds of
// sets and gets. The voice is off, so the sets are not paced by speech.
TEST_F(NetworkControl, HamlibsClientAndPythonBindingsGetEveryAnswerRight) {
  if (system("command -v rigctl >/dev/null 2>&1") != 0 ||
      system("/usr/bin/python3 -c 'import Hamlib' 2>/dev/null") != 0) {
    GTEST_SKIP() << "rigctl or Hamlib's Python bindings are missing; tools/install-deps adds them";
  }
  const int port = FreePort();
  WriteConfiguration(0);
  LinkPrompts();
  StartSimulator();
  StartPanel({"--net", std::to_string(port)});
  ASSERT_TRUE(WaitForIdlePolls(3));

  EXPECT_EQ(Rigctl(port,
                   "f m v l STRENGTH l ATT l RAWSTR get_dcd L ATT 20 l ATT L ATT 0 get_powerstat s "
                   "F 14074000 f M AM 0 V VFOA"),
            "145000000\nFM\n15000\nVFOA\n-54\n0\n0\n0\n20\n1\n0\nVFOA\n14074000\n");
  // A new client, so the answer is the panel's and not the client's memory.
  EXPECT_EQ(Rigctl(port, "m"), "AM\n6000\n");
  // The connect sequence sent the first AT0.
  const std::vector<std::pair<std::string, int>> sent = {
      {"AT1", 1}, {"AT0", 2}, {"VA0014.07400", 1}, {"MD2", 1}};
  for (const auto& [command, count] : sent) {
    EXPECT_EQ(ReadWireLog().Count(command), count) << command << ReadWireLog().Dump();
  }

  int status = -1;
  const std::string python = RunShell(
      std::string(VOXRIG_SOURCE_DIR) + "/tools/interop-python.py " + std::to_string(port), &status);
  EXPECT_EQ(python, "250 calls, 0 errors, 0 mismatches\n");
  EXPECT_EQ(status, 0);

  RequestCloseOfPanel();
  const std::optional<int> exitCode = WaitForPanelExit();
  ASSERT_TRUE(exitCode.has_value());
  EXPECT_EQ(*exitCode, 0);
}

TEST_F(NetworkControl, ListeningBeyondTheLoopbackIsSaidOnStandardErrorAndInTheTranscript) {
  const std::string port = std::to_string(FreePort());
  WriteConfiguration(0);
  LinkPrompts();
  StartSimulator();
  StartPanel({"--net", "0.0.0.0:" + port});
  ASSERT_TRUE(WaitForIdlePolls(1));
  const std::string warning = "listening on 0.0.0.0 port " + port +
                              ", not the loopback: other computers can tune the receiver";
  EXPECT_NE(ReadFile("panel.out").find("voxrig: warning: " + warning + "\n"), std::string::npos)
      << ReadFile("panel.out");
  EXPECT_NE(ReadFile("transcript.txt").find("note " + warning + "\n"), std::string::npos);
  RequestCloseOfPanel();
  EXPECT_EQ(WaitForPanelExit(), std::optional<int>(0)) << Diagnosis();
}

}  // namespace
}  // namespace e2e
