#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Hamlib's Python bindings (Debian's python3-hamlib, hence /usr/bin/python3)
against the panel: 50 rounds of get and set.

    tools/interop-python.py PORT [ROUNDS]

Each round sets the frequency (even rounds) or the mode (odd rounds) through
Hamlib's NET rigctl model, then reads back the frequency, the mode, the level
and the VFO: five calls a round. Every call must succeed and every read must
give what was set. Prints the counts; exits 1 on any error or mismatch.
"""
import sys

import Hamlib

FREQUENCIES = [145_500_000, 14_074_000, 446_006_250, 7_100_000]
MODES = [("USB", Hamlib.RIG_MODE_USB), ("AM", Hamlib.RIG_MODE_AM), ("FM", Hamlib.RIG_MODE_FM)]


def main():
    port = sys.argv[1]
    rounds = int(sys.argv[2]) if len(sys.argv) > 2 else 50
    Hamlib.rig_set_debug(Hamlib.RIG_DEBUG_NONE)
    rig = Hamlib.Rig(Hamlib.RIG_MODEL_NETRIGCTL)
    rig.set_conf("rig_pathname", "127.0.0.1:" + port)
    rig.open()
    if rig.error_status != Hamlib.RIG_OK:
        print("open failed: %s" % Hamlib.rigerror(rig.error_status))
        return 1
    calls = errors = mismatches = 0
    frequency, mode = None, None
    for round_number in range(rounds):
        if round_number % 2 == 0:
            frequency = FREQUENCIES[(round_number // 2) % len(FREQUENCIES)]
            rig.set_freq(Hamlib.RIG_VFO_CURR, frequency)
        else:
            mode = MODES[(round_number // 2) % len(MODES)]
            rig.set_mode(mode[1])
        calls += 1
        errors += rig.error_status != Hamlib.RIG_OK
        got_frequency = rig.get_freq()
        calls += 1
        errors += rig.error_status != Hamlib.RIG_OK
        mismatches += int(got_frequency) != frequency
        got_mode, _ = rig.get_mode()
        calls += 1
        errors += rig.error_status != Hamlib.RIG_OK
        mismatches += mode is not None and got_mode != mode[1]
        rig.get_level_i(Hamlib.RIG_LEVEL_STRENGTH)
        calls += 1
        errors += rig.error_status != Hamlib.RIG_OK
        rig.get_vfo()
        calls += 1
        errors += rig.error_status != Hamlib.RIG_OK
    rig.close()
    print("%d calls, %d errors, %d mismatches" % (calls, errors, mismatches))
    return 0 if errors == 0 and mismatches == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
