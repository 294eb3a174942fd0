#!/usr/bin/env python3
"""Draws the program's three 32x32 cursors as PNG files into src/widgets/cursors.

The PNG files are committed; run this only to change them. Shapes are filled white with a
black outline, so the cursors show on light and dark backgrounds alike.
"""
import math
import os
import struct
import zlib

SIZE = 32
BLACK = (0, 0, 0, 255)
WHITE = (255, 255, 255, 255)
CLEAR = (0, 0, 0, 0)


def rounded_rect(x0, y0, x1, y1, r):
    def inside(x, y):
        if not (x0 <= x <= x1 and y0 <= y <= y1):
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r + 0.5
    return inside


def thick_segment(ax, ay, bx, by, width):
    def inside(x, y):
        dx, dy = bx - ax, by - ay
        t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
        return math.hypot(x - ax - t * dx, y - ay - t * dy) <= width / 2
    return inside


def outlined(shapes, lines=()):
    """White union of `shapes` with a black border, plus black `lines` ((x, y0, y1) columns)."""
    def filled(x, y):
        return 0 <= x < SIZE and 0 <= y < SIZE and any(s(x, y) for s in shapes)
    pixels = [[CLEAR] * SIZE for _ in range(SIZE)]
    for y in range(SIZE):
        for x in range(SIZE):
            if filled(x, y):
                edge = not all(filled(x + dx, y + dy) for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
                pixels[y][x] = BLACK if edge else WHITE
    for x, y0, y1 in lines:
        for y in range(y0, y1 + 1):
            pixels[y][x] = BLACK
    return pixels


def hand(finger_tops, finger_bottom, thumb, palm_top, palm_bottom):
    """Four fingers side by side above a palm, their seams drawn down to just above it."""
    lefts = (10, 13, 16, 19)
    fingers = [rounded_rect(x, top, x + 3, finger_bottom, 1) for x, top in zip(lefts, finger_tops)]
    palm = rounded_rect(9, palm_top, 23, palm_bottom, 3)
    seams = [(x, max(finger_tops[i], finger_tops[i + 1]), palm_top) for i, x in enumerate(lefts[1:])]
    return outlined(fingers + [thick_segment(*thumb, 4), palm], seams)


def open_hand():
    return hand((5, 3, 4, 7), 18, (6, 13, 11, 21), 15, 28)


def closed_hand():
    return hand((9, 8, 8, 9), 16, (7, 15, 10, 20), 12, 26)


def crosshair():
    centre = 15
    black = set()
    for i in range(2, 30):
        if abs(i - centre) > 2:
            black.add((i, centre))
            black.add((centre, i))
    for step in range(360):
        a = math.radians(step)
        black.add((round(centre + 8 * math.cos(a)), round(centre + 8 * math.sin(a))))
    black.add((centre, centre))
    pixels = [[CLEAR] * SIZE for _ in range(SIZE)]
    for x, y in black:
        for dx in (-1, 0, 1):
            for dy in (-1, 0, 1):
                if (x + dx, y + dy) not in black and 0 <= x + dx < SIZE and 0 <= y + dy < SIZE:
                    pixels[y + dy][x + dx] = WHITE
    for x, y in black:
        pixels[y][x] = BLACK
    return pixels


def write_png(path, pixels):
    raw = b"".join(b"\0" + b"".join(bytes(p) for p in row) for row in pixels)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    header = struct.pack(">IIBBBBB", SIZE, SIZE, 8, 6, 0, 0, 0)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
                + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


if __name__ == "__main__":
    folder = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "src", "widgets", "cursors")
    write_png(os.path.join(folder, "CURHANDOVER.png"), open_hand())
    write_png(os.path.join(folder, "CURHANDGRAB.png"), closed_hand())
    write_png(os.path.join(folder, "CURSETPOS.png"), crosshair())
