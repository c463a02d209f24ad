"""Drawing and packing for the skins' images: shapes as signed distances with
anti-aliased edges, PNG and animated GIF writers on zlib and struct, and a skin zip
with fixed time stamps, so that a build always produces the same archive."""

import math
import struct
import zipfile
import zlib


def clamp(value, low=0.0, high=1.0):
    return low if value < low else high if value > high else value


class Canvas:
    """RGBA pixels, straight alpha, components 0..1."""

    def __init__(self, width, height, fill=(0, 0, 0, 0)):
        self.width, self.height = width, height
        self.pixels = [list(fill) for _ in range(width * height)]

    def paint(self, distance, color, box=None):
        """Covers the shape whose signed distance (negative inside) is given with a
        colour (r, g, b, a in 0..255); box limits the pixels looked at."""
        r, g, b, a = (c / 255.0 for c in color)
        x0, y0, x1, y1 = box if box else (0, 0, self.width, self.height)
        for y in range(max(0, int(y0)), min(self.height, int(math.ceil(y1)))):
            for x in range(max(0, int(x0)), min(self.width, int(math.ceil(x1)))):
                cover = clamp(0.5 - distance(x + 0.5, y + 0.5)) * a
                if cover <= 0.0:
                    continue
                p = self.pixels[y * self.width + x]
                out_a = cover + p[3] * (1.0 - cover)
                for i, c in enumerate((r, g, b)):
                    p[i] = (c * cover + p[i] * p[3] * (1.0 - cover)) / out_a
                p[3] = out_a

    def rgba_rows(self):
        for y in range(self.height):
            row = bytearray()
            for p in self.pixels[y * self.width:(y + 1) * self.width]:
                row += bytes(int(round(clamp(c) * 255)) for c in p)
            yield bytes(row)


# Signed distances: negative inside the shape.

def circle(cx, cy, radius):
    return lambda x, y: math.hypot(x - cx, y - cy) - radius


def segment(ax, ay, bx, by, width):
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy

    def distance(x, y):
        t = clamp(((x - ax) * dx + (y - ay) * dy) / length2) if length2 else 0.0
        return math.hypot(x - ax - t * dx, y - ay - t * dy) - width / 2.0
    return distance


def rounded_rect(x0, y0, x1, y1, radius):
    cx, cy = (x0 + x1) / 2.0, (y0 + y1) / 2.0
    hx, hy = (x1 - x0) / 2.0 - radius, (y1 - y0) / 2.0 - radius

    def distance(x, y):
        qx, qy = abs(x - cx) - hx, abs(y - cy) - hy
        outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
        return outside + min(max(qx, qy), 0.0) - radius
    return distance


def outline(shape, width):
    return lambda x, y: abs(shape(x, y)) - width / 2.0


def arc(cx, cy, radius, start, sweep, width):
    """A stroke along a circle from angle start (degrees, y downwards) over sweep."""
    ends = [(cx + radius * math.cos(math.radians(a)), cy + radius * math.sin(math.radians(a)))
            for a in (start, start + sweep)]

    def distance(x, y):
        angle = (math.degrees(math.atan2(y - cy, x - cx)) - start) % 360.0
        if angle <= sweep:
            return abs(math.hypot(x - cx, y - cy) - radius) - width / 2.0
        return min(math.hypot(x - ex, y - ey) for ex, ey in ends) - width / 2.0
    return distance


def polygon(points):
    """A convex polygon; the distance is exact enough for one pixel of edge."""
    area = sum(ax * by - bx * ay for (ax, ay), (bx, by) in zip(points, points[1:] + points[:1]))
    turn = 1.0 if area > 0 else -1.0
    edges = []
    for (ax, ay), (bx, by) in zip(points, points[1:] + points[:1]):
        length = math.hypot(bx - ax, by - ay)
        edges.append((ax, ay, turn * (by - ay) / length, -turn * (bx - ax) / length))

    def distance(x, y):
        return max((x - ax) * nx + (y - ay) * ny for ax, ay, nx, ny in edges)
    return distance


def union(*shapes):
    return lambda x, y: min(s(x, y) for s in shapes)


def subtract(shape, hole):
    return lambda x, y: max(shape(x, y), -hole(x, y))


# Files.

def png_bytes(canvas):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)
    raw = b"".join(b"\0" + row for row in canvas.rgba_rows())
    header = struct.pack(">IIBBBBB", canvas.width, canvas.height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) +
            chunk(b"IEND", b""))


def _lzw(indices, min_code_size):
    clear, end = 1 << min_code_size, (1 << min_code_size) + 1
    out, bits, nbits = bytearray(), 0, 0

    def emit(code, size):
        nonlocal bits, nbits
        bits |= code << nbits
        nbits += size
        while nbits >= 8:
            out.append(bits & 0xFF)
            bits >>= 8
            nbits -= 8

    table, size, next_code = {}, min_code_size + 1, end + 1
    emit(clear, size)
    prefix = indices[0]
    for k in indices[1:]:
        if (prefix, k) in table:
            prefix = table[(prefix, k)]
            continue
        emit(prefix, size)
        if next_code < 4096:
            table[(prefix, k)] = next_code
            next_code += 1
            # The reader grows its code one entry later than the writer adds it.
            if next_code > (1 << size) and size < 12:
                size += 1
        else:
            emit(clear, size)
            table, size, next_code = {}, min_code_size + 1, end + 1
        prefix = k
    emit(prefix, size)
    emit(end, size)
    if nbits:
        out.append(bits & 0xFF)
    return bytes(out)


def gif_bytes(frames, palette, delay):
    """Frames of palette indices (lists of rows), one global palette of up to 256
    (r, g, b) entries, each frame shown for delay hundredths of a second, looping."""
    height, width = len(frames[0]), len(frames[0][0])
    bits = max(1, (len(palette) - 1).bit_length())
    table = b"".join(bytes(c) for c in palette) + b"\0\0\0" * ((1 << bits) - len(palette))
    data = bytearray(b"GIF89a" + struct.pack("<HHBBB", width, height, 0x80 | (bits - 1), 0, 0) + table)
    data += b"\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00"
    min_code = max(2, bits)
    for frame in frames:
        data += b"\x21\xF9\x04\x00" + struct.pack("<H", delay) + b"\x00\x00"
        data += b"\x2C" + struct.pack("<HHHHB", 0, 0, width, height, 0)
        coded = _lzw([i for row in frame for i in row], min_code)
        data.append(min_code)
        for at in range(0, len(coded), 255):
            block = coded[at:at + 255]
            data += bytes([len(block)]) + block
        data.append(0)
    data.append(0x3B)
    return bytes(data)


def write_zip(path, entries):
    """entries: name -> bytes; written deflated in name order with one fixed date."""
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as archive:
        for name in sorted(entries):
            info = zipfile.ZipInfo(name, date_time=(2024, 1, 1, 0, 0, 0))
            info.compress_type = zipfile.ZIP_DEFLATED
            info.external_attr = 0o644 << 16
            archive.writestr(info, entries[name])
