#pragma once

#include <chrono>

#include "core/context.h"
#include "platform/net_socket.h"
#include "platform/sound.h"

namespace voxrig {

// Lets the panel answer other programs while a prompt plays: the sound waits
// for the network instead of sleeping, and the clients are served whenever
// something arrives. Their sets wait for the wire, which the key or poll
// step that is speaking still has.
class NetServingWaiter : public SoundWaiter {
 public:
  NetServingWaiter(Context& ctx, NetActivity& activity) : ctx_(ctx), activity_(activity) {}
  void WaitUntil(std::chrono::steady_clock::time_point deadline) override;

 private:
  Context& ctx_;
  NetActivity& activity_;
};

}  // namespace voxrig
