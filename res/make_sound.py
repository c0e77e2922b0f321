#!/usr/bin/env python3
"""Synthesises the short success sound: two rising tones with soft edges,
16-bit mono PCM at 22050 Hz."""
import math
import struct
import sys
import wave

RATE = 22050


def tone(frequency, seconds, volume=0.45):
    count = int(RATE * seconds)
    fade = int(RATE * 0.012)
    samples = []
    for i in range(count):
        envelope = min(1.0, i / fade, (count - 1 - i) / fade)
        value = volume * envelope * (math.sin(2 * math.pi * frequency * i / RATE)
                                     + 0.25 * math.sin(4 * math.pi * frequency * i / RATE))
        samples.append(int(max(-1.0, min(1.0, value)) * 32767))
    return samples


def main(path):
    samples = tone(784.0, 0.09) + [0] * int(RATE * 0.02) + tone(1175.0, 0.14)
    with wave.open(path, 'wb') as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(struct.pack('<%dh' % len(samples), *samples))


if __name__ == '__main__':
    main(sys.argv[1])
