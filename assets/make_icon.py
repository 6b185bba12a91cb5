#!/usr/bin/env python3
"""Draws the Quibbets icon and writes quibbets.ico beside this script.

The icon is a yellow note sheet with ruled blue lines, a red margin and a folded
top-right corner, in two images (32 x 32 and 16 x 16 pixels) of 16 colours each,
the sizes and depth the desktop shows in captions and the notification area. Only the standard library is used; the output is deterministic,
so the committed quibbets.ico is simply this script's output.

    python3 assets/make_icon.py
"""

import os
import struct

# The standard 16-colour Windows palette, as (red, green, blue).
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
BLACK, OLIVE, SILVER, GRAY, RED, YELLOW, BLUE, WHITE = 0, 3, 7, 8, 9, 11, 12, 15
CLEAR = None  # transparent pixel


def draw(size):
    """Returns rows (top first) of palette indices or CLEAR for one image."""
    s = size / 32.0
    left, top = round(4 * s), round(2 * s)
    right, bottom = size - 1 - round(4 * s), size - 1 - round(2 * s)
    fold = max(3, round(7 * s))
    img = [[CLEAR] * size for _ in range(size)]
    for y in range(top, bottom + 1):
        for x in range(left, right + 1):
            img[y][x] = YELLOW
    # Ruled lines and the red margin.
    step = max(3, round(4 * s))
    for y in range(top + fold + 1, bottom - 1, step):
        for x in range(left + 2, right - 1):
            img[y][x] = BLUE
    margin = left + max(2, round(5 * s))
    for y in range(top + 1, bottom):
        img[y][margin] = RED
    # Outline.
    for x in range(left, right + 1):
        img[top][x] = BLACK
        img[bottom][x] = BLACK
    for y in range(top, bottom + 1):
        img[y][left] = BLACK
        img[y][right] = BLACK
    # Folded corner: cut the top-right triangle, draw the flap below the cut.
    for i in range(fold):
        for x in range(right - fold + 1 + i, right + 1):
            img[top + i][x] = CLEAR
        img[top + i][right - fold + i] = BLACK
        for x in range(right - fold, right - fold + i):
            img[top + i][x] = SILVER if x > right - fold else BLACK
    for x in range(right - fold, right + 1):
        img[top + fold][x] = BLACK
    for y in range(top, top + fold + 1):
        img[y][right - fold] = BLACK
    # A grey shadow along the right and bottom edges.
    if size >= 32:
        for y in range(top + fold + 1, bottom + 2):
            if y < size and right + 1 < size:
                img[y][right + 1] = GRAY
        for x in range(left + 1, right + 2):
            if bottom + 1 < size and x < size:
                img[bottom + 1][x] = GRAY
    return img


def image_bytes(img):
    """One icon image: BITMAPINFOHEADER, palette, 4-bit colour rows, 1-bit mask."""
    size = len(img)
    colour_row = (size * 4 + 31) // 32 * 4
    mask_row = (size + 31) // 32 * 4
    colours, mask = bytearray(), bytearray()
    for row in reversed(img):  # bottom-up
        packed = bytearray(colour_row)
        bits = bytearray(mask_row)
        for x, px in enumerate(row):
            value = 0 if px is CLEAR else px
            packed[x // 2] |= value << (4 if x % 2 == 0 else 0)
            if px is CLEAR:
                bits[x // 8] |= 0x80 >> (x % 8)
        colours += packed
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0,
                         len(colours) + len(mask), 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    return header + palette + bytes(colours) + bytes(mask)


def icon_file(sizes):
    images = [image_bytes(draw(n)) for n in sizes]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for n, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", n % 256, n % 256, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    return out + b"".join(images)


def main():
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "quibbets.ico")
    with open(path, "wb") as f:
        f.write(icon_file([32, 16]))
    print(path)


if __name__ == "__main__":
    main()
