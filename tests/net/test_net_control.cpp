#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "command/pending_commands.h"
#include "fakes/connected_panel.h"
#include "net/net_control.h"
#include "speech/speech.h"

// Clients of the network control against a whole panel of fakes: what they
// are answered, what the receiver is sent, what the listener hears.
namespace voxrig::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// The client's end of one connection.
struct Peer {
  std::string toPanel;    // sent by the client, not yet read by the panel
  std::string fromPanel;  // everything the panel sent
  bool hungUp = false;    // the client has gone
  bool reads = true;      // false: the client never takes an answer
  bool closedByPanel = false;
};

class FakeConnection : public NetConnection {
 public:
  explicit FakeConnection(Peer& peer) : peer_(peer) {}
  ~FakeConnection() override { peer_.closedByPanel = true; }
  long Receive(char* buffer, std::size_t size) override {
    if (peer_.toPanel.empty()) return peer_.hungUp ? -1 : 0;
    const std::size_t count = std::min(size, peer_.toPanel.size());
    peer_.toPanel.copy(buffer, count);
    peer_.toPanel.erase(0, count);
    return static_cast<long>(count);
  }
  long Send(const char* bytes, std::size_t size) override {
    if (peer_.hungUp) return -1;
    if (!peer_.reads) return 0;
    peer_.fromPanel.append(bytes, size);
    return static_cast<long>(size);
  }

 private:
  Peer& peer_;
};

class FakeListener : public NetListener {
 public:
  explicit FakeListener(std::deque<Peer*>& waiting) : waiting_(waiting) {}
  std::unique_ptr<NetConnection> Accept() override {
    if (waiting_.empty()) return nullptr;
    Peer* peer = waiting_.front();
    waiting_.pop_front();
    return std::make_unique<FakeConnection>(*peer);
  }
  int Port() const override { return 4532; }

 private:
  std::deque<Peer*>& waiting_;
};

class NetControl : public fakes::PanelFixture {
 protected:
  NetControl() {
    StartNetControl(ctx, std::make_unique<FakeListener>(waiting_));
    ctx.tuning.tunedText = "145";
  }
  // The panel's connections point at the peers below, which go before the
  // fixture's context does: close them first.
  ~NetControl() override {
    ctx.net.clients.clear();
    ctx.net.listener.reset();
  }

  Peer& Connect(const std::string& sends = "") {
    peers_.push_back(std::make_unique<Peer>());
    peers_.back()->toPanel = sends;
    waiting_.push_back(peers_.back().get());
    return *peers_.back();
  }

 private:
  std::deque<Peer*> waiting_;
  std::vector<std::unique_ptr<Peer>> peers_;
};

TEST_F(NetControl, GetsAreAnsweredFromThePanelWithoutAskingTheReceiver) {
  ctx.link.signalLevel = 12;
  ctx.link.pollState = 2;  // in the middle of a poll cycle
  Peer& client = Connect("f\nm\nl STRENGTH\nv\n+\\get_freq\n\\chk_vfo\n");
  ServeNetClients(ctx, SetTurn::kLater);
  EXPECT_EQ(client.fromPanel,
            "145000000\nFM\n15000\n15\nVFOA\nget_freq:\nFrequency: 145000000\nRPRT 0\n0\n");
  EXPECT_THAT(Commands(), IsEmpty());
  EXPECT_THAT(Heard(), IsEmpty());
}

TEST_F(NetControl, ASetWaitsForAnIdleTickAndIsCarriedOutAsTheKeysWould) {
  ctx.link.pollState = 1;
  Peer& client = Connect("F 14074000\nf\nM USB 2400\n");
  Tick();  // poll step 1 sends LM; the set waits
  Tick();  // poll step 2 reads the level
  EXPECT_EQ(client.fromPanel, "");
  Tick();  // idle: the set takes the tick
  EXPECT_THAT(Commands(), ElementsAre("LM", "VA0014.07400"));
  EXPECT_THAT(Heard(), ElementsAre("1", "4", "point", "0", "7", "4"));
  EXPECT_EQ(program.display.TextAt(300, 150).rfind("14.07400", 0), 0u);
  EXPECT_EQ(client.fromPanel, "RPRT 0\n14074000\n");
  EXPECT_EQ(ctx.panel.keyQueueCount, 1);  // its separator reads the receiver's answer

  Tick();  // the separator
  Tick();  // idle again, but a poll cycle is owed before the next set
  EXPECT_EQ(ctx.link.pollState, 1);
  EXPECT_EQ(client.fromPanel, "RPRT 0\n14074000\n");
  for (int tick = 0; tick < 3; ++tick) Tick();  // LM, its reply, then the mode set
  EXPECT_THAT(Commands(), ElementsAre("LM", "VA0014.07400", "LM", "MD3"));
  EXPECT_EQ(Heard().back(), "USB");
  EXPECT_EQ(program.display.TextAt(370, 80), "USB      ");
  EXPECT_EQ(client.fromPanel, "RPRT 0\n14074000\nRPRT 0\n");
}

