#!/usr/bin/env python3
"""Draws the program's two icons, resources/ravlen.ico and resources/busy.ico.

Each icon holds a 16x16 and a 32x32 image with 32-bit colour and alpha. The
picture is a printer with a sheet going in and a printed page coming out; the
busy icon adds a red dot. Shapes are described in unit coordinates and
rendered with 4x4 supersampling, so both sizes come from one description.
Needs nothing beyond the standard library.

Usage: scripts/make_icons.py [output directory]   (default: resources/)
"""
import os
import struct
import sys

SUPERSAMPLE = 4

# Colours as (r, g, b, a).
PAPER = (255, 255, 255, 255)
PAPER_EDGE = (120, 120, 130, 255)
INK = (110, 130, 170, 255)
BODY = (70, 84, 104, 255)
BODY_TOP = (104, 120, 142, 255)
SLOT = (30, 34, 42, 255)
LAMP = (70, 210, 90, 255)
BUSY = (220, 30, 30, 255)
BUSY_EDGE = (255, 255, 255, 255)


def rect(x0, y0, x1, y1, colour, radius=0.0):
    def inside(x, y):
        if not (x0 <= x <= x1 and y0 <= y <= y1):
            return False
        if radius <= 0:
            return True
        cx = min(max(x, x0 + radius), x1 - radius)
        cy = min(max(y, y0 + radius), y1 - radius)
        return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2
    return inside, colour


def circle(cx, cy, r, colour):
    return (lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r), colour


def printer_shapes():
    """Shapes in painting order (later ones cover earlier ones)."""
    return [
        # Sheet going in at the top, with two lines of text.
        rect(0.24, 0.04, 0.76, 0.42, PAPER_EDGE),
        rect(0.28, 0.08, 0.72, 0.42, PAPER),
        rect(0.34, 0.16, 0.66, 0.20, INK),
        rect(0.34, 0.26, 0.60, 0.30, INK),
        # Printer body with a lighter top and a paper slot.
        rect(0.04, 0.36, 0.96, 0.80, BODY, radius=0.08),
        rect(0.08, 0.40, 0.92, 0.52, BODY_TOP, radius=0.04),
        rect(0.18, 0.66, 0.82, 0.72, SLOT),
        circle(0.82, 0.46, 0.05, LAMP),
        # Printed page coming out at the bottom.
        rect(0.20, 0.68, 0.80, 0.97, PAPER_EDGE),
        rect(0.24, 0.68, 0.76, 0.93, PAPER),
        rect(0.30, 0.76, 0.70, 0.80, INK),
        rect(0.30, 0.85, 0.62, 0.89, INK),
    ]


def busy_shapes():
    return printer_shapes() + [
        circle(0.74, 0.74, 0.25, BUSY_EDGE),
        circle(0.74, 0.74, 0.20, BUSY),
    ]


def render(shapes, size):
    """Returns rows of (r, g, b, a), top row first."""
    rows = []
    n = SUPERSAMPLE
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(n):
                for sx in range(n):
                    x = (px + (sx + 0.5) / n) / size
                    y = (py + (sy + 0.5) / n) / size
                    colour = None
                    for inside, c in shapes:
                        if inside(x, y):
                            colour = c
                    if colour:
                        a = colour[3] / 255.0
                        acc[0] += colour[0] * a
                        acc[1] += colour[1] * a
                        acc[2] += colour[2] * a
                        acc[3] += a
            count = n * n
            alpha = acc[3] / count
            if alpha > 0:
                r, g, b = (round(acc[i] / acc[3]) for i in range(3))
            else:
                r = g = b = 0
            row.append((r, g, b, round(alpha * 255)))
        rows.append(row)
    return rows


def icon_image(rows):
    """One icon image: BITMAPINFOHEADER, BGRA pixels bottom-up, AND mask."""
    size = len(rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = bytearray()
    for row in reversed(rows):
        for r, g, b, a in row:
            pixels += bytes((b, g, r, a))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a < 128:  # transparent where older systems ignore alpha
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + bytes(pixels) + bytes(mask)


def write_icon(path, shapes, sizes=(16, 32)):
    images = [icon_image(render(shapes, s)) for s in sizes]
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for s, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", s % 256, s % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for data in images:
        out += data
    with open(path, "wb") as f:
        f.write(out)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    target = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "resources")
    write_icon(os.path.join(target, "ravlen.ico"), printer_shapes())
    write_icon(os.path.join(target, "busy.ico"), busy_shapes())


if __name__ == "__main__":
    main()
