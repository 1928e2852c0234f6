// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/context.h"

// What the listener's keys change of the scans and the search the poll
// follows; the poll keeps their states, the keys ask it here.
namespace voxrig {

// N: the scans' "scan" and "stop" prompts on or off, said as "svoice" and
// "on" or "off".
void ToggleScanVoice(Context& ctx);

// C: the search stops on a signal, or rests and goes on; said, and shown on
// the search line.
void ToggleSearchStopMode(Context& ctx);

// A receiver memory scan that has only just started is left: "exitscan".
void LeaveMemoryScanJustStarted(Context& ctx);

// The listener tuned the receiver elsewhere: no memory scan, bank scan or
// search is followed any more. Nothing is said or taken back.
void ForgetScansAndSearch(Context& ctx);

// A search's rest on a signal is over: the next stop rests afresh.
void ForgetSearchRest(Context& ctx);

}  // namespace voxrig
