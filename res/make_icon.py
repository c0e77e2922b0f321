#!/usr/bin/env python3
"""Draws the application icon: a dark green tile with a bright "Z", in 16, 32
and 48 pixel sizes, written as a Windows .ico with 32-bit images."""
import struct
import sys

BACKGROUND = (12, 34, 13)
INK = (120, 230, 90)
EDGE = (60, 140, 50)


def pixel(size, x, y):
    """Colour and alpha of one pixel; coordinates in 0..1 with y downwards."""
    u, v = (x + 0.5) / size, (y + 0.5) / size
    corner = 0.18
    dx, dy = max(corner - u, u - (1 - corner), 0), max(corner - v, v - (1 - corner), 0)
    if dx * dx + dy * dy > corner * corner:
        return (0, 0, 0, 0)
    stroke = 0.14
    top = 0.2 <= v <= 0.2 + stroke and 0.2 <= u <= 0.8
    bottom = 0.8 - stroke <= v <= 0.8 and 0.2 <= u <= 0.8
    # The diagonal runs from the top right to the bottom left.
    diagonal = 0.2 <= v <= 0.8 and abs((u - 0.2) - (0.8 - v)) <= stroke * 0.75
    if top or bottom or diagonal:
        return INK + (255,)
    if dx * dx + dy * dy > (corner - 1.5 / size) ** 2:
        return EDGE + (255,)
    return BACKGROUND + (255,)


def image(size):
    rows = []
    for y in reversed(range(size)):  # bottom-up, as in a DIB
        for x in range(size):
            r, g, b, a = pixel(size, x, y)
            rows.append(struct.pack('<BBBB', b, g, r, a))
    colour = b''.join(rows)
    mask_row = ((size + 31) // 32) * 4
    mask = b'\0' * mask_row * size
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0,
                         len(colour) + len(mask), 0, 0, 0, 0)
    return header + colour + mask


def main(path):
    sizes = [16, 32, 48]
    images = [image(s) for s in sizes]
    out = struct.pack('<HHH', 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for size, data in zip(sizes, images):
        out += struct.pack('<BBBBHHII', size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(path, 'wb') as f:
        f.write(out + b''.join(images))


if __name__ == '__main__':
    main(sys.argv[1])
