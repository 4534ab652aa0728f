#!/usr/bin/env python3
"""Checks the sounds the build puts beside the program, without listening:
each is a valid 16-bit mono WAV of a sensible length; each bell has its
strongest partial at its own pitch, well clear of the others; the lever
sounds start with the latch click and end with the low thump.

    check_sounds.py FOLDER
"""
import math
import os
import struct
import sys
import wave

# The pitches the three neighbours' bells are tuned to (Hz).
BELL_PITCH = {"dong.wav": 440.0, "ding.wav": 740.0, "ting.wav": 1240.0}
LEVERS = ("lever-normal.wav", "lever-reverse.wav")

failures = []


def check(cond, what):
    if not cond:
        failures.append(what)
        print("FAIL:", what)


def load(path):
    with wave.open(path, "rb") as w:
        check(w.getnchannels() == 1, "%s is mono" % path)
        check(w.getsampwidth() == 2, "%s is 16-bit" % path)
        rate = w.getframerate()
        frames = w.readframes(w.getnframes())
    samples = struct.unpack("<%dh" % (len(frames) // 2), frames)
    return rate, [s / 32768.0 for s in samples]


def power(samples, rate, f):
    """Goertzel power of frequency f over the samples."""
    k = 2 * math.cos(2 * math.pi * f / rate)
    s1 = s2 = 0.0
    for x in samples:
        s1, s2 = x + k * s1 - s2, s1
    return (s1 * s1 + s2 * s2 - k * s1 * s2) / len(samples)


def rms(samples):
    return math.sqrt(sum(x * x for x in samples) / max(1, len(samples)))


def main():
    folder = sys.argv[1]
    peaks = {}
    for name, pitch in BELL_PITCH.items():
        path = os.path.join(folder, name)
        check(os.path.isfile(path), "%s exists" % path)
        if not os.path.isfile(path):
            continue
        rate, s = load(path)
        length = len(s) / rate
        check(0.5 <= length <= 3.0, "%s lasts %.2f s" % (name, length))
        check(max(abs(x) for x in s) > 0.5, "%s is loud enough" % name)
        # A struck bell: loud at once, fading away.
        head, tail = s[: rate // 10], s[-rate // 10:]
        check(rms(head) > 8 * rms(tail), "%s decays" % name)
        window = s[int(0.05 * rate): int(0.05 * rate) + rate // 4]
        # The strongest frequency between 150 and 3000 Hz, 5 Hz apart.
        best = max(range(150, 3000, 5), key=lambda f: power(window, rate, f))
        peaks[name] = best
        check(abs(best - pitch) <= pitch * 0.02, "%s peaks at %d Hz, tuned to %g" % (name, best, pitch))
        check(power(window, rate, pitch) > 20 * power(window, rate, pitch * 1.25),
              "%s has its energy at its pitch, not beside it" % name)
    check(len(set(peaks.values())) == len(peaks), "every bell has its own pitch")
    lengths = []
    for name in LEVERS:
        path = os.path.join(folder, name)
        check(os.path.isfile(path), "%s exists" % path)
        if not os.path.isfile(path):
            continue
        rate, s = load(path)
        length = len(s) / rate
        lengths.append(length)
        check(0.3 <= length <= 2.0, "%s lasts %.2f s" % (name, length))
        # The latch: a sharp click in the first 20 ms.
        check(max(abs(x) for x in s[: rate // 50]) > 0.2, "%s starts with the latch" % name)
        # The thump: the low end (below 120 Hz) dominates the last part.
        end = s[len(s) - int(0.45 * rate): len(s) - int(0.30 * rate)]
        low = max(power(end, rate, f) for f in range(50, 120, 5))
        high = max(power(end, rate, f) for f in range(1500, 3000, 100))
        check(low > 5 * high, "%s ends with a low thump" % name)
    check(len(set(lengths)) == len(lengths), "the two lever movements differ")
    if failures:
        print("%d check(s) failed" % len(failures))
        return 1
    print("all checks passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
