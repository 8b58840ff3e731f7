#!/usr/bin/env python3
"""Draws the program's icon (32x32 and 16x16, 16 colours) and the two 15x15 LED bitmaps.

The outputs are committed; run this again only to change the pictures:
    python3 src/win32/res/make-images.py
"""
import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

# The standard 16-colour palette, as (r, g, b).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, DARK_RED, GREY, RED, WHITE, NAVY = 0, 1, 8, 9, 15, 4
TRANSPARENT = None


def clock_face(size):
    """A clock at three o'clock with a red mark on the hour: the program's own picture."""
    px = [[TRANSPARENT] * size for _ in range(size)]
    c = (size - 1) / 2.0
    r = size / 2.0 - 0.5
    for y in range(size):
        for x in range(size):
            d = math.hypot(x - c, y - c)
            if d <= r - 1.6:
                px[y][x] = WHITE
            elif d <= r + 0.2:
                px[y][x] = BLACK
    # hour ticks at 12, 3, 6 and 9
    tick = max(1, size // 10)
    for k in range(4):
        a = k * math.pi / 2
        for t in range(tick):
            dist = r - 2.2 - t
            x = int(round(c + dist * math.sin(a)))
            y = int(round(c - dist * math.cos(a)))
            px[y][x] = GREY
    # the hands: minute hand to 12, hour hand to 3
    def hand(length, angle, colour, width):
        steps = int(length * 4)
        for s in range(steps + 1):
            dist = length * s / steps
            x = c + dist * math.sin(angle)
            y = c - dist * math.cos(angle)
            for dx in range(width):
                for dy in range(width):
                    xi, yi = int(round(x + dx - (width - 1) / 2)), int(round(y + dy - (width - 1) / 2))
                    if 0 <= xi < size and 0 <= yi < size:
                        px[yi][xi] = colour
    w = 2 if size >= 32 else 1
    hand(r * 0.72, 0.0, NAVY, w)
    hand(r * 0.5, math.pi / 2, NAVY, w)
    # the mark on the hour: a red dot at twelve
    dot = max(1, size // 12)
    for y in range(size):
        for x in range(size):
            if math.hypot(x - c, y - (c - r + 2.8 + dot)) <= dot:
                px[y][x] = RED
    px[int(round(c))][int(round(c))] = BLACK
    return px


def icon_image(px):
    size = len(px)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for (r, g, b) in PALETTE)
    xor_rows = []
    and_rows = []
    for y in reversed(range(size)):
        row = bytearray()
        for x in range(0, size, 2):
            hi = px[y][x] or 0
            lo = px[y][x + 1] or 0
            row.append((hi << 4) | lo)
        while len(row) % 4:
            row.append(0)
        xor_rows.append(bytes(row))
        bits = bytearray()
        for x in range(0, size, 8):
            b = 0
            for i in range(8):
                if px[y][x + i] is TRANSPARENT:
                    b |= 0x80 >> i
            bits.append(b)
        while len(bits) % 4:
            bits.append(0)
        and_rows.append(bytes(bits))
    return header + palette + b''.join(xor_rows) + b''.join(and_rows)


def write_icon(path, sizes):
    images = [icon_image(clock_face(s)) for s in sizes]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for s, data in zip(sizes, images):
        out += struct.pack('<BBBBHHII', s, s, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    out += b''.join(images)
    with open(path, 'wb') as f:
        f.write(out)


KEY = (255, 0, 255)  # painted as the form's own colour


def led(lit, dark):
    """A 15x15 lit LED: a dome shaded from a bright highlight to a dark rim."""
    size = 15
    c = 7.0
    px = [[KEY] * size for _ in range(size)]
    for y in range(size):
        for x in range(size):
            d = math.hypot(x - c, y - c)
            if d > 7.2:
                continue
            if d > 6.2:
                px[y][x] = (64, 64, 64)
                continue
            # light from the upper left
            h = math.hypot(x - (c - 2.2), y - (c - 2.2)) / 8.5
            t = min(1.0, h)
            col = tuple(int(l + (dk - l) * t) for l, dk in zip(lit, dark))
            if math.hypot(x - (c - 2.0), y - (c - 2.5)) < 1.6:
                col = tuple(min(255, v + 150) for v in col)
            px[y][x] = col
    return px


def write_bmp(path, px):
    size = len(px)
    row_bytes = (size * 3 + 3) & ~3
    data = bytearray()
    for y in reversed(range(size)):
        row = bytearray()
        for (r, g, b) in px[y]:
            row += bytes((b, g, r))
        while len(row) < row_bytes:
            row.append(0)
        data += row
    info = struct.pack('<IiiHHIIiiII', 40, size, size, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    head = struct.pack('<2sIHHI', b'BM', 14 + len(info) + len(data), 0, 0, 14 + len(info))
    with open(path, 'wb') as f:
        f.write(head + info + bytes(data))


if __name__ == '__main__':
    write_icon(os.path.join(HERE, 'hourmark.ico'), [32, 16])
    write_bmp(os.path.join(HERE, 'led_green.bmp'), led((120, 255, 120), (0, 110, 0)))
    write_bmp(os.path.join(HERE, 'led_red.bmp'), led((255, 120, 110), (130, 0, 0)))
