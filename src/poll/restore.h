// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/context.h"

namespace voxrig {

// The receiver answered again after it had gone away (plugged back in,
// switched on again, or another one on the same link): it holds whatever it
// starts with, while the panel and its network clients still show what the
// listener set. It is put back in the state the panel shows (frequency,
// mode, step, attenuator and noise limiter), in the connect sequence's order
// and pacing, and read back; what it could not take is said ("notrest"
// after the part: "attenuator on, not restored") and shown under the panel,
// and a receiver that does not report its state is "not checked".
//
// The search ended when the receiver went away. A memory or bank scan that
// ran then is left now, as Enter leaves it ("exit scan", its passed channels
// taken back): the receiver is tuned back to where the panel shows, and the
// listener starts the scan again when it is wanted, instead of a scan going
// on unheard from wherever the returning receiver happens to be.
Steps<> RestoreShownState(Context& ctx);

}  // namespace voxrig
