#!/usr/bin/env python3
"""Draws the Quibbets icon: quibbets.ico for Windows, PNGs for Linux desktops.

The icon is a yellow note sheet with ruled blue lines, a red margin and a folded
top-right corner, in the 16 colours of the Windows palette. quibbets.ico holds two
images (32 x 32 and 16 x 16 pixels, 16 colours each), the sizes and depth the
desktop shows in captions and the notification area. For Linux the same drawing is
written as RGBA PNGs in the icon theme's sizes; from 48 pixels up its lines grow
thicker so that they keep the 32-pixel image's weight. Only the standard library is
used and the output is deterministic, so the committed quibbets.ico is simply this
script's output and the PNGs can be made at build time.

    python3 assets/make_icon.py                  # writes assets/quibbets.ico
    python3 assets/make_icon.py --hicolor DIR    # writes DIR/NxN/apps/quibbets.png
"""

import os
import struct
import sys
import zlib

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
    t = max(1, round(s))  # line width: one pixel up to 32 x 32
    left, top = round(4 * s), round(2 * s)
    right, bottom = size - 1 - round(4 * s), size - 1 - round(2 * s)
    fold = max(3, round(7 * s))
    img = [[CLEAR] * size for _ in range(size)]

    def fill(x0, y0, x1, y1, colour):
        for y in range(max(0, y0), min(size, y1 + 1)):
            for x in range(max(0, x0), min(size, x1 + 1)):
                img[y][x] = colour

    fill(left, top, right, bottom, YELLOW)
    # Ruled lines and the red margin.
    step = max(3, round(4 * s))
    for y in range(top + fold + t, bottom - 2 * t + 1, step):
        fill(left + 2 * t, y, right - 2 * t, y + t - 1, BLUE)
    margin = left + max(2, round(5 * s))
    fill(margin, top + 1, margin + t - 1, bottom - 1, RED)
    # Outline.
    fill(left, top, right, top + t - 1, BLACK)
    fill(left, bottom - t + 1, right, bottom, BLACK)
    fill(left, top, left + t - 1, bottom, BLACK)
    fill(right - t + 1, top, right, bottom, BLACK)
    # Folded corner: cut the top-right triangle, draw the flap below the cut.
    for i in range(fold):
        fill(right - fold + 1 + i, top + i, right, top + i, CLEAR)
        for x in range(right - fold, right - fold + i):
            img[top + i][x] = SILVER if x > right - fold else BLACK
    for i in range(fold):
        fill(right - fold + i - t + 1, top + i, right - fold + i, top + i, BLACK)
    fill(right - fold, top + fold, right, top + fold + t - 1, BLACK)
    fill(right - fold, top, right - fold + t - 1, top + fold, BLACK)
    # A grey shadow along the right and bottom edges.
    if size >= 32:
        fill(right + 1, top + fold + t, right + t, bottom + t, GRAY)
        fill(left + t, bottom + 1, right + t, bottom + t, GRAY)
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


def png_file(img):
    """One image as an 8-bit RGBA PNG; CLEAR pixels are fully transparent."""
    rows = b""
    for row in img:
        line = bytearray(b"\0")  # filter type: none
        for px in row:
            line += bytes((0, 0, 0, 0)) if px is CLEAR else bytes(PALETTE[px]) + b"\xff"
        rows += bytes(line)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    size = len(img)
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(rows, 9)) +
            chunk(b"IEND", b""))


# The sizes of the icon theme's fixed-size folders that desktops look in.
HICOLOR_SIZES = [16, 22, 24, 32, 48, 64, 128, 256]


def write_hicolor(root):
    for n in HICOLOR_SIZES:
        folder = os.path.join(root, f"{n}x{n}", "apps")
        os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, "quibbets.png"), "wb") as f:
            f.write(png_file(draw(n)))


def main():
    if len(sys.argv) == 3 and sys.argv[1] == "--hicolor":
        write_hicolor(sys.argv[2])
        return
    if len(sys.argv) != 1:
        sys.exit("usage: make_icon.py [--hicolor DIR]")
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "quibbets.ico")
    with open(path, "wb") as f:
        f.write(icon_file([32, 16]))
    print(path)


if __name__ == "__main__":
    main()
