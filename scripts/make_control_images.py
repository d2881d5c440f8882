#!/usr/bin/env python3
"""Writes the control's pictures in 16 colours: the icon (32 x 32 and 16 x 16) and the toolbox
bitmap (30 x 28). Both show a small camera: a dark body, a lens with a light ring, a red light.

    python3 scripts/make_control_images.py [OUTPUT_FOLDER]   (default control/res)
"""
import math
import os
import struct
import sys

# The standard 16-colour palette, as RGB.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, DARK_GRAY, LIGHT_GRAY, WHITE, RED, TEAL, CYAN = 0, 8, 7, 15, 9, 6, 14
TRANSPARENT = None


def camera(width, height, background):
    """Rows top first; each pixel a palette index or TRANSPARENT."""
    s = min(width, height) / 32.0
    pixels = [[background] * width for _ in range(height)]
    left, right = round(2 * s), width - 1 - round(2 * s)
    top, bottom = round(9 * s), height - 1 - round(5 * s)
    for y in range(top, bottom + 1):
        for x in range(left, right + 1):
            edge = y in (top, bottom) or x in (left, right)
            pixels[y][x] = BLACK if edge else DARK_GRAY
    # The viewfinder hump on top.
    for y in range(round(5 * s), top):
        for x in range(round(10 * s), width - round(10 * s)):
            pixels[y][x] = BLACK
    cx, cy = (left + right) / 2, (top + bottom) / 2
    radius = (bottom - top) * 0.42
    for y in range(height):
        for x in range(width):
            d = math.hypot(x - cx, y - cy)
            if d <= radius:
                pixels[y][x] = LIGHT_GRAY if d > radius * 0.62 else (
                    CYAN if d < radius * 0.25 else TEAL)
    light = (right - round(3 * s), top + round(2 * s))
    for y in range(light[1], light[1] + max(1, round(2 * s))):
        for x in range(light[0], light[0] + max(1, round(2 * s))):
            pixels[y][x] = RED
    return pixels


def row_bytes(bits):
    return (bits + 31) // 32 * 4


def four_bit_rows(pixels):
    """Bottom row first, as bitmaps store them."""
    out = bytearray()
    for row in reversed(pixels):
        packed = bytearray(row_bytes(len(row) * 4))
        for x, index in enumerate(row):
            value = 0 if index is TRANSPARENT else index
            packed[x // 2] |= value << (4 if x % 2 == 0 else 0)
        out += packed
    return bytes(out)


def mask_rows(pixels):
    out = bytearray()
    for row in reversed(pixels):
        packed = bytearray(row_bytes(len(row)))
        for x, index in enumerate(row):
            if index is TRANSPARENT:
                packed[x // 8] |= 0x80 >> (x % 8)
        out += packed
    return bytes(out)


def palette_bytes():
    return b"".join(bytes((b, g, r, 0)) for r, g, b in PALETTE)


def info_header(width, height, image_size):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, image_size, 0, 0, 16, 16)


def bitmap_file(pixels):
    width, height = len(pixels[0]), len(pixels)
    bits = four_bit_rows(pixels)
    offset = 14 + 40 + 64
    return (struct.pack("<2sIHHI", b"BM", offset + len(bits), 0, 0, offset) +
            info_header(width, height, len(bits)) + palette_bytes() + bits)


def icon_file(images):
    entries, blobs = b"", b""
    offset = 6 + 16 * len(images)
    for pixels in images:
        width, height = len(pixels[0]), len(pixels)
        bits, mask = four_bit_rows(pixels), mask_rows(pixels)
        # An icon image's header counts the colour rows and the mask rows together.
        blob = info_header(width, height * 2, len(bits) + len(mask)) + palette_bytes() + bits + mask
        entries += struct.pack("<BBBBHHII", width, height, 16, 0, 1, 4, len(blob), offset)
        blobs += blob
        offset += len(blob)
    return struct.pack("<HHH", 0, 1, len(images)) + entries + blobs


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(__file__), "..", "control", "res")
    with open(os.path.join(folder, "kaptorax.ico"), "wb") as f:
        f.write(icon_file([camera(32, 32, TRANSPARENT), camera(16, 16, TRANSPARENT)]))
    # The toolbox draws the bitmap on its own face colour: light gray stands for it.
    with open(os.path.join(folder, "toolbox.bmp"), "wb") as f:
        f.write(bitmap_file(camera(30, 28, LIGHT_GRAY)))


if __name__ == "__main__":
    main()
