#!/usr/bin/env python3
"""Writes Alarm.wav, the control centre's alarm tone: one second of a two-pitch warble
(880 Hz and 660 Hz, alternating every eighth of a second), 16-bit mono at 22050 Hz.

Usage: make-alarm-tone.py [OUTPUT]   (default: Alarm.wav beside this script)
"""
import math
import os
import struct
import sys
import wave

RATE = 22050
SECONDS = 1.0
STEP = 0.125            # each pitch lasts this long
PITCHES = (880.0, 660.0)
LEVEL = 0.45            # of full scale, loud but not clipping
FADE = 0.006            # short ramps at every pitch change, so the steps do not click


def sample(i):
    t = i / RATE
    step = int(t / STEP)
    within = t - step * STEP
    ramp = min(1.0, within / FADE, (STEP - within) / FADE)
    return LEVEL * ramp * math.sin(2 * math.pi * PITCHES[step % 2] * t)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    output = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "Alarm.wav")
    frames = b"".join(struct.pack("<h", int(round(sample(i) * 32767)))
                      for i in range(int(RATE * SECONDS)))
    with wave.open(output, "wb") as tone:
        tone.setnchannels(1)
        tone.setsampwidth(2)
        tone.setframerate(RATE)
        tone.writeframes(frames)


if __name__ == "__main__":
    main()
