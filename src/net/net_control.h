// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

#include "core/context.h"
#include "platform/net_socket.h"
#include "platform/stopwatch.h"

// Other programs follow and tune the receiver through the panel, speaking
// Hamlib's rigctld protocol over TCP. Everything happens on the panel's own
// thread: the clients are served as soon as their bytes arrive, on every tick,
// and while the panel speaks or pauses between receiver commands, never
// waiting on a socket.
namespace voxrig {

// A client that sends nothing for this long is closed, so silent connections
// cannot keep the four places taken.
inline constexpr double kNetIdleTimeoutMs = 60000;

// Takes over the listening socket and serves it from now on; `stopwatch`
// measures how long a client has been silent.
void StartNetControl(Context& ctx, std::unique_ptr<NetListener> listener, Stopwatch& stopwatch);

enum class SetTurn {
  kNow,      // the wire is free: one set may be carried out, like a key
  kLater,    // a poll step or a key's exchange is on the wire: sets wait
  kRefused,  // an operation is under way: sets are refused
};

// Accepts, reads and answers the clients. Returns true when a set from the
// network was carried out, which takes the tick as a key would.
bool ServeNetClients(Context& ctx, SetTurn turn);

// Whether the wire is free for a set now: no poll exchange or key (with the
// separator that reads its answer) is under way, and the poll cycle owed
// after the last set has run.
SetTurn SetTurnNow(const Context& ctx);

}  // namespace voxrig
