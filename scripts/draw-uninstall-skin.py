#!/usr/bin/env python3
"""Draws the uninstaller skin's images into resources/uninstall/skin:
the title bar's close glyph (normal and hot) and the logo, a hive cell holding a paw.
Run again after changing a shape; the PNGs are committed beside Main.xml."""
import math
import os
import struct
import zlib

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources", "uninstall", "skin")
SAMPLES = 4  # per axis, for smooth edges


def write_png(name, width, height, pixel):
    """pixel(x, y) gives (r, g, b, a) for the centre of each pixel, sampled SAMPLES^2 times."""
    rows = bytearray()
    for y in range(height):
        rows.append(0)
        for x in range(width):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    r, g, b, a = pixel(x + (sx + 0.5) / SAMPLES, y + (sy + 0.5) / SAMPLES)
                    acc[0] += r * a
                    acc[1] += g * a
                    acc[2] += b * a
                    acc[3] += a
            n = SAMPLES * SAMPLES
            alpha = acc[3] / n
            colour = [c / acc[3] if acc[3] else 0 for c in acc[:3]]
            rows += bytes(int(round(c)) for c in colour) + bytes([int(round(alpha * 255))])

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(bytes(rows), 9)) + chunk(b"IEND", b"")
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(png)


def to_segment(x, y, x1, y1, x2, y2):
    dx, dy = x2 - x1, y2 - y1
    t = max(0.0, min(1.0, ((x - x1) * dx + (y - y1) * dy) / (dx * dx + dy * dy)))
    return math.hypot(x - x1 - t * dx, y - y1 - t * dy)


def close_glyph(opacity, width):
    def pixel(x, y):
        d = min(to_segment(x, y, 1.5, 1.5, 9.5, 9.5), to_segment(x, y, 9.5, 1.5, 1.5, 9.5))
        return (255, 255, 255, opacity if d <= width / 2 else 0.0)
    return pixel


def inside_hexagon(x, y, cx, cy, radius):
    """A hexagon with flat top and bottom, corner radius `radius`."""
    px, py = abs(x - cx), abs(y - cy)
    h = radius * math.sqrt(3) / 2
    return py <= h and px * math.sqrt(3) / 2 + py / 2 <= h


def in_ellipse(x, y, cx, cy, rx, ry, angle=0.0):
    c, s = math.cos(angle), math.sin(angle)
    dx, dy = x - cx, y - cy
    u, v = dx * c + dy * s, -dx * s + dy * c
    return (u / rx) ** 2 + (v / ry) ** 2 <= 1


def logo(x, y):
    cx, cy = 60.5, 50.0
    white, paw = (255, 255, 255), (4, 149, 253)
    if not inside_hexagon(x, y, cx, cy, 46):
        return (*white, 0.0)
    if not inside_hexagon(x, y, cx, cy, 41):
        return (*white, 1.0)
    toes = [(-17, -9, -0.35), (-6, -17, -0.12), (6, -17, 0.12), (17, -9, 0.35)]
    if any(in_ellipse(x, y, cx + tx, cy + ty, 5.2, 7.0, a) for tx, ty, a in toes):
        return (*white, 1.0)
    if in_ellipse(x, y, cx, cy + 10, 14, 11):
        return (*white, 1.0)
    return (*paw, 0.0)


def main():
    os.makedirs(OUT, exist_ok=True)
    write_png("icon_gb_24.png", 11, 11, close_glyph(0.8, 1.6))
    write_png("icon_gb_hg_24.png", 11, 11, close_glyph(1.0, 2.2))
    write_png("logo.png", 121, 97, logo)


if __name__ == "__main__":
    main()
