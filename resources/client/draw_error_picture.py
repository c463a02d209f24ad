#!/usr/bin/env python3
"""Draws the error page's picture (an unplugged cable under a cloud) and writes it into
skin/webstatic/error.html as the page's data URI. draw_error_picture.py [OUT.png]"""

import base64
import math
import os
import re
import struct
import sys
import zlib

WIDTH, HEIGHT = 342, 190
CLOUD = (0xF7, 0xC4, 0x62)
FACE = (0x93, 0x59, 0x29)
CABLE = (0x67, 0x67, 0x67)


def coverage(inside, x, y):
    """Share of the pixel's 4x4 samples inside the shape: soft edges without a library."""
    hits = sum(inside(x + (i + 0.5) / 4, y + (j + 0.5) / 4) for i in range(4) for j in range(4))
    return hits / 16.0


def in_circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def in_rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x <= x1 and y0 <= y <= y1


def in_segment(x0, y0, x1, y1, width):
    def inside(x, y):
        dx, dy = x1 - x0, y1 - y0
        t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / float(dx * dx + dy * dy)))
        return math.hypot(x - (x0 + t * dx), y - (y0 + t * dy)) <= width / 2.0
    return inside


def union(*shapes):
    return lambda x, y: any(s(x, y) for s in shapes)


def layers():
    cloud = union(in_circle(130, 80, 42), in_circle(180, 62, 52), in_circle(228, 84, 38),
                  in_rect(100, 84, 250, 122), in_circle(100, 100, 22), in_circle(250, 100, 22))
    eyes = union(in_segment(150, 70, 162, 82, 4), in_segment(162, 70, 150, 82, 4),
                 in_segment(198, 70, 210, 82, 4), in_segment(210, 70, 198, 82, 4))
    mouth = in_segment(166, 102, 194, 102, 4)
    left_cable = union(in_segment(40, 160, 120, 160, 6), in_rect(120, 150, 142, 170),
                       in_rect(142, 154, 154, 157), in_rect(142, 163, 154, 166))
    right_cable = union(in_segment(214, 160, 302, 160, 6), in_rect(194, 150, 214, 170))
    sparks = union(in_segment(168, 150, 176, 144, 3), in_segment(170, 160, 182, 160, 3),
                   in_segment(168, 170, 176, 176, 3))
    return [(cloud, CLOUD), (union(eyes, mouth), FACE), (union(left_cable, right_cable), CABLE), (sparks, CLOUD)]


def pixels():
    rows = []
    shapes = layers()
    for y in range(HEIGHT):
        row = bytearray([0])
        for x in range(WIDTH):
            r = g = b = a = 0.0
            for inside, colour in shapes:
                c = coverage(inside, x, y)
                if c == 0:
                    continue
                r, g, b = [colour[i] * c + v * (1 - c) for i, v in enumerate((r, g, b))]
                a = c + a * (1 - c)
            row += bytes([int(r / a + 0.5) if a else 0, int(g / a + 0.5) if a else 0,
                          int(b / a + 0.5) if a else 0, int(a * 255 + 0.5)])
        rows.append(bytes(row))
    return b"".join(rows)


def png(raw):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)
    header = struct.pack(">IIBBBBB", WIDTH, HEIGHT, 8, 6, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")


def main(out_png=None):
    data = png(pixels())
    if out_png:
        with open(out_png, "wb") as f:
            f.write(data)
    page_path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "skin", "webstatic", "error.html")
    with open(page_path, "rb") as f:
        page = f.read().decode("utf-8")
    uri = "data:image/png;base64," + base64.b64encode(data).decode("ascii")
    page = re.sub(r'data:image/png;base64,[A-Za-z0-9+/=]*', uri, page, count=1)
    with open(page_path, "wb") as f:
        f.write(page.encode("utf-8"))


if __name__ == "__main__":
    main(*sys.argv[1:])
