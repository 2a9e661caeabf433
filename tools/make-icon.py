#!/usr/bin/env python3
"""Writes the application icon, src/ui/win32/Quorvel.ico: two folders with an
arrow from the first to the second (a copy from source to target), at 16x16
and 32x32 in 32-bit BGRA. Standard library only; run it again after changing
the drawing and commit the .ico with it."""
import os
import struct
import sys

SIZES = (16, 32)
SUPERSAMPLE = 4  # subsamples per pixel edge, for soft edges

AMBER = (240, 184, 48)
AMBER_EDGE = (150, 100, 10)
BLUE = (80, 140, 230)
BLUE_EDGE = (30, 70, 150)
GREEN = (30, 170, 60)
GREEN_EDGE = (10, 90, 30)


def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x < x1 and y0 <= y < y1


def triangle(a, b, c):
    def side(p, q, x, y):
        return (q[0] - p[0]) * (y - p[1]) - (q[1] - p[1]) * (x - p[0])

    def inside(x, y):
        d = (side(a, b, x, y), side(b, c, x, y), side(c, a, x, y))
        return all(v >= 0 for v in d) or all(v <= 0 for v in d)
    return inside


def inset(r, d):
    x0, y0, x1, y1 = r
    return (x0 + d, y0 + d, x1 - d, y1 - d)


def folder(body, fill, edge, px):
    """Layers of one folder: a tab on the body's upper left, both outlined."""
    x0, y0, x1, y1 = body
    tab = (x0, y0 - round(0.10 / px) * px, x0 + round((x1 - x0) * 0.42 / px) * px, y0 + px)
    layers = []
    for part in (tab, body):
        layers.append((rect(*part), edge))
        layers.append((rect(*inset(part, px)), fill))
    return layers


def layers_for(size):
    px = 1.0 / size  # outlines one pixel wide at every size

    def snap(r):
        # Rectangles on whole pixels, so the small size stays crisp.
        return tuple(round(v * size) / size for v in r)

    layers = []
    layers += folder(snap((0.02, 0.16, 0.58, 0.50)), AMBER, AMBER_EDGE, px)  # source
    layers += folder(snap((0.42, 0.56, 0.98, 0.94)), BLUE, BLUE_EDGE, px)    # target
    # An arrow down out of the source and right into the target; outlined
    # only where there are pixels to spare for it.
    head = ((0.26, 0.58), (0.26, 0.94), (0.44, 0.76))
    shaft_down = snap((0.10, 0.46, 0.22, 0.82))
    shaft_right = snap((0.10, 0.70, 0.30, 0.82))
    if size >= 32:
        for r in (shaft_down, shaft_right):
            layers.append((rect(*inset(r, -px)), GREEN_EDGE))
        layers.append((triangle(*head), GREEN_EDGE))
        (ax, ay), (bx, by), (cx, cy) = head
        head = ((ax + px, ay + 2 * px), (bx + px, by - 2 * px), (cx - 1.5 * px, cy))
    for r in (shaft_down, shaft_right):
        layers.append((rect(*r), GREEN))
    layers.append((triangle(*head), GREEN))
    return layers


def render(size):
    """Rows top to bottom of (r, g, b, a), straight (not premultiplied) alpha."""
    layers = layers_for(size)
    n = SUPERSAMPLE
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0, 0, 0]
            hits = 0
            for sy in range(n):
                for sx in range(n):
                    x = (px + (sx + 0.5) / n) / size
                    y = (py + (sy + 0.5) / n) / size
                    colour = None
                    for inside, c in layers:
                        if inside(x, y):
                            colour = c
                    if colour is not None:
                        hits += 1
                        for i in range(3):
                            acc[i] += colour[i]
            if hits:
                row.append(tuple(round(v / hits) for v in acc) + (round(255 * hits / (n * n)),))
            else:
                row.append((0, 0, 0, 0))
        rows.append(row)
    return rows


def bmp_image(size, rows):
    """The icon image: a BITMAPINFOHEADER of twice the height, the BGRA rows
    bottom up, then the 1-bit AND mask (set where fully transparent)."""
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = bytearray()
    for row in reversed(rows):
        for r, g, b, a in row:
            pixels += bytes((b, g, r, a))
    stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        line = bytearray(stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += line
    return header + bytes(pixels) + bytes(mask)


def ico(images):
    out = bytearray(struct.pack('<HHH', 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack('<BBBBHHII', size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for _, data in images:
        out += data
    return bytes(out)


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    target = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, 'src', 'ui', 'win32', 'Quorvel.ico')
    data = ico([(s, bmp_image(s, render(s))) for s in SIZES])
    with open(target, 'wb') as f:
        f.write(data)
    print(f'{target}: {len(data)} bytes')


if __name__ == '__main__':
    main()