TEST_F(NetControl, ABusyPanelRefusesSetsAndSaysNothing) {
  const std::vector<std::pair<const char*, std::function<void(Context&)>>> busy = {
      {"search", [](Context& c) { c.tuning.searchState = 1; }},
      {"memory scan", [](Context& c) { c.link.scanState = 2; }},
      {"bank scan", [](Context& c) { c.link.bankScanState = 2; }},
      {"W being typed", [](Context& c) { c.command.pendingCommand = pending::kWriteToReceiver; }},
      {"frequency being typed", [](Context& c) { c.command.frequencyEntryFresh = 0; }},
      {"receiver never answered", [](Context& c) { c.link.linkState = -1; }},
  };
  for (const auto& [what, makeBusy] : busy) {
    ctx.link.linkState = 1;
    ctx.link.pollState = 0;
    ctx.tuning.searchState = ctx.link.scanState = ctx.link.bankScanState = 0;
    ctx.command.pendingCommand = pending::kNone;
    ctx.command.frequencyEntryFresh = 1;
    makeBusy(ctx);
    Peer& client = Connect("F 14074000\n+M USB 2400\n");
    Forget();
    Tick();
    EXPECT_EQ(client.fromPanel, "RPRT -9\nset_mode: USB 2400\nRPRT -9\n") << what;
    EXPECT_THAT(Heard(), IsEmpty()) << what;
    EXPECT_EQ(ctx.tuning.modeText, "FM") << what;
    EXPECT_EQ(ctx.panel.keyQueueCount, 0) << what;
    client.hungUp = true;
    Tick();
  }
}

TEST_F(NetControl, WhileAnOperationPausesClientsAreAnsweredAndSetsRefused) {
  Peer& client = Connect("f\nF 14074000\nv\n");
  Pause(ctx);
  EXPECT_EQ(client.fromPanel, "145000000\nRPRT -9\nVFOA\n");
  EXPECT_THAT(Commands(), IsEmpty());
}

TEST_F(NetControl, WhileTheListenerTypesTheFrequencyIsWhereTheReceiverWasTuned) {
  Type("7.05\r");
  Type("14");
  Peer& client = Connect("f\nF 3500000\n");
  Forget();
  ServeNetClients(ctx, SetTurn::kNow);
  EXPECT_EQ(client.fromPanel, "7050000\nRPRT -9\n");
  EXPECT_EQ(ctx.tuning.frequencyText, "14");  // the listener's typing is kept
  EXPECT_THAT(Heard(), IsEmpty());
}

TEST_F(NetControl, SetsThatChangeNothingAreAnsweredAtOnceAndSendNothing) {
  ctx.link.pollState = 2;
  Peer& client = Connect("F 145000000\nM FM 0\nV VFOA\nV VFOB\nF 1e12\n");
  ServeNetClients(ctx, SetTurn::kLater);
  EXPECT_EQ(client.fromPanel, "RPRT 0\nRPRT 0\nRPRT 0\nRPRT -11\nRPRT -1\n");
  EXPECT_THAT(Commands(), IsEmpty());
  EXPECT_THAT(Heard(), IsEmpty());
}

TEST_F(NetControl, BadClientsAreRefusedOrClosedAndOthersAreStillServed) {
  Peer& longLine = Connect(std::string(500, 'x'));
  Peer& quitter = Connect("q\nf\n");
  Peer& deaf = Connect();
  deaf.reads = false;
  Peer& gone = Connect("\\dump_state\n");
  gone.hungUp = true;
  Peer& overflow = Connect("f\n");  // a fifth client at once: closed unanswered
  ServeNetClients(ctx, SetTurn::kLater);
  EXPECT_TRUE(overflow.closedByPanel);
  EXPECT_EQ(overflow.fromPanel, "");
  EXPECT_TRUE(quitter.closedByPanel);
  EXPECT_EQ(quitter.fromPanel, "");
  EXPECT_TRUE(gone.closedByPanel);
  EXPECT_EQ(longLine.fromPanel, "RPRT -1\n");  // refused once, however long it goes on

  // Their places are free again.
  Peer& later = Connect("f\n");
  longLine.toPanel = std::string(300, 'y') + "\nf\n";
  ServeNetClients(ctx, SetTurn::kLater);
  EXPECT_EQ(longLine.fromPanel, "RPRT -1\n145000000\n");
  EXPECT_EQ(later.fromPanel, "145000000\n");

  for (int i = 0; i < 40; ++i) deaf.toPanel += "\\dump_state\n";
  for (int i = 0; i < 40 && !deaf.closedByPanel; ++i) ServeNetClients(ctx, SetTurn::kLater);
  EXPECT_TRUE(deaf.closedByPanel);  // it never took its answers
  EXPECT_FALSE(later.closedByPanel);
}

}  // namespace
}  // namespace voxrig::testing
