// SPDX-License-Identifier: GPL-3.0-or-later
#include "sdl/late_wakeup_errors.h"

#include <X11/Xlib.h>
#include <X11/Xproto.h>

namespace voxrig {

namespace {

int PassLateWakeups(Display* display, XErrorEvent* error) {
  if (error->error_code == BadWindow && error->request_code == X_SendEvent) return 0;
  // Any other error is Xlib's to report, as it would be without this: its
  // own handler is the one XSetErrorHandler names when given none.
  const XErrorHandler mine = XSetErrorHandler(nullptr);
  const XErrorHandler xlibs = XSetErrorHandler(mine);
  return xlibs(display, error);
}

}  // namespace

void LetLateWakeupsPass() {
  XSetErrorHandler(&PassLateWakeups);
}

}  // namespace voxrig
