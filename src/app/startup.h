// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/context.h"
#include "platform/window.h"

namespace voxrig {

// The exit statuses of the panel. The set-up's, the probe's and the CSV
// commands' follow the same numbers: 0 done, 1 no receiver, no window (or
// nothing done), 2 a bad command line, 3 a folder that cannot be written, 4 no prompt
// set, 5 no configuration.
inline constexpr int kExitOrderly = 0;
// The window could not be opened: nothing was spoken or sent.
inline constexpr int kExitNoWindow = 1;
// No VOXRIG.CFG could be read: nothing was sent to any port.
inline constexpr int kExitNoConfiguration = 5;

// The panel's second line without its configuration.
inline constexpr const char* kMissingConfigurationHint =
    "please run 'voxrig --setup' in this folder";

// Shown, printed and (as the prompt "nospd") said once the panel has
// started, when speech-dispatcher was asked for and could not be reached.
inline constexpr const char* kSpeechServerUnreachable =
    "speech-dispatcher not reachable: speaking with the recorded prompts";

inline constexpr const char* kAuthorshipText = "  by the voxrig project";

// The panel's one window: its title, place and outer size on the screen.
WindowSpec MainWindowSpec();

// The panel's whole life: opens the window, reads the configuration, opens the
// debug log when asked, shows the banner, speaks the name and version,
// connects to the receiver, serves the window's events until something asks
// to stop, and shuts down. The services come from ctx.platform. Returns the
// process exit code: 0 when the listener ended it (a receiver that never
// answered too: the panel waited for it), kExitNoConfiguration without
// VOXRIG.CFG.
int RunProgram(Context& ctx);

// Connects to the receiver as for a fresh start: no key sequence left in
// progress, every floor's state as a new receiver finds it, and the receiver
// asked whether it is there.
void ConnectAfresh(Context& ctx);

// Stops the timer, closes the debug log, tells the receiver "EX", closes the
// port and the window. The log is closed first so that "EX" never appears in it.
void ShutDown(Context& ctx);

}  // namespace voxrig
