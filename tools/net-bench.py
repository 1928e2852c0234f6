#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Times a network control's answers, as a logging program meets them.

    tools/net-bench.py gets PORT COMMAND COUNT [--speaking]
    tools/net-bench.py sets PORT COUNT
    tools/net-bench.py open PORT COUNT

gets: one connection, COUNT requests one after the other ("f", "l STRENGTH"),
each timed from its line sent to its answer read. --speaking keeps the panel
talking meanwhile: a second connection sets new frequencies one after the
other, and the panel says each one.
sets: one connection sets COUNT new frequencies one after the other; from
the second on, each arrives while the panel says the one before.
open: `rigctl -m 2 -r 127.0.0.1:PORT v` COUNT times, each timed whole (the
client opens, asks its opening questions and the one request, and closes).
Prints "median p95 max" in milliseconds.
"""
import socket
import subprocess
import sys
import threading
import time

FREQUENCIES = [145_500_000, 145_012_500, 145_250_000, 145_775_000]


def ask(sock, line, answer_lines):
    start = time.monotonic()
    sock.sendall((line + "\n").encode())
    data = b""
    while data.count(b"\n") < answer_lines:
        chunk = sock.recv(4096)
        if not chunk:
            raise RuntimeError("connection closed")
        data += chunk
    return (time.monotonic() - start) * 1000, data.decode(errors="replace")


def figures(times):
    times = sorted(times)

    def rank(p):
        return times[min(len(times) - 1, max(0, int(len(times) * p + 0.999999) - 1))]

    return "%.1f %.1f %.1f" % (rank(0.5), rank(0.95), times[-1])


def keep_talking(port, stop):
    with socket.create_connection(("127.0.0.1", port)) as sock:
        sock.settimeout(30)
        i = 0
        while not stop.is_set():
            ask(sock, "F %d" % FREQUENCIES[i % len(FREQUENCIES)], 1)
            i += 1


def gets(port, command, count, speaking):
    stop = threading.Event()
    talker = None
    if speaking:
        talker = threading.Thread(target=keep_talking, args=(port, stop), daemon=True)
        talker.start()
        time.sleep(1.0)
    lines = 2 if command == "m" else 1
    times = []
    with socket.create_connection(("127.0.0.1", port)) as sock:
        sock.settimeout(30)
        for _ in range(count):
            elapsed, _ = ask(sock, command, lines)
            times.append(elapsed)
            time.sleep(0.01)
    stop.set()
    if talker:
        talker.join(timeout=30)
    return times


def sets(port, count):
    times = []
    with socket.create_connection(("127.0.0.1", port)) as sock:
        sock.settimeout(30)
        for i in range(count):
            elapsed, text = ask(sock, "F %d" % FREQUENCIES[i % len(FREQUENCIES)], 1)
            if not text.startswith("RPRT 0"):
                raise RuntimeError("set refused: " + text)
            if i > 0:
                times.append(elapsed)
    return times


def opens(port, count):
    times = []
    for _ in range(count):
        start = time.monotonic()
        subprocess.run(["rigctl", "-m", "2", "-r", "127.0.0.1:%d" % port, "v"],
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
        times.append((time.monotonic() - start) * 1000)
    return times


def main():
    what, port = sys.argv[1], int(sys.argv[2])
    if what == "gets":
        times = gets(port, sys.argv[3], int(sys.argv[4]), "--speaking" in sys.argv)
    elif what == "sets":
        times = sets(port, int(sys.argv[3]))
    else:
        times = opens(port, int(sys.argv[3]))
    print(figures(times))


if __name__ == "__main__":
    main()
