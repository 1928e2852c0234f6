#pragma once

#include "core/context.h"
#include "platform/window.h"

namespace voxrig {

// The main window's one event handler: notes a close request, queues key
// presses (the key and a 0 separator), drops auto-repeat through the held-key
// latch, and on each timer tick either hands one queue entry to the command
// interpreter or advances the receiver poll cycle; when a network client's
// bytes arrive it serves the clients at once. Always returns 0.
int OnWindowEvent(Context& ctx, const WindowEvent& event);

}  // namespace voxrig
