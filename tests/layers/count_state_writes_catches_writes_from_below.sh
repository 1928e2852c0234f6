#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The state check must pass a tree where each part of the Context is written
# by its owner or from above it, and catch a write from a floor below the
# owner (an assignment, an increment, a container change, a write through a
# reference to a part) and a write to the key queue or the poll's part from
# any other floor.
set -euo pipefail
check=$1
source=$2
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
mkdir -p "$tree"/src/{core,config,speech,panel,banks,poll,command,app}
cp "$source/src/core/context.h" "$tree/src/core/context.h"

printf 'void Own(Context& ctx) { ctx.app.debugEnabled = true; }\n' >"$tree/src/app/owner.cpp"
printf 'void Own(Context& ctx) { ctx.poll.scanState = ReceiverScan::kOff; }\n' >"$tree/src/poll/owner.cpp"
printf 'void Above(Context& ctx) { ctx.speech.namesSpoken = false; }\n' >"$tree/src/app/above.cpp"
printf 'bool Reads(const Context& ctx) { return ctx.app.debugEnabled == true; }\n' >"$tree/src/config/reads.cpp"
printf 'void Pops(Context& ctx) { --ctx.panel.keyQueueCount; }\n' >"$tree/src/panel/key_queue.cpp"
"$check" "$tree" >/dev/null || { echo "a tree without writes from below was refused"; "$check" "$tree"; exit 1; }

printf 'void Below(Context& ctx) {\n  ctx.app.portSetting = "COM1";\n}\n' >"$tree/src/config/assigns.cpp"
printf 'void Below(Context& ctx) {\n  AppState& app = ctx.app;\n  app.debugEnabled = true;\n}\n' \
  >"$tree/src/config/through_reference.cpp"
printf 'void Below(Context& ctx) { ++ctx.banks.bankLastSlot; }\n' >"$tree/src/speech/increments.cpp"
printf 'void Below(Context& ctx) { ctx.undo.steps.clear(); }\n' >"$tree/src/speech/clears.cpp"
printf 'void Below(Context& ctx) { ctx.poll.bankScanState = BankScan::kOff; }\n' >"$tree/src/banks/selects.cpp"
printf 'void Above(Context& ctx) {\n  PollState& poll = ctx.poll;\n  poll.scanVoice = false;\n}\n' \
  >"$tree/src/command/switches.cpp"
printf 'void Above(Context& ctx) {\n  PanelState& panel = ctx.panel;\n  panel.currentKey = 0;\n}\n' \
  >"$tree/src/command/takes_a_key.cpp"
printf 'void Below(Context& ctx) {\n  BankState& banks = ctx.banks;\n  --banks.bankScanIndex;\n}\n' >"$tree/src/speech/decrements.cpp"
if out=$("$check" "$tree" 2>&1); then
  echo "writes from below passed the check"; exit 1
fi
expect() {
  grep -qF -- "$1" <<<"$out" || { echo "missing from the report: $1"; echo "$out"; exit 1; }
}
expect 'src/config/assigns.cpp:2: config writes app.portSetting (owned by app)'
expect 'src/config/through_reference.cpp:3: config writes app.debugEnabled (owned by app)'
expect 'src/speech/increments.cpp:1: speech writes banks.bankLastSlot (owned by banks)'
expect 'src/speech/clears.cpp:1: speech writes undo.steps (owned by banks)'
expect 'src/speech/decrements.cpp:3: speech writes banks.bankScanIndex (owned by banks)'
expect 'src/banks/selects.cpp:1: banks writes poll.bankScanState (owned by poll)'
expect 'src/command/switches.cpp:3: command writes poll.scanVoice (owned by poll)'
expect 'src/command/takes_a_key.cpp:3: command writes panel.currentKey (owned by panel)'
grep -qE '^total +[0-9]+ +8$' <<<"$out" || { echo "not 8 writes from below:"; echo "$out"; exit 1; }
echo "the state check caught every write from below"
