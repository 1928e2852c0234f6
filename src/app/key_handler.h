// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/context.h"
#include "platform/window.h"

namespace voxrig {

// The main window's one event handler: notes a close request, queues key
// presses (the key and a 0 separator) but not the keyboard's auto-repeat,
// hands queued keys to the command interpreter as soon as the wire to the
// receiver allows, and on each timer tick advances the receiver poll cycle or
// reads the answer to a key's command; when a network client's bytes arrive
// it serves the clients at once. Always returns 0.
int OnWindowEvent(Context& ctx, const WindowEvent& event);

}  // namespace voxrig
