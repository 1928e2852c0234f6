#!/usr/bin/env python3
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
            total += len(data)
            chunks.write(f"{now} {total}\n")
        os.close(fd)


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
    key_lines = [k[2] for k in keys] + [len(names)]

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


def main():
    if len(sys.argv) == 5 and sys.argv[1] == "record":
        record(*sys.argv[2:])
    elif len(sys.argv) == 4 and sys.argv[1] == "analyse":
        analyse(*sys.argv[2:])
    else:
        print(__doc__, file=sys.stderr)
        sys.exit(2)


if __name__ == "__main__":
    main()
