// SPDX-License-Identifier: GPL-3.0-or-later
// The whole panel speaking through a speech-dispatcher of the test's own,
// and a panel that cannot reach one.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "e2e/panel_rig.h"
#include "e2e/speech_dispatcher_rig.h"

namespace e2e {
namespace {

using SpeechThroughServer = PanelRig;
using Events = std::vector<ServerEvent>;

// SPEECHD_ADDRESS for the panels started while it stands.
class ServerAddress {
 public:
  explicit ServerAddress(const std::string& address) {
    setenv("SPEECHD_ADDRESS", address.c_str(), 1);
  }
  ~ServerAddress() { unsetenv("SPEECHD_ADDRESS"); }
};

bool From(const ServerEvent& event, const std::string& connection) {
  return event.client == "voxrig:" + connection;
}

TEST_F(SpeechThroughServer, EveryPromptIsSaidAsWordsAndAKeyCancelsTheStaleReadout) {
  SpeechDispatcherRig server;
  ASSERT_TRUE(server.Ready());
  ServerAddress address(server.Address());
  WriteFile("VOXRIG.CFG",
            "PORT=COM1\r\nSPEED=19200\r\nRADIO=AR8600\r\nVOICE=1\r\nDEBUG=0\r\nSPEECH=speechd\r\n");
  LinkPrompts();
  StartSimulator();
  StartPanel();
  ASSERT_TRUE(WaitForPrompt("connected") && WaitForIdlePolls());
  Events events = server.Events();
  ASSERT_FALSE(events.empty());
  // The name and version run on as one phrase; "connected", and the tuning
  // said with it, is an outcome.
  EXPECT_TRUE(From(events[0], "readouts"));
  EXPECT_EQ(events[0].text.rfind("voxrig four point zero", 0), 0u) << events[0];
  EXPECT_TRUE(std::any_of(events.begin(), events.end(), [](const ServerEvent& event) {
    return From(event, "outcomes") && event.text.rfind("connected", 0) == 0;
  }));

  // F cuts what the start-up said, and M cuts F's readout: each key's
  // cancel, then its own readout.
  const std::size_t before = events.size();
  Type({"f"});
  ASSERT_EQ(server.WaitForEvents(before + 2, 5s).size(), before + 2);
  Type({"m"});
  events = server.WaitForEvents(before + 4, 5s);
  ASSERT_EQ(events.size(), before + 4);
  const ServerEvent cancel{"voxrig:readouts", "cancel", ""};
  EXPECT_EQ(events[before], cancel);
  EXPECT_TRUE(From(events[before + 1], "readouts"));
  EXPECT_NE(events[before + 1].text.find(" point "), std::string::npos) << events[before + 1];
  EXPECT_EQ(events[before + 2], cancel);
  EXPECT_TRUE(From(events[before + 3], "readouts"));
  EXPECT_EQ(events[before + 3].text.rfind("ess ", 0), 0u) << events[before + 3];
  Type({"q"});
  EXPECT_EQ(WaitForPanelExit(), 0);
  EXPECT_TRUE(std::none_of(events.begin(), events.end(), [](const ServerEvent& event) {
    return From(event, "outcomes") && event.kind == "cancel";
  }));
}

TEST_F(SpeechThroughServer, AServerOutOfReachIsToldOnceAndThePromptsSpeak) {
  ServerAddress address("unix_socket:" + Path("no-speech-dispatcher"));
  WriteConfiguration();
  LinkPrompts();
  StartSimulator();
  StartPanel({"--speech", "speechd"});
  ASSERT_TRUE(WaitForPrompt("connected"));
  EXPECT_EQ(ReadTranscript().CountPrompt("nospd"), 1);
  EXPECT_NE(ReadFile("panel.out").find("speech-dispatcher not reachable"), std::string::npos);
  Type({"q"});
  EXPECT_EQ(WaitForPanelExit(), 0);
}

}  // namespace
}  // namespace e2e
