#!/usr/bin/env python3
"""Writes stats/resources/talven.ico, the icon of the operator windows (resource 108):
a green lamp with a dark ring on the windows' light-yellow background, at 16 and 32
pixels. Run it again only to change the picture; the output is the same every time."""
import math
import os
import struct

BACKGROUND = (255, 250, 198)
RING = (40, 40, 40)
LAMP = (0, 200, 0)
SHINE = (170, 255, 170)


def pixel(size, x, y):
    """Colour (r, g, b, a) of one pixel, with a soft edge sampled at 4 x 4 points."""
    c = (size - 1) / 2.0
    outer = size / 2.0 - 0.5
    ring = max(1.0, size / 14.0)
    inside = 0
    colour = [0.0, 0.0, 0.0]
    for sy in range(4):
        for sx in range(4):
            px = x + (sx + 0.5) / 4 - 0.5
            py = y + (sy + 0.5) / 4 - 0.5
            d = math.hypot(px - c, py - c)
            if d <= outer - ring:
                # A highlight towards the top left makes the disc read as a lamp.
                shine = math.hypot(px - c * 0.7, py - c * 0.7) < size * 0.14
                rgb = SHINE if shine else LAMP
            elif d <= outer:
                rgb = RING
            else:
                rgb = BACKGROUND
            colour = [a + b for a, b in zip(colour, rgb)]
            inside += 1
    return tuple(int(round(v / inside)) for v in colour) + (255,)


def image(size):
    rows = []
    for y in reversed(range(size)):  # bottom-up
        rows.append(b"".join(struct.pack("BBBB", b, g, r, a) for r, g, b, a in (pixel(size, x, y) for x in range(size))))
    xor = b"".join(rows)
    mask_row = ((size + 31) // 32) * 4
    mask = bytes(mask_row * size)  # every pixel opaque
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return header + xor + mask


def main():
    sizes = (16, 32)
    images = [image(s) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for s, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", s, s, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b"".join(images)
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    with open(os.path.join(root, "stats", "resources", "talven.ico"), "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main()
