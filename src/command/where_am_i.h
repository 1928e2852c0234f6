// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/context.h"

namespace voxrig {

// V: where the listener is, from what the panel already knows (nothing is
// asked of the receiver): the frequency the receiver is on (not one being
// typed), the selected bank and the channel of it the listener is on, or
// the receiver memory channel a memory scan rests on, with its name; the
// mode; the level as M says it ("rnc" while the receiver is away); and last
// what runs: "searching", "search stop", a bank scan's "scan" or "stop", a
// memory scan's "radio bank scan" or "radio bank stop", or nothing. While a
// scan moves on there is no frequency or channel to tell. A readout: the
// next key cuts it.
void SpeakWhereTheListenerIs(Context& ctx);

}  // namespace voxrig
