#include "net/net_waiter.h"

#include "net/net_control.h"

namespace voxrig {

void NetServingWaiter::WaitUntil(std::chrono::steady_clock::time_point deadline) {
  // Bounded by the deadline even while a client keeps sending.
  while (std::chrono::steady_clock::now() < deadline && activity_.WaitUntil(deadline)) {
    ServeNetClients(ctx_, SetTurn::kLater);
  }
}

}  // namespace voxrig
