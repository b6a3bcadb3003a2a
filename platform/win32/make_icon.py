#!/usr/bin/env python3
"""Draws Keyvane.ico: a key cap with a "K", at 16, 32 and 48 pixels, 32-bit with alpha.

Run it after changing the drawing; the icon it writes sits beside it and is what
Keyvane.rc embeds.  Only the standard library is used.
"""
import os
import struct
import sys

SIZES = (16, 32, 48)
SUPERSAMPLE = 4


def inside_rounded_rect(x, y, x0, y0, x1, y1, r):
    if x < x0 or x > x1 or y < y0 or y > y1:
        return False
    cx = min(max(x, x0 + r), x1 - r)
    cy = min(max(y, y0 + r), y1 - r)
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def inside_k(x, y):
    """The letter K on the cap's face, in unit coordinates (0..1)."""
    if not (0.34 <= y <= 0.70):
        return False
    if 0.33 <= x <= 0.42:
        return True
    mid = 0.52
    # two strokes leaving the stem's middle, one up and one down to the right
    t = (x - 0.40) / (0.66 - 0.40)
    if t < 0 or t > 1:
        return False
    up = mid - t * (mid - 0.34)
    down = mid + t * (0.70 - mid)
    return abs(y - up) <= 0.055 or abs(y - down) <= 0.055


def pixel(u, v):
    """RGBA of one sample, u and v in 0..1."""
    if not inside_rounded_rect(u, v, 0.04, 0.08, 0.96, 0.96, 0.16):
        return (0, 0, 0, 0)
    if inside_rounded_rect(u, v, 0.16, 0.14, 0.84, 0.80, 0.10):
        if inside_k(u, v):
            return (255, 255, 255, 255)
        return (58, 110, 180, 255)  # the cap's face
    return (28, 58, 104, 255)  # its sides


def render(size):
    rows = []
    n = SUPERSAMPLE
    for y in range(size):
        row = []
        for x in range(size):
            acc = [0, 0, 0, 0]
            for sy in range(n):
                for sx in range(n):
                    r, g, b, a = pixel((x + (sx + 0.5) / n) / size, (y + (sy + 0.5) / n) / size)
                    acc[0] += r * a
                    acc[1] += g * a
                    acc[2] += b * a
                    acc[3] += a
            alpha = acc[3] / (n * n)
            if acc[3]:
                row.append(tuple(round(c / acc[3]) for c in acc[:3]) + (round(alpha),))
            else:
                row.append((0, 0, 0, 0))
        rows.append(row)
    return rows


def dib(size):
    """One icon image: BITMAPINFOHEADER, BGRA rows bottom-up, then the 1-bit AND mask."""
    pixels = render(size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    color = b"".join(bytes((b, g, r, a)) for row in reversed(pixels) for (r, g, b, a) in row)
    stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(pixels):
        bits = bytearray(stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + color + bytes(mask)


def icon():
    images = [dib(s) for s in SIZES]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip(SIZES, images):
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b"".join(images)


if __name__ == "__main__":
    target = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), "Keyvane.ico")
    with open(target, "wb") as f:
        f.write(icon())
