#!/usr/bin/env python3
"""Makes the alert sounds shipped with Lanyx (resources/chat/sounds/*.wav).

The sounds are synthesised here so that their source is in the repository:
short mono 16-bit PCM files at 22,050 Hz, small enough for any sound device.
Run it again after changing a sound: python3 tools/make-sounds.py
"""
import math
import struct
import wave
from pathlib import Path

RATE = 22050
OUT = Path(__file__).resolve().parent.parent / "resources" / "chat" / "sounds"


def tone(freqs, length, decay, start=0.0):
    """(start, samples): a bell-like tone of partials (frequency, level)."""
    n = int(length * RATE)
    out = []
    for i in range(n):
        t = i / RATE
        attack = min(1.0, t / 0.004)
        env = attack * math.exp(-t / decay)
        out.append(env * sum(level * math.sin(2 * math.pi * f * t) for f, level in freqs))
    return int(start * RATE), out


def mix(parts, total):
    buf = [0.0] * int(total * RATE)
    for start, samples in parts:
        for i, s in enumerate(samples):
            if start + i < len(buf):
                buf[start + i] += s
    peak = max(abs(s) for s in buf) or 1.0
    return [s / peak * 0.7 for s in buf]


def write(name, samples):
    with wave.open(str(OUT / name), "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(b"".join(struct.pack("<h", int(s * 32767)) for s in samples))


def main():
    OUT.mkdir(parents=True, exist_ok=True)
    bell = [(1.0, 1.0), (2.76, 0.35), (5.4, 0.12)]
    # Chime: two bell notes, a fifth apart.
    write("Chime.wav", mix([tone([(880 * m, l) for m, l in bell], 0.6, 0.18),
                            tone([(1318.5 * m, l) for m, l in bell], 0.7, 0.22, 0.14)], 0.85))
    # Ding: one clear note.
    write("Ding.wav", mix([tone([(1046.5 * m, l) for m, l in bell], 0.6, 0.2)], 0.6))
    # Knock: two low, short thumps.
    knock = [(180, 1.0), (410, 0.4), (950, 0.15)]
    write("Knock.wav", mix([tone(knock, 0.12, 0.03), tone(knock, 0.12, 0.03, 0.16)], 0.32))


if __name__ == "__main__":
    main()
