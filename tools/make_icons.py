#!/usr/bin/env python3
"""Draws the program's two tray icons and writes them as .ico files.

One design, a phone, with a mark in its lower right corner: a green dot when a phone is
connected, a red dot with a white bar when not. Each icon holds 16x16 and 48x48 images at
8 and 32 bits per pixel. Usage: make_icons.py OUTPUT_DIR
"""
import struct
import sys

BODY = (44, 56, 78)
SCREEN = (132, 180, 226)
WHITE = (255, 255, 255)
GREEN = (46, 160, 67)
RED = (204, 56, 48)


def pixel(x, y, size, connected):
    """The colour at the centre of pixel (x, y), or None where the icon is transparent."""
    u, v = (x + 0.5) / size, (y + 0.5) / size
    cx, cy, r = 0.70, 0.72, 0.25
    d2 = (u - cx) ** 2 + (v - cy) ** 2
    if d2 <= r * r:
        if d2 >= (r - 0.06) ** 2:
            return WHITE
        if not connected and abs(v - cy) <= 0.05 and abs(u - cx) <= 0.13:
            return WHITE
        return GREEN if connected else RED
    if 0.22 <= u <= 0.70 and 0.06 <= v <= 0.94:
        corner = 0.08
        for ex, ey in ((0.22 + corner, 0.06 + corner), (0.70 - corner, 0.06 + corner),
                       (0.22 + corner, 0.94 - corner), (0.70 - corner, 0.94 - corner)):
            if abs(u - ex) > 0 and abs(v - ey) > 0:
                outside_x = (u < ex) if ex < 0.46 else (u > ex)
                outside_y = (v < ey) if ey < 0.5 else (v > ey)
                if outside_x and outside_y and (u - ex) ** 2 + (v - ey) ** 2 > corner ** 2:
                    return None
        if 0.28 <= u <= 0.64 and 0.14 <= v <= 0.76:
            return SCREEN
        return BODY
    return None


def rows(size, connected):
    # Icon bitmaps are stored bottom-up.
    return [[pixel(x, y, size, connected) for x in range(size)] for y in reversed(range(size))]


def mask(image, size):
    stride = ((size + 31) // 32) * 4
    out = bytearray()
    for row in image:
        bits = bytearray(stride)
        for x, colour in enumerate(row):
            if colour is None:
                bits[x // 8] |= 0x80 >> (x % 8)
        out += bits
    return bytes(out)


def header(size, bits, palette_size):
    return struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, bits, 0, 0, 0, 0, palette_size, 0)


def image32(size, connected):
    image = rows(size, connected)
    xor = bytearray()
    for row in image:
        for colour in row:
            xor += bytes((0, 0, 0, 0)) if colour is None else bytes((colour[2], colour[1], colour[0], 255))
    return header(size, 32, 0) + bytes(xor) + mask(image, size)


def image8(size, connected):
    image = rows(size, connected)
    palette = [(0, 0, 0)]
    for row in image:
        for colour in row:
            if colour is not None and colour not in palette:
                palette.append(colour)
    table = b''.join(bytes((c[2], c[1], c[0], 0)) for c in palette) + bytes(4 * (256 - len(palette)))
    stride = (size + 3) // 4 * 4
    xor = bytearray()
    for row in image:
        line = bytearray(stride)
        for x, colour in enumerate(row):
            line[x] = 0 if colour is None else palette.index(colour)
        xor += line
    return header(size, 8, 256) + table + bytes(xor) + mask(image, size)


def icon(connected):
    images = [(16, 8, image8(16, connected)), (48, 8, image8(48, connected)),
              (16, 32, image32(16, connected)), (48, 32, image32(48, connected))]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, bits, data in images:
        out += struct.pack('<BBBBHHII', size, size, 0, 0, 1, bits, len(data), offset)
        offset += len(data)
    return out + b''.join(data for _, _, data in images)


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else '.'
    for name, connected in (('connected.ico', True), ('not_connected.ico', False)):
        with open(f'{folder}/{name}', 'wb') as f:
            f.write(icon(connected))


if __name__ == '__main__':
    main()
