// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "core/context.h"

namespace voxrig {

// What the listener learns when the receiver cannot be reached at start: the
// port that was tried, at which speed, and that `voxrig --setup` finds the
// receiver. Shown in red where the meter stands with the details under the
// panel, printed on standard error (where a terminal's screen reader reads
// it) and written to the debug log.

// The line that points to the set-up, shown and printed after each report.
inline constexpr const char* kSetupHint =
    "Run voxrig --setup in this folder: it finds the receiver and writes VOXRIG.CFG.";

// The receiver's port did not open (a device that is not there or will not
// open, no port named, or no speed a port takes): says "nodev".
void ReportNoDevice(Context& ctx);
// The receiver has not answered since the connect. Nothing more when the port
// did not even open: that has been reported.
void ReportNoAnswer(Context& ctx);
// The receiver came back but does not hold all the panel shows (`detail`
// names what): shown under the panel, printed and logged, until the
// receiver next comes back.
void ReportNotRestored(Context& ctx, const std::string& detail);
// The receiver has answered after all: the report leaves the panel.
void ClearPortReport(Context& ctx);

// Writes "voxrig: " + each line on standard error.
void PrintMessage(Context& ctx, const std::string& lines);

}  // namespace voxrig
