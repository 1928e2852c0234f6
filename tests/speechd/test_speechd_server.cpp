// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <signal.h>

#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "e2e/speech_dispatcher_rig.h"
#include "speechd/speechd_server.h"

namespace voxrig {
namespace {

using namespace std::chrono_literals;
using e2e::ServerEvent;
using e2e::SpeechDispatcherRig;

// The server at this address for the test's length.
class ServerAddress {
 public:
  explicit ServerAddress(const std::string& address) {
    setenv("SPEECHD_ADDRESS", address.c_str(), 1);
    // A server that goes away mid-message breaks the pipe: the panel ignores
    // that, and so does the test.
    signal(SIGPIPE, SIG_IGN);
  }
  ~ServerAddress() { unsetenv("SPEECHD_ADDRESS"); }
};

const std::string kReadouts = "voxrig:readouts";
const std::string kOutcomes = "voxrig:outcomes";

TEST(SpeechdServer, SaysEachUtteranceAsOneMessageAndAKeyCancelsOnlyTheReadouts) {
  SpeechDispatcherRig rig;
  ASSERT_TRUE(rig.Ready());
  ServerAddress address(rig.Address());
  std::string problem;
  std::unique_ptr<SpeechdServer> server = SpeechdServer::Connect(problem);
  ASSERT_TRUE(server) << problem;
  // F: the frequency's digits; then W's check: its count and "channels
  // differ" kept; then M on a tick, and a key that cuts it.
  for (const char* word : {"one", "four", "five", "point", "five"}) server->Say(word);
  ASSERT_EQ(rig.WaitForEvents(1, 5000ms).size(), 1u);
  server->StartUnit();
  server->Say("three");
  server->KeepUnit();
  server->Say("channels differ");
  server->StartUnit();
  server->Say("F M");
  ASSERT_EQ(rig.WaitForEvents(3, 5000ms).size(), 3u);
  server->CutReadouts();
  EXPECT_EQ(rig.WaitForEvents(4, 5000ms),
            (std::vector<ServerEvent>{{kReadouts, "message", "one four five point five"},
                                      {kOutcomes, "message", "three channels differ"},
                                      {kReadouts, "message", "F M"},
                                      {kReadouts, "cancel", ""}}));
  EXPECT_TRUE(server->Reachable());
}

TEST(SpeechdServer, NoServerAtTheAddressIsToldAndALostOneIsNoticed) {
  {
    ServerAddress address("unix_socket:/nonexistent/voxrig-speechd-sock");
    std::string problem;
    EXPECT_FALSE(SpeechdServer::Connect(problem));
    EXPECT_FALSE(problem.empty());
  }
  auto rig = std::make_unique<SpeechDispatcherRig>();
  ASSERT_TRUE(rig->Ready());
  ServerAddress address(rig->Address());
  std::string problem;
  std::unique_ptr<SpeechdServer> server = SpeechdServer::Connect(problem);
  ASSERT_TRUE(server) << problem;
  rig.reset();
  for (int tries = 0; tries < 250 && server->Reachable(); ++tries) {
    server->Say("one");
    std::this_thread::sleep_for(20ms);
  }
  EXPECT_FALSE(server->Reachable());
}

}  // namespace
}  // namespace voxrig
