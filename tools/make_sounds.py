#!/usr/bin/env python3
"""Makes the program's sounds: the block bells of the three neighbouring
boxes and the two lever movements, as 16-bit mono WAV files.

    tools/make_sounds.py OUTPUT_FOLDER

Every sound is synthesised here from fixed numbers (and a fixed noise
seed), so each run writes the same files.

Bells: a block bell is a small dome struck by a hammer. Each is a sum of
partials (inharmonic, as a dome's are), each decaying exponentially, the
higher ones faster, with a short noisy strike at the start.

Levers: the catch handle lifts the latch (a sharp click), the lever travels
through the frame (a scraping rumble with the rattle of the rods), and it
comes home against the end of the quadrant (a heavy thump with a short
metallic ring) where the latch drops in again.
"""
import math
import os
import random
import struct
import sys
import wave

RATE = 22050

# name: (fundamental Hz, [(ratio, level, decay per second)], length s)
BELLS = {
    # Pellam St.: the deepest bell, a round dome with a strong hum note.
    "dong.wav": (440.0, [(1.0, 1.0, 2.2), (0.5, 0.35, 1.4), (2.0, 0.3, 4.0),
                         (2.76, 0.4, 5.5), (4.07, 0.15, 8.0), (5.40, 0.08, 11.0)], 2.0),
    # Osier Lane Jc.: a middle bell, brighter, with a strong second partial.
    "ding.wav": (740.0, [(1.0, 1.0, 3.0), (2.32, 0.45, 5.0), (3.89, 0.25, 8.0),
                         (5.13, 0.12, 12.0)], 1.6),
    # Carrowby Wendrick South Jc.: a small high bell, thin and quick to die.
    "ting.wav": (1240.0, [(1.0, 1.0, 4.5), (2.76, 0.3, 9.0), (5.40, 0.12, 15.0)], 1.2),
}


def bell(fundamental, partials, length, rng):
    n = int(length * RATE)
    out = [0.0] * n
    for ratio, level, decay in partials:
        f = fundamental * ratio
        if f >= RATE / 2:
            continue
        phase = rng.random() * 2 * math.pi
        w = 2 * math.pi * f / RATE
        for i in range(n):
            t = i / RATE
            out[i] += level * math.exp(-decay * t) * math.sin(w * i + phase)
    # The hammer: 6 ms of noise, falling away at once, and a soft onset of
    # the partials so the strike does not click.
    strike = int(0.006 * RATE)
    for i in range(n):
        if i < strike:
            out[i] += 0.5 * (rng.random() * 2 - 1) * (1 - i / strike)
        if i < 40:
            out[i] *= i / 40
    return out


def noise_lowpassed(n, rng, smooth):
    out, y = [], 0.0
    for _ in range(n):
        y += smooth * ((rng.random() * 2 - 1) - y)
        out.append(y)
    return out


def lever(travel, thump_hz, ring_hz, weight, rng):
    latch = 0.03
    n = int((latch + travel + 0.45) * RATE)
    out = [0.0] * n

    def click(start, level, length, brightness):
        s = int(start * RATE)
        m = int(length * RATE)
        for i in range(m):
            if s + i < n:
                e = math.exp(-i / (m / 5))
                out[s + i] += level * e * (rng.random() * 2 - 1) * brightness \
                    + level * e * math.sin(2 * math.pi * 2200 * i / RATE) * (1 - brightness)

    # The latch lifting out of its notch.
    click(0.0, 0.8, 0.02, 0.7)
    # The travel: rumble swelling and fading, with rod rattles.
    s = int(latch * RATE)
    m = int(travel * RATE)
    rumble = noise_lowpassed(m, rng, 0.08)
    for i in range(m):
        x = i / m
        env = math.sin(math.pi * x) ** 0.7
        out[s + i] += 0.9 * weight * env * rumble[i]
    for k in range(4):
        click(latch + travel * (0.15 + 0.2 * k + 0.05 * rng.random()), 0.18, 0.012, 0.9)
    # Home: the thump, the ring of the frame, the latch dropping in.
    s = int((latch + travel) * RATE)
    for i in range(n - s):
        t = i / RATE
        out[s + i] += weight * math.exp(-t * 18) * math.sin(2 * math.pi * thump_hz * t)
        out[s + i] += 0.25 * math.exp(-t * 25) * math.sin(2 * math.pi * ring_hz * t)
    click(latch + travel, 0.6, 0.015, 0.8)
    click(latch + travel + 0.05, 0.45, 0.015, 0.5)
    return out


def write(path, samples, peak=0.85):
    top = max(1e-9, max(abs(v) for v in samples))
    # A short fade at the end, so the file does not stop with a click.
    fade = min(len(samples), int(0.02 * RATE))
    for i in range(fade):
        samples[-1 - i] *= i / fade
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(b"".join(struct.pack("<h", int(round(v / top * peak * 32767))) for v in samples))


def main():
    if len(sys.argv) != 2:
        sys.stderr.write("usage: make_sounds.py OUTPUT_FOLDER\n")
        return 2
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    rng = random.Random(1964)
    for name, (f, partials, length) in BELLS.items():
        write(os.path.join(folder, name), bell(f, partials, length, rng))
    # Pulling a lever over (reverse) is the heavier movement; putting it
    # back (normal) is quicker and lighter.
    write(os.path.join(folder, "lever-reverse.wav"), lever(0.42, 70.0, 520.0, 1.0, rng))
    write(os.path.join(folder, "lever-normal.wav"), lever(0.30, 85.0, 610.0, 0.8, rng))
    return 0


if __name__ == "__main__":
    sys.exit(main())
