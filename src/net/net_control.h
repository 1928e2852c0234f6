#pragma once

#include <memory>

#include "core/context.h"
#include "platform/net_socket.h"

// Other programs follow and tune the receiver through the panel, speaking
// Hamlib's rigctld protocol over TCP. Everything happens on the panel's own
// thread: the clients are served on every tick (and while long operations
// pause between receiver commands), never waiting on a socket.
namespace voxrig {

// Takes over the listening socket and serves it from now on.
void StartNetControl(Context& ctx, std::unique_ptr<NetListener> listener);

enum class SetTurn {
  kNow,      // an idle tick: one set may be carried out, like a key
  kLater,    // a poll step or a key has this tick: sets wait for an idle one
  kRefused,  // an operation is under way: sets are refused
};

// Accepts, reads and answers the clients. Returns true when a set from the
// network was carried out, which takes the tick as a key would.
bool ServeNetClients(Context& ctx, SetTurn turn);

}  // namespace voxrig
