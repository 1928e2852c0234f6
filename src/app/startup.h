#pragma once

#include "core/context.h"
#include "platform/window.h"

namespace voxrig {

inline constexpr int kExitOrderly = 0;
// The window could not be opened: nothing was spoken or sent.
inline constexpr int kExitNoWindow = 1;

inline constexpr const char* kAuthorshipText = "  by the voxrig project";

// The panel's one window: its title, place and outer size on the screen.
WindowSpec MainWindowSpec();

// The panel's whole life: opens the window, reads the configuration, opens the
// debug log when asked, shows the banner, speaks the name and version,
// connects to the receiver, serves the window's events until something asks
// to stop, and shuts down. The services come from ctx.platform. Returns the
// process exit code: 0 on every orderly end, including a missing
// configuration file.
int RunProgram(Context& ctx);

// Stops the timer, closes the debug log, tells the receiver "EX", closes the
// port and the window. The log is closed first so that "EX" never appears in it.
void ShutDown(Context& ctx);

}  // namespace voxrig
