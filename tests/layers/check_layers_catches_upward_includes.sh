#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The floor check must catch an include that runs up, one that runs from the
# simulator into the panel, and pass a tree whose includes all run down.
set -euo pipefail
check=$1
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
mkdir -p "$tree"/src/{core,link,poll} "$tree"/tests/link "$tree"/sim

printf '#include "core/context.h"\n#include "link/command_link.h"\n#include <vector>\n' >"$tree/src/poll/fine.cpp"
printf '#include "platform/clock.h"\n' >"$tree/src/core/fine.h"
printf '#include "engine.h"\n' >"$tree/sim/fine.cpp"
"$check" "$tree" >/dev/null || { echo "a tree of downward includes was refused"; exit 1; }

printf '#include "core/context.h"\n\n#include "poll/connect.h"\n' >"$tree/src/link/upward.cpp"
printf '#include "command/interpreter.h"\n' >"$tree/tests/link/test_upward.cpp"
printf '#include "link/serial_port.h"\n' >"$tree/sim/reaches_in.cpp"
if out=$("$check" "$tree" 2>&1); then
  echo "upward includes passed the check"; exit 1
fi
expect() {
  grep -qF -- "$1" <<<"$out" || { echo "missing from the report: $1"; echo "$out"; exit 1; }
}
expect 'src/link/upward.cpp:3: includes "poll/connect.h": link may include only its own floor and those below it'
expect 'tests/link/test_upward.cpp:1: includes "command/interpreter.h": link may include only'
expect 'sim/reaches_in.cpp:1: includes "link/serial_port.h": the simulator includes nothing of src/'
expect '3 include(s) run against the floors'
echo "the floor check caught every wrong include"
