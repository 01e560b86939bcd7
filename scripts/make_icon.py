#!/usr/bin/env python3
"""Writes the program icon: six 48 x 48 images in 32-bit colour (BGRA with an alpha channel),
one artwork (a package with a downward arrow on a rounded tile) in six tile colours, the first
being the one Windows shows. Standard library only; the same bytes on every run.

Usage: make_icon.py OUTPUT.ico
"""
import struct
import sys

SIZE = 48
SAMPLES = 4  # per axis: 16 samples per pixel smooth the edges

# Tile colours, top and bottom of the gradient (R, G, B).
TILES = [
    ((64, 140, 230), (22, 72, 160)),
    ((40, 170, 170), (14, 100, 110)),
    ((80, 175, 90), (30, 110, 45)),
    ((240, 150, 60), (190, 90, 20)),
    ((225, 85, 85), (150, 35, 40)),
    ((150, 105, 210), (85, 50, 145)),
]
WHITE = (255, 255, 255)
SHADE = (222, 230, 240)


def in_rounded_square(x, y, lo, hi, radius):
    if not (lo <= x <= hi and lo <= y <= hi):
        return False
    cx = min(max(x, lo + radius), hi - radius)
    cy = min(max(y, lo + radius), hi - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def in_triangle(x, y, a, b, c):
    def side(p, q):
        return (q[0] - p[0]) * (y - p[1]) - (q[1] - p[1]) * (x - p[0])
    d1, d2, d3 = side(a, b), side(b, c), side(c, a)
    return (d1 >= 0 and d2 >= 0 and d3 >= 0) or (d1 <= 0 and d2 <= 0 and d3 <= 0)


def sample(x, y, tile):
    """The colour (R, G, B, A) of the artwork at the point (x, y), y growing downwards."""
    if in_triangle(x, y, (13, 19), (35, 19), (24, 31)) or (20 <= x <= 28 and 6 <= y <= 20):
        return WHITE + (255,)
    if 11 <= x <= 37 and 27 <= y <= 40:  # the package, its lid a shade darker
        return (SHADE if y < 31 else WHITE) + (255,)
    if in_rounded_square(x, y, 2, 46, 9):
        top, bottom = tile
        t = (y - 2) / 44
        edge = not in_rounded_square(x, y, 3, 45, 8)
        rgb = tuple(round((a + (b - a) * t) * (0.7 if edge else 1)) for a, b in zip(top, bottom))
        return rgb + (255,)
    return (0, 0, 0, 0)


def render(tile):
    """Rows top to bottom of (B, G, R, A) pixels, colours averaged by their alpha."""
    rows = []
    for py in range(SIZE):
        row = []
        for px in range(SIZE):
            acc = [0, 0, 0, 0]
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    r, g, b, a = sample(px + (sx + 0.5) / SAMPLES, py + (sy + 0.5) / SAMPLES, tile)
                    acc = [acc[0] + r * a, acc[1] + g * a, acc[2] + b * a, acc[3] + a]
            alpha = acc[3] / SAMPLES ** 2
            if acc[3] == 0:
                row.append((0, 0, 0, 0))
            else:
                r, g, b = (round(c / acc[3]) for c in acc[:3])
                row.append((b, g, r, round(alpha)))
        rows.append(row)
    return rows


def bitmap(rows):
    """One icon image: BITMAPINFOHEADER (height doubled for the mask), XOR pixels, AND mask."""
    mask_stride = ((SIZE + 31) // 32) * 4
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0,
                         SIZE * SIZE * 4 + SIZE * mask_stride, 0, 0, 0, 0)
    pixels = b"".join(bytes(c for px in row for c in px) for row in reversed(rows))
    mask = b""
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, px in enumerate(row):
            if px[3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(bits)
    return header + pixels + mask


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    images = [bitmap(render(tile)) for tile in TILES]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for image in images:
        out += struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    with open(sys.argv[1], "wb") as f:
        f.write(out + b"".join(images))


if __name__ == "__main__":
    main()
