#!/usr/bin/env python3
"""Draws the saver's icon, a shaded ball, as a 32 x 32 icon of 16 colours.

    ballicon.py OUT.ico

The picture is computed from the numbers below alone, so every build writes
the same bytes.
"""
import math
import struct
import sys

SIZE = 32
CENTRE = 15.5
RADIUS = 14.6
# Direction the light comes from: up, left and towards the viewer.
LIGHT = (-0.45, -0.55, 0.70)

# Index 0 is black, used under the transparent part of the mask; 1 to 15 run
# from the ball's shadowed rim through its body colour to the highlight.
RAMP = [
    (0x00, 0x00, 0x00),
    (0x10, 0x08, 0x30), (0x1c, 0x0e, 0x50), (0x28, 0x16, 0x70), (0x34, 0x20, 0x90),
    (0x3e, 0x2c, 0xac), (0x48, 0x3c, 0xc4), (0x50, 0x50, 0xd8), (0x58, 0x66, 0xe8),
    (0x62, 0x80, 0xf0), (0x70, 0x9a, 0xf6), (0x84, 0xb4, 0xfa), (0xa0, 0xcc, 0xfc),
    (0xc0, 0xe0, 0xfe), (0xe0, 0xf0, 0xff), (0xff, 0xff, 0xff),
]
BAYER = [[0, 8, 2, 10], [12, 4, 14, 6], [3, 11, 1, 9], [15, 7, 13, 5]]


def normalised(vector):
    length = math.sqrt(sum(c * c for c in vector))
    return tuple(c / length for c in vector)


def shade(x, y):
    """Brightness 0..1 of the ball at pixel (x, y), or None outside it."""
    dx, dy = (x - CENTRE) / RADIUS, (y - CENTRE) / RADIUS
    rest = 1.0 - dx * dx - dy * dy
    if rest < 0:
        return None
    normal = (dx, dy, math.sqrt(rest))
    light = normalised(LIGHT)
    diffuse = max(0.0, sum(n * l for n, l in zip(normal, light)))
    # Reflection of the light about the normal, seen from straight ahead.
    reflected_z = 2 * diffuse * normal[2] - light[2]
    highlight = max(0.0, reflected_z) ** 24
    return min(1.0, 0.08 + 0.72 * diffuse + 0.45 * highlight)


def pixels():
    """Rows top to bottom of (palette index, transparent)."""
    rows = []
    for y in range(SIZE):
        row = []
        for x in range(SIZE):
            brightness = shade(x, y)
            if brightness is None:
                row.append((0, True))
                continue
            # Ordered dithering spreads the 15 shades into a smooth ramp.
            level = brightness * 14 + (BAYER[y % 4][x % 4] + 0.5) / 16 - 0.5
            row.append((1 + max(0, min(14, round(level))), False))
        rows.append(row)
    return rows


def icon_bytes():
    rows = pixels()
    colour_rows, mask_rows = [], []
    for row in reversed(rows):  # bitmaps are stored bottom-up
        colour_rows.append(bytes((row[x][0] << 4) | row[x + 1][0] for x in range(0, SIZE, 2)))
        bits = 0
        for index, (_, transparent) in enumerate(row):
            bits |= transparent << (SIZE - 1 - index)
        mask_rows.append(bits.to_bytes(SIZE // 8, "big"))
    colours = b"".join(colour_rows)
    mask = b"".join(mask_rows)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in RAMP)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, 2 * SIZE, 1, 4, 0, len(colours) + len(mask), 0, 0, 0, 0)
    image = header + palette + colours + mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(image), 6 + 16)
    return directory + entry + image


def main():
    with open(sys.argv[1], "wb") as out:
        out.write(icon_bytes())


if __name__ == "__main__":
    main()
