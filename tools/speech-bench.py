#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Measures what the listener hears, for tools/run-bench.

  speech-bench.py record FIFO RAW CHUNKS
      Reads the sound SDL's disk audio driver writes into FIFO until it is
      closed; keeps the samples in RAW and, for every read, the time it came
      (ns) and the bytes read so far in CHUNKS.

  speech-bench.py analyse WORK WAVEDIR
      WORK holds audio.raw, chunks.txt, transcript.txt and events.txt
      ("start NS" when the panel was started, "key NAME NS LINES" for a key
      pressed at NS when the transcript had LINES lines). Finds every prompt
      of the transcript in the sound: a spoken prompt's speech is the first
      sound after the previous prompt ends, and it ends one file length after
      its file began. Prints the measures of the speech benchmark.

  speech-bench.py quiet RAW SECONDS
      Waits (at most 30 s) until the last SECONDS of the sound recorded so far
      are silent: the panel has said all it had to say.

  speech-bench.py pace WORK WAVEDIR
      The keys typed at a typist's pace: WORK also holds xev.txt (what xev
      printed for the panel's window: every key press with the X server's
      time) and, in events.txt, "clock NS" (wall-clock less monotonic time,
      the X server's clock) and "step NAME NS" at the start of each step.
      Prompts are found in the sound by their own samples, so WAVEDIR must be
      at the device's rate (32 kHz, 16-bit mono), which the panel plays
      unconverted: a prompt cut short is still found by its beginning.

  speech-bench.py names WORK WAVEDIR
      Channel names (tools/names-bench): WORK holds what pace reads, with the
      steps "select", "f", "down", "f" and "f5" (F five times, 150 ms apart,
      on a named channel). A name's first sample after the end of the prompt
      file before it, the first time it is said and again, and F x5 over its
      ideal (the keys' span and one readout as heard).

  speech-bench.py ssip WORK LOG
      Speech through speech-dispatcher: WORK holds events.txt ("f" and "cut"
      steps) and xev.txt; LOG is the server's log at level 5. F to its
      message reaching the server, and the key that cuts a readout to the
      server's CANCEL.

The sound is 16-bit mono at the rate given by BENCH_AUDIO_RATE (32000, the
rate the panel asks its device for; 44100 for the panel before it).
"""
import array
import os
import statistics
import sys
import time
import wave

THRESHOLD = 64  # |sample| at or below this is silence (-54 dBFS)
# A prompt is found in the sound by its first strong sample, which resampling
# to the device's rate does not move (a faint one may cross the silence
# threshold in one and not in the other).
ONSET = 2000


def record(fifo, raw_path, chunks_path):
    total = 0
    with open(raw_path, "wb") as raw, open(chunks_path, "w") as chunks:
        fd = os.open(fifo, os.O_RDONLY)
        while True:
            data = os.read(fd, 1 << 16)
            if not data:
                break
            now = time.time_ns()
            raw.write(data)
            raw.flush()
            total += len(data)
            chunks.write(f"{now} {total}\n")
        os.close(fd)


def quiet(raw_path, seconds):
    rate = int(os.environ.get("BENCH_AUDIO_RATE", "32000"))
    window = int(float(seconds) * rate) * 2
    deadline = time.monotonic() + 30
    while time.monotonic() < deadline:
        size = os.path.getsize(raw_path)
        if size >= window:
            with open(raw_path, "rb") as f:
                f.seek(size - window - size % 2)
                tail = array.array("h", f.read(window))
            if all(abs(s) <= THRESHOLD for s in tail):
                return
        time.sleep(0.2)


class Prompt:
    """A prompt file: its length and the silence at either end, in seconds."""

    def __init__(self, path):
        with wave.open(path) as w:
            rate, width, channels = w.getframerate(), w.getsampwidth(), w.getnchannels()
            frames = w.readframes(w.getnframes())
        samples = array.array("h", frames)[::channels] if width == 2 else array.array("h")
        self.length = len(samples) / rate
        loud = [i for i, s in enumerate(samples) if abs(s) > THRESHOLD]
        if loud:
            self.lead = loud[0] / rate
            self.trail = (len(samples) - 1 - loud[-1]) / rate
            self.onset = next(i for i, s in enumerate(samples) if abs(s) > ONSET) / rate
        else:
            self.lead = self.trail = None  # silence through and through
        self.speech = self.length - (self.lead or 0) - (self.trail or 0) if loud else 0.0


class Sound:
    """The recorded sound with the wall-clock time of every sample."""

    def __init__(self, work, rate):
        self.rate = rate
        with open(os.path.join(work, "audio.raw"), "rb") as f:
            self.samples = array.array("h", f.read())
        self.chunks = []  # (ns, first sample, samples)
        done = 0
        with open(os.path.join(work, "chunks.txt")) as f:
            for line in f:
                ns, total = map(int, line.split())
                self.chunks.append((ns, done, total // 2 - done))
                done = total // 2
        self.loud = [i for i, s in enumerate(self.samples) if abs(s) > ONSET]

    def time_of(self, index):
        """Seconds (epoch) at which sample INDEX sounds. The disk driver
        writes through a stdio buffer, so a read brings the samples written
        since the last one, the newest sounding as it came: the time of a
        sample is its read's time less the samples after it in that read
        (exact to one device buffer, which the driver writes at once)."""
        lo, hi = 0, len(self.chunks) - 1
        while lo < hi:
            mid = (lo + hi + 1) // 2
            if self.chunks[mid][1] <= index:
                lo = mid
            else:
                hi = mid - 1
        ns, first, count = self.chunks[lo]
        return ns / 1e9 - (first + count - index) / self.rate

    def index_at(self, seconds):
        """The first sample sounding at or after SECONDS."""
        for ns, first, count in self.chunks:
            if ns / 1e9 > seconds:
                return first + max(0, count - int((ns / 1e9 - seconds) * self.rate))
        return len(self.samples)

    def next_loud(self, index):
        import bisect

        at = bisect.bisect_left(self.loud, index)
        return self.loud[at] if at < len(self.loud) else None


def prompt_names(work):
    names = []
    with open(os.path.join(work, "transcript.txt"), errors="replace") as f:
        for line in f:
            line = line.rstrip("\n")
            names.append(line[len("prompt wave\\"):] if line.startswith("prompt wave\\") else None)
    return names


def locate(sound, prompts, names, start_index):
    """Places each named prompt in the sound from sample START_INDEX on.
    Returns [(name, file start, file end, speech start, speech end)] in
    samples; silent prompts get None for their speech."""
    placed = []
    cursor = start_index
    pending_silent = []
    for name in names:
        prompt = prompts[name]
        if prompt.lead is None:
            pending_silent.append(name)
            continue
        loud = sound.next_loud(cursor)
        if loud is None:
            break
        file_start = loud - round(prompt.onset * sound.rate)
        file_end = file_start + round(prompt.length * sound.rate)
        speech_start = file_start + round(prompt.lead * sound.rate)
        for silent in pending_silent:
            placed.append((silent, None, None, None, None))
        pending_silent = []
        placed.append((name, file_start, file_end, speech_start,
                       speech_start + round(prompt.speech * sound.rate)))
        cursor = file_end - round(prompt.trail * sound.rate) + 1
    return placed


def load_prompts(wavedir, names):
    prompts = {}
    for name in names:
        if name and name not in prompts:
            base = name.lower()
            if not base.endswith(".wav"):
                base += ".wav"
            prompts[name] = Prompt(os.path.join(wavedir, base))
    return prompts


def analyse(work, wavedir):
    rate = int(os.environ.get("BENCH_AUDIO_RATE", "32000"))
    sound = Sound(work, rate)
    names = prompt_names(work)
    prompts = load_prompts(wavedir, names)
    events = []
    with open(os.path.join(work, "events.txt")) as f:
        for line in f:
            events.append(line.split())
    start_ns = int(next(e[1] for e in events if e[0] == "start"))
    keys = [(e[1], int(e[2]) / 1e9, int(e[3])) for e in events if e[0] == "key"]
    # The keys typed at a typist's pace (pace) come after these.
    steps = [int(e[3]) for e in events if e[0] == "step"]
    key_lines = [k[2] for k in keys] + [steps[0] if steps else len(names)]

    rows = []

    def row(measure, value, unit, target=""):
        rows.append((measure, value, unit, target))

    # Start-up: every prompt before the first key.
    startup = [n for n in names[: key_lines[0]] if n]
    placed = locate(sound, prompts, startup, 0)
    spoken = [p for p in placed if p[1] is not None]
    connected = [p for p in spoken if p[0] == "connected"]
    if connected:
        row("start to \"connected\" begins", sound.time_of(connected[-1][3]) - start_ns / 1e9, "s", "<= 4.0 s")
        row("start to \"connected\" ends", sound.time_of(connected[-1][4]) - start_ns / 1e9, "s")
        # The part the prompts take, whatever the machine's start-up costs.
        row("  first sample to \"connected\" begins",
            (connected[-1][3] - spoken[0][3]) / sound.rate, "s")
    pauses = []
    gaps = []
    # Silent prompts between two spoken ones: the time they hold the sound.
    all_placed = [(placed, startup)]
    for k, (key, pressed, line) in enumerate(keys):
        readout = [n for n in names[line : key_lines[k + 1]] if n]
        all_placed.append((locate(sound, prompts, readout, sound.index_at(pressed)), readout))
    for placed, _ in all_placed:
        run = 0
        previous = None
        for p in placed:
            if p[1] is None:
                run += 1
                continue
            if previous is not None:
                if run:
                    pauses.append((p[1] - previous[2]) / sound.rate / run)
                else:
                    gaps.append((p[3] - previous[4]) / sound.rate)
            previous = p
            run = 0

    for k, (key, pressed, line) in enumerate(keys):
        placed = all_placed[k + 1][0]
        spoken = [p for p in placed if p[1] is not None]
        if not spoken or key in ("4", "5", "2", "period"):
            continue
        first = sound.time_of(spoken[0][3]) - pressed
        last = sound.time_of(spoken[-1][4]) - pressed
        speech = sum(prompts[p[0]].speech for p in spoken)
        heard = " ".join(p[0] for p in spoken)
        row(f"key {key} to first sample", first * 1000, "ms")
        row(f"key {key} to last sample ({heard})", last, "s")
        row(f"  speech in it / ratio", f"{speech:.2f} s / {last / speech:.2f}", "")
    if gaps:
        gaps.sort()
        row("silence between prompts, median", statistics.median(gaps) * 1000, "ms", "<= 40 ms")
        row("silence between prompts, 90th pct", gaps[int(0.9 * (len(gaps) - 1))] * 1000, "ms")
    if pauses:
        row("\"shdel\" as played, median", statistics.median(pauses) * 1000, "ms", "150 +- 5 ms")
        row("\"shdel\" as played, range", f"{min(pauses) * 1000:.0f} to {max(pauses) * 1000:.0f}", "ms")
    for measure, value, unit, target in rows:
        text = f"{value:9.2f} {unit}" if isinstance(value, float) and unit == "s" else (
            f"{value:9.1f} {unit}" if isinstance(value, float) else f"{value} {unit}")
        print(f"{measure:48s} {text:>16s} {target:>12s}")


class Exact:
    """Finds prompts in the sound by their own samples."""

    def __init__(self, sound, wavedir):
        self.sound = sound
        self.raw = sound.samples.tobytes()
        self.wavedir = wavedir
        self.cache = {}

    def prompt(self, name):
        if name not in self.cache:
            base = name.lower()
            if not base.endswith(".wav"):
                base += ".wav"
            path = os.path.join(self.wavedir, base)
            info = Prompt(path)
            with wave.open(path) as w:
                if w.getframerate() != self.sound.rate or w.getsampwidth() != 2:
                    sys.exit(f"speech-bench: {path} is not at {self.sound.rate} Hz, 16 bit")
                data = w.readframes(w.getnframes())
            onset = round(info.onset * self.sound.rate) if info.lead is not None else 0
            self.cache[name] = (info, data[onset * 2 : (onset + 64) * 2], onset)
        return self.cache[name]

    def find(self, name, from_index, nth=1):
        """(file start, speech start, speech end) in samples of the NTH
        playing of NAME whose beginning sounds at or after FROM_INDEX."""
        info, pattern, onset = self.prompt(name)
        at = (from_index + onset) * 2
        while True:
            at = self.raw.find(pattern, at)
            if at < 0:
                return None
            if at % 2 == 0:
                nth -= 1
                if nth == 0:
                    start = at // 2 - onset
                    speech = start + round(info.lead * self.sound.rate)
                    return start, speech, speech + round(info.speech * self.sound.rate)
            at += 1

    def length(self, name):
        return self.prompt(name)[0].length


def pace(work, wavedir):
    rate = int(os.environ.get("BENCH_AUDIO_RATE", "32000"))
    sound = Sound(work, rate)
    exact = Exact(sound, wavedir)
    names = prompt_names(work)
    steps, presses = key_presses(work)

    results = {}

    def add(measure, value):
        results.setdefault(measure, []).append(value)

    ones_after_key = []
    for k, (step, begins, line) in enumerate(steps):
        ends = steps[k + 1][1] if k + 1 < len(steps) else float("inf")
        end_line = steps[k + 1][2] if k + 1 < len(steps) else len(names)
        keys = [p for p in presses if begins <= p[1] < ends]
        spoken = [n for n in names[line:end_line] if n and n != "shdel"]
        if not keys:
            continue
        first = keys[0][1]
        if step == "f5":
            # Until the last readout ends: the last loud sample of the step.
            last_loud = None
            stop = sound.index_at(ends) if ends != float("inf") else len(sound.samples)
            for i in range(stop - 1, sound.index_at(first), -1):
                if abs(sound.samples[i]) > THRESHOLD:
                    last_loud = i
                    break
            readout = spoken[len(spoken) * 4 // 5 :]
            ideal = keys[-1][1] - first + sum(exact.length(n) for n in readout)
            heard = sound.time_of(last_loud) - first
            add("F x5, 150 ms apart: first key to the end of the last readout (s)", heard)
            add("  the same over its ideal (last key + one readout)", heard / ideal)
            start = sound.index_at(first)
            for n, (key, pressed) in enumerate(keys[1:], start=2):
                own = exact.find(spoken[0], start, nth=n)
                if own:
                    ones_after_key.append(sound.time_of(own[1]) - pressed)
        elif step == "fm":
            m = keys[-1][1]
            own = exact.find("s", sound.index_at(m))
            if own:
                value = sound.time_of(own[1]) - m
                add("F, then M 300 ms later: M's own speech starts (ms)", value * 1000)
                ones_after_key.append(value)
        elif step == "typed":
            enter = keys[-1][1]
            ok = exact.find("ok", sound.index_at(enter))
            if ok:
                heard = sound.time_of(ok[2]) - first
                ideal = enter - first + exact.length("ok")
                add("145.5125 + Enter, 60 ms a key: first key to the end of \"ok\" (s)", heard)
                add("  the same over its ideal (Enter + \"ok\")", heard / ideal)
    for measure, values in results.items():
        values.sort()
        text = " / ".join(f"{v:.2f}" if v < 100 else f"{v:.0f}" for v in
                          (values[0], statistics.median(values), values[-1]))
        print(f"{measure:66s} {text:>22s}")
    if ones_after_key:
        ones_after_key.sort()
        print(f"key during a readout to its own first sample ({len(ones_after_key)} keys): "
              f"median {statistics.median(ones_after_key) * 1000:.0f} ms, "
              f"worst {ones_after_key[-1] * 1000:.0f} ms")


def key_presses(work):
    """The steps of events.txt (name, seconds, transcript lines) and the key
    presses of xev.txt (key, seconds), both on the wall clock."""
    offset = 0
    steps = []
    with open(os.path.join(work, "events.txt")) as f:
        for line in f:
            e = line.split()
            if e[0] == "clock":
                offset = int(e[1])
            elif e[0] == "step":
                steps.append((e[1], int(e[2]) / 1e9, int(e[3])))
    presses = []
    with open(os.path.join(work, "xev.txt"), errors="replace") as f:
        text = f.read()
    for event in text.split("\n\n"):
        if event.startswith("KeyPress event"):
            stamp = event.split(" time ")[1].split(",")[0]
            key = event.split("keysym 0x")[1].split(", ")[1].split(")")[0]
            if key != "Num_Lock":
                presses.append((key, (int(stamp) * 1_000_000 + offset) / 1e9))
    # X time is the server's monotonic milliseconds, 32 bits wide.
    if presses and steps and abs(presses[0][1] - steps[0][1]) > 1e6:
        sys.exit("speech-bench: the X server's clock is not the monotonic one")
    return steps, presses


def in_steps(steps, presses, total_lines):
    """Each step with its key presses and its transcript lines' range."""
    for k, (step, begins, line) in enumerate(steps):
        ends = steps[k + 1][1] if k + 1 < len(steps) else float("inf")
        end_line = steps[k + 1][2] if k + 1 < len(steps) else total_lines
        yield step, [p for p in presses if begins <= p[1] < ends], line, end_line, ends


def summary(values, scale=1.0, digits=0):
    values = sorted(v * scale for v in values)
    if not values:
        return "-"
    return " / ".join(f"{v:.{digits}f}" for v in (values[0], statistics.median(values), values[-1]))


def names(work, wavedir):
    """Channel names with the recorded prompts: a name's first sample after
    the end of the prompt file before it, cold and cached, and F x5 150 ms
    apart on a named channel over its ideal."""
    rate = int(os.environ.get("BENCH_AUDIO_RATE", "32000"))
    sound = Sound(work, rate)
    exact = Exact(sound, wavedir)
    with open(os.path.join(work, "transcript.txt"), errors="replace") as f:
        lines = [line.rstrip("\n") for line in f]
    steps, presses = key_presses(work)
    said = set()
    gaps = {"cold": [], "cached": []}
    single = None
    ratios = []

    def last_loud_before(stop, start):
        for i in range(min(stop, len(sound.samples)) - 1, start, -1):
            if abs(sound.samples[i]) > THRESHOLD:
                return i
        return None

    for step, keys, line, end_line, ends in in_steps(steps, presses, len(lines)):
        if not keys:
            continue
        start = sound.index_at(keys[0][1])
        stop = sound.index_at(ends) if ends != float("inf") else len(sound.samples)
        if step == "f5":
            last = last_loud_before(stop, start)
            if last is not None and single:
                heard = sound.time_of(last) - keys[0][1]
                ratios.append(heard / (keys[-1][1] - keys[0][1] + single))
            continue
        seen = {}
        for text in lines[line:end_line]:
            if text.startswith("prompt wave\\"):
                prompt = text[len("prompt wave\\"):]
                seen[prompt] = seen.get(prompt, 0) + 1
                before = prompt
            elif text.startswith("name ") and seen:
                # The prompt before the name is its channel's number, the
                # last playing of it in the step (typed digits come before).
                found = None
                for nth in range(1, 50):
                    playing = exact.find(before, start, nth)
                    if not playing or playing[0] >= stop:
                        break
                    found = playing
                if not found:
                    continue
                file_end = found[0] + round(exact.length(before) * rate)
                first = next((i for i in range(file_end, min(file_end + 2 * rate, len(sound.samples)))
                              if abs(sound.samples[i]) > THRESHOLD), None)
                if first is not None:
                    kind = "cached" if text in said else "cold"
                    gaps[kind].append(sound.time_of(first) - sound.time_of(file_end))
                said.add(text)
        if step == "f":
            # One whole readout of F on the named channel, as heard.
            first_loud = next((i for i in range(start, stop) if abs(sound.samples[i]) > THRESHOLD), None)
            last = last_loud_before(stop, start)
            if first_loud is not None and last is not None:
                single = sound.time_of(last) - sound.time_of(first_loud)
    print(f"{'measure (min / median / max)':60s} {'value':>22s} {'target':>10s}")
    for kind in ("cold", "cached"):
        measure = f"name after the prompt before it, {kind}, ms ({len(gaps[kind])} names)"
        print(f"{measure:60s} {summary(gaps[kind], 1000):>22s} {'<= 80':>10s}")
    measure = f"F x5 150 ms apart on a named channel, over its ideal ({len(ratios)} runs)"
    print(f"{measure:60s} {summary(ratios, 1, 2):>22s} {'<= 1.15':>10s}")


def server_log(path):
    """(seconds, "message" or "cancel", text) of speech-dispatcher's log at
    level 5: "[Wed Dec  9 07:30:37 2026 : 592277] speechd: ..."."""
    events = []
    with open(path, errors="replace") as f:
        for line in f:
            if not line.startswith("["):
                continue
            if "Queueing message |" in line:
                kind, text = "message", line.split("|", 1)[1].rsplit("|", 1)[0]
            elif ":DATA:|CANCEL" in line:
                kind, text = "cancel", ""
            else:
                continue
            stamp, micro = line[1:].split("]", 1)[0].rsplit(" : ", 1)
            seconds = time.mktime(time.strptime(stamp.strip(), "%a %b %d %H:%M:%S %Y"))
            events.append((seconds + int(micro) / 1e6, kind, text))
    return events


def ssip(work, log):
    """Speech through speech-dispatcher: F to its message reaching the
    server, and M during F's readout to the server's CANCEL."""
    steps, presses = key_presses(work)
    events = server_log(log)
    to_message = []
    to_cancel = []

    def first_after(kind, moment):
        return next((t for t, k, _ in events if k == kind and t >= moment - 0.002), None)

    for step, keys, _, _, _ in in_steps(steps, presses, 0):
        if step == "f" and keys:
            at = first_after("message", keys[0][1])
            if at is not None:
                to_message.append(at - keys[0][1])
        elif step == "cut" and len(keys) >= 2:
            at = first_after("cancel", keys[-1][1])
            if at is not None:
                to_cancel.append(at - keys[-1][1])
    print(f"{'measure (min / median / max)':60s} {'value':>22s} {'target':>10s}")
    print(f"{f'F to its SSIP message at the server, ms ({len(to_message)} keys)':60s} "
          f"{summary(to_message, 1000, 1):>22s} {'<= 10':>10s}")
    print(f"{f'M cutting F to the SSIP CANCEL, ms ({len(to_cancel)} keys)':60s} "
          f"{summary(to_cancel, 1000, 1):>22s} {'<= 10':>10s}")


def main():
    if len(sys.argv) == 5 and sys.argv[1] == "record":
        record(*sys.argv[2:])
    elif len(sys.argv) == 4 and sys.argv[1] == "analyse":
        analyse(*sys.argv[2:])
    elif len(sys.argv) == 4 and sys.argv[1] == "quiet":
        quiet(*sys.argv[2:])
    elif len(sys.argv) == 4 and sys.argv[1] == "pace":
        pace(*sys.argv[2:])
    elif len(sys.argv) == 4 and sys.argv[1] == "names":
        names(*sys.argv[2:])
    elif len(sys.argv) == 4 and sys.argv[1] == "ssip":
        ssip(*sys.argv[2:])
    else:
        print(__doc__, file=sys.stderr)
        sys.exit(2)


if __name__ == "__main__":
    main()
