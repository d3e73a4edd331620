#!/usr/bin/env python3
"""Writes the sample book's background sound (examples/book/foghorn.wav): a quiet two-tone
foghorn, 1.5 seconds of 8-bit mono at 8000 samples per second, faded in and out so it starts
and stops without a click. Uses only the standard library, so the output is the same on every
machine; it is committed."""
import math
import os
import wave

RATE = 8000
SECONDS = 1.5
VOLUME = 0.22  # of full scale: a background sound, not an alarm
FADE = 0.15  # seconds of fade at each end


def sample(t):
    # The horn's pitch drops from 150 Hz to 110 Hz halfway, like a diaphone's "bee-oh".
    f = 150.0 if t < SECONDS / 2 else 110.0
    phase = 2 * math.pi * f * t
    tone = math.sin(phase) + 0.5 * math.sin(2 * phase) + 0.25 * math.sin(3 * phase)
    envelope = min(1.0, t / FADE, (SECONDS - t) / FADE)
    return VOLUME * envelope * tone / 1.75


def main():
    book = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "examples", "book")
    out = os.path.normpath(os.path.join(book, "foghorn.wav"))
    frames = bytes(
        max(0, min(255, round(128 + 127 * sample(i / RATE)))) for i in range(int(RATE * SECONDS))
    )
    with wave.open(out, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(1)
        w.setframerate(RATE)
        w.writeframes(frames)
    print(out)


if __name__ == "__main__":
    main()
