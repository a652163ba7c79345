#!/usr/bin/env python3
"""Draws the program's icon and its two tray icons and writes them as .ico files.

One design, a phone; the tray icons add a mark in its lower right corner: a green dot when a
phone is connected, a red dot with a white bar when not. Each icon holds every size Windows asks
for at the scales it offers, at 32 bits per pixel (256 pixels as PNG, as Windows expects), and
16 and 48 pixels at 8 bits for displays with few colours. Usage: make_icons.py OUTPUT_DIR
"""
import struct
import sys
import zlib

SIZES = (16, 20, 24, 32, 40, 48, 64, 256)

BODY = (44, 56, 78)
SCREEN = (132, 180, 226)
WHITE = (255, 255, 255)
GREEN = (46, 160, 67)
RED = (204, 56, 48)


def pixel(x, y, size, connected):
    """The colour at the centre of pixel (x, y), or None where the icon is transparent; connected
    is None for the program's own icon, which has no mark."""
    u, v = (x + 0.5) / size, (y + 0.5) / size
    cx, cy, r = 0.70, 0.72, 0.25
    d2 = (u - cx) ** 2 + (v - cy) ** 2
    if connected is not None and d2 <= r * r:
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


def png(size, connected):
    def chunk(kind, data):
        return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data))
    raw = b''.join(b'\0' + b''.join(bytes((0, 0, 0, 0)) if c is None else bytes(c) + b'\xff'
                                     for c in (pixel(x, y, size, connected) for x in range(size)))
                   for y in range(size))
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', size, size, 8, 6, 0, 0, 0)) +
            chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b''))


def icon(connected):
    images = [(16, 8, image8(16, connected)), (48, 8, image8(48, connected))]
    images += [(size, 32, png(size, connected) if size == 256 else image32(size, connected)) for size in SIZES]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, bits, data in images:
        out += struct.pack('<BBBBHHII', size % 256, size % 256, 0, 0, 1, bits, len(data), offset)
        offset += len(data)
    return out + b''.join(data for _, _, data in images)


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else '.'
    for name, connected in (('palvenor.ico', None), ('connected.ico', True), ('not_connected.ico', False)):
        with open(f'{folder}/{name}', 'wb') as f:
            f.write(icon(connected))


if __name__ == '__main__':
    main()
