// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "fakes/connected_panel.h"
#include "fakes/fake_serial_survey.h"
#include "net/net_control.h"

// Network clients as fakes: what each sends and is sent, with no socket, and
// a whole panel of fakes serving them.
namespace voxrig::testing {

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

// A connected panel serving fake clients, with a fake clock for their
// silences.
class NetPanel : public fakes::PanelFixture {
 protected:
  NetPanel() : stopwatch(time) {
    StartNetControl(ctx, std::make_unique<FakeListener>(waiting_), stopwatch);
  }
  // The panel's connections point at the peers below, which go before the
  // fixture's context does: close them first.
  ~NetPanel() override {
    ctx.net.clients.clear();
    ctx.net.listener.reset();
  }

  Peer& Connect(const std::string& sends = "") {
    peers_.push_back(std::make_unique<Peer>());
    peers_.back()->toPanel = sends;
    waiting_.push_back(peers_.back().get());
    return *peers_.back();
  }

  fakes::FakeTime time;
  fakes::FakeStopwatch stopwatch;

 private:
  std::deque<Peer*> waiting_;
  std::vector<std::unique_ptr<Peer>> peers_;
};

}  // namespace voxrig::testing
