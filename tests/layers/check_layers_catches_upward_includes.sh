#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The floor check must catch an include that runs up, one that runs from the
# simulator into the panel, one that reaches into a room from where no room may
# be reached or from one room into another, and pass a tree whose includes all
# run down.
set -euo pipefail
check=$1
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
mkdir -p "$tree"/src/{core,link,poll,app,posix,sdl,hamlib} "$tree"/tests/{link,config,hamlib,sdl} "$tree"/sim

printf '#include "core/context.h"\n#include "link/command_link.h"\n#include <vector>\n' >"$tree/src/poll/fine.cpp"
printf '#include "platform/clock.h"\n' >"$tree/src/core/fine.h"
printf '#include "engine.h"\n' >"$tree/sim/fine.cpp"
printf '#include "platform/serial_device.h"\n#include "posix/termios_serial.h"\n' >"$tree/src/posix/fine.cpp"
printf '#include "speech/prompt_path.h"\n' >"$tree/src/sdl/fine.cpp"
printf '#include "link/serial_port.h"\n#include "hamlib/hamlib_modes.h"\n' >"$tree/src/hamlib/fine.cpp"
printf '#include "posix/system_clock.h"\n#include "sdl/sdl_window.h"\n#include "hamlib/hamlib_library.h"\n' >"$tree/src/app/main.cpp"
printf '#include "hamlib/hamlib_library.h"\n#include "posix/termios_serial.h"\n' >"$tree/tests/hamlib/test_fine.cpp"
printf '#include "posix/posix_file_system.h"\n' >"$tree/tests/config/test_fine.cpp"
"$check" "$tree" >/dev/null || { echo "a tree of downward includes was refused"; "$check" "$tree"; exit 1; }

printf '#include "core/context.h"\n\n#include "poll/connect.h"\n' >"$tree/src/link/upward.cpp"
printf '#include "command/interpreter.h"\n' >"$tree/tests/link/test_upward.cpp"
printf '#include "link/serial_port.h"\n' >"$tree/sim/reaches_in.cpp"
printf '#include "posix/system_clock.h"\n' >"$tree/sim/reaches_a_room.cpp"
printf '#include "platform/clock.h"\n#include "posix/termios_serial.h"\n' >"$tree/src/hamlib/sideways.cpp"
printf '#include "posix/posix_file_system.h"\n' >"$tree/src/poll/reaches_a_room.cpp"
printf '#include "core/context.h"\n' >"$tree/src/posix/upward.cpp"
printf '#include "poll/connect.h"\n' >"$tree/src/hamlib/upward.cpp"
printf '#include "sdl/sdl_sound.h"\n' >"$tree/tests/config/test_room_above.cpp"
if out=$("$check" "$tree" 2>&1); then
  echo "upward includes passed the check"; exit 1
fi
expect() {
  grep -qF -- "$1" <<<"$out" || { echo "missing from the report: $1"; echo "$out"; exit 1; }
}
expect 'src/link/upward.cpp:3: includes "poll/connect.h": link may include only its own floor and those below it'
expect 'tests/link/test_upward.cpp:1: includes "command/interpreter.h": link may include only'
expect 'sim/reaches_in.cpp:1: includes "link/serial_port.h": the simulator includes nothing of src/'
expect 'sim/reaches_a_room.cpp:1: includes "posix/system_clock.h": the simulator includes nothing of src/'
expect 'src/hamlib/sideways.cpp:2: includes "posix/termios_serial.h": the room hamlib includes no other room'
expect 'src/poll/reaches_a_room.cpp:1: includes "posix/posix_file_system.h": only app, the top floor, includes a room'
expect 'src/posix/upward.cpp:1: includes "core/context.h": the room posix stands on platform and may include only that floor and those below it'
expect 'src/hamlib/upward.cpp:1: includes "poll/connect.h": the room hamlib stands on link and may include only'
expect 'tests/config/test_room_above.cpp:1: includes "sdl/sdl_sound.h": a test of config takes as fixtures only the rooms on config and the floors below it'
expect '9 include(s) run against the floors'
echo "the floor check caught every wrong include"
