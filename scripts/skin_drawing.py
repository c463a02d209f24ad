"""Drawing and packing for the skins' images and the programs' icons: shapes as signed
distances with anti-aliased edges, the brand mark, PNG, animated GIF and ICO writers on
zlib and struct, and a skin zip with fixed time stamps, so that a build always produces
the same archive."""

import math
import os
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


def ellipse(cx, cy, rx, ry):
    """Near enough to the true distance for one pixel of edge when rx and ry are close."""
    k = min(rx, ry)
    return lambda x, y: (math.hypot((x - cx) / rx, (y - cy) / ry) - 1.0) * k


def rounded_polygon(points, radius):
    """A convex polygon with its corners rounded by radius: each corner moves inwards
    along its bisector to where the rounding's centre lies, and the shape grows around
    that inner polygon by radius."""
    inner = []
    for i, (x, y) in enumerate(points):
        (px, py), (nx, ny) = points[i - 1], points[(i + 1) % len(points)]
        ux, uy = px - x, py - y
        vx, vy = nx - x, ny - y
        lu, lv = math.hypot(ux, uy), math.hypot(vx, vy)
        bx, by = ux / lu + vx / lv, uy / lu + vy / lv
        half = math.acos(clamp((ux * vx + uy * vy) / (lu * lv), -1.0, 1.0)) / 2.0
        step = radius / math.sin(half) / math.hypot(bx, by)
        inner.append((x + bx * step, y + by * step))
    edges = [segment(ax, ay, bx, by, 0.0) for (ax, ay), (bx, by) in zip(inner, inner[1:] + inner[:1])]
    inside = polygon(inner)

    def distance(x, y):
        d = inside(x, y)
        return (d if d <= 0.0 else min(e(x, y) for e in edges)) - radius
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


ICON_SIZES = (16, 20, 24, 32, 48, 256)


def ico_bytes(canvases):
    """A Windows icon file holding one image per canvas: 32-bit BGRA with its mask, and
    the 256-pixel image as PNG, the form Windows reads at that size."""
    images = []
    for canvas in canvases:
        if canvas.width >= 256:
            images.append(png_bytes(canvas))
            continue
        w, h = canvas.width, canvas.height
        rows = list(canvas.rgba_rows())
        mask_stride = (w + 31) // 32 * 4
        pixels, mask = bytearray(), bytearray()
        for row in reversed(rows):  # bottom-up
            pixels += b"".join(bytes((row[i + 2], row[i + 1], row[i], row[i + 3])) for i in range(0, len(row), 4))
            bits = bytearray(mask_stride)
            for x in range(w):
                if row[x * 4 + 3] == 0:
                    bits[x // 8] |= 0x80 >> (x % 8)
            mask += bits
        header = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, len(pixels) + len(mask), 0, 0, 0, 0)
        images.append(header + bytes(pixels) + bytes(mask))
    out = bytearray(struct.pack("<HHH", 0, 1, len(canvases)))
    offset = 6 + 16 * len(canvases)
    for canvas, data in zip(canvases, images):
        side = canvas.width % 256  # 0 stands for 256
        out += struct.pack("<BBBBHHII", side, side, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for data in images:
        out += data
    return bytes(out)


def write_skin(skin_dir, out_zip, images, out_ico, icon, images_dir=None):
    """A program's skin archive (the files under skin_dir and the drawn images, name ->
    bytes) and its icon file (icon(size) draws one size); the images are also written to
    images_dir when given, for looking at them."""
    entries = dict(images)
    if images_dir:
        for name, data in entries.items():
            path = os.path.join(images_dir, name)
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "wb") as f:
                f.write(data)
    for root, _, names in os.walk(skin_dir):
        for name in names:
            path = os.path.join(root, name)
            with open(path, "rb") as f:
                entries[os.path.relpath(path, skin_dir).replace(os.sep, "/")] = f.read()
    write_zip(out_zip, entries)
    with open(out_ico, "wb") as f:
        f.write(ico_bytes([icon(size) for size in ICON_SIZES]))


def write_zip(path, entries):
    """entries: name -> bytes; written deflated in name order with one fixed date."""
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as archive:
        for name in sorted(entries):
            info = zipfile.ZipInfo(name, date_time=(2024, 1, 1, 0, 0, 0))
            info.compress_type = zipfile.ZIP_DEFLATED
            info.external_attr = 0o644 << 16
            archive.writestr(info, entries[name])


# The brand mark: a hive cell (a hexagon, flat at top and bottom) holding a paw print.
# Every feature has a box in units of a 16-pixel design; the box is scaled to the size
# being drawn and its edges are put on whole pixels, so that small icons are crisp
# instead of blurred copies of the large drawing.

BRAND_BLUE = (0x04, 0x95, 0xFD, 255)
BRAND_WHITE = (255, 255, 255, 255)
BADGE_RED = (0xE0, 0x43, 0x34, 255)

# Paw features: (centre x, centre y) from the cell's centre, width, height; the mirror
# image of each toe stands on the other side.
_TOES = (((-2.0, -3.6), 2.4, 3.0), ((-5.0, -1.4), 2.4, 2.8))
_PAD = ((0.0, 2.7), 6.6, 4.2)


def _whole(value):
    return int(math.floor(value + 0.5))


def _box(cx, cy, width, height):
    """A box of whole-pixel size whose edges lie on pixel edges, centred on (cx, cy) as
    near as the grid allows."""
    w, h = max(1, _whole(width)), max(1, _whole(height))
    x0, y0 = _whole(cx - w / 2.0), _whole(cy - h / 2.0)
    return x0, y0, x0 + w, y0 + h


def _hexagon(cx, cy, half_width, top, radius):
    bottom = 2 * cy - top
    q = half_width / 2.0
    points = [(cx - q, top), (cx + q, top), (cx + half_width, cy), (cx + q, bottom), (cx - q, bottom),
              (cx - half_width, cy)]
    return rounded_polygon(points, radius), (cx - half_width - 1, top - 1, cx + half_width + 1, bottom + 1)


def paint_brand_mark(canvas, left, top, size, rim=0, badge=False):
    """The mark in the size x size square at (left, top): a blue cell with a white paw.
    rim draws a white border of that many pixels round the cell (for the blue banners);
    badge adds the uninstaller's red minus disc at the lower right."""
    small = size <= 24
    margin = 0 if small else _whole(size / 32.0)
    cx, cy = left + size / 2.0, top + size / 2.0
    half_width = size / 2.0 - margin
    cell_top = top + _whole(size / 2.0 - half_width * math.sqrt(3) / 2.0)
    if rim:
        shape, box = _hexagon(cx, cy, half_width, cell_top, half_width * 0.06)
        canvas.paint(shape, BRAND_WHITE, box)
        half_width -= rim * 2 / math.sqrt(3)
        cell_top += rim
    shape, box = _hexagon(cx, cy, half_width, cell_top, half_width * 0.06)
    canvas.paint(shape, BRAND_BLUE, box)

    unit = half_width / 8.0
    for (dx, dy), width, height in _TOES:
        for side in (-1, 1):
            x0, y0, x1, y1 = _box(cx + side * dx * unit, cy + dy * unit, width * unit, height * unit)
            if small:
                toe = rounded_rect(x0, y0, x1, y1, min(x1 - x0, y1 - y0) * 0.3)
            else:
                toe = ellipse((x0 + x1) / 2.0, (y0 + y1) / 2.0, (x1 - x0) / 2.0, (y1 - y0) / 2.0)
            canvas.paint(toe, BRAND_WHITE, (x0 - 1, y0 - 1, x1 + 1, y1 + 1))
    (dx, dy), width, height = _PAD
    x0, y0, x1, y1 = _box(cx + dx * unit, cy + dy * unit, width * unit, height * unit)
    canvas.paint(_pad(x0, y0, x1, y1, small), BRAND_WHITE, (x0 - 1, y0 - 1, x1 + 1, y1 + 1))
    if badge:
        _paint_badge(canvas, left, top, size)


def _pad(x0, y0, x1, y1, small):
    """The paw's main pad, narrower at the top: in small sizes a narrower top row on a
    full-width body, so that every edge stays on the pixel grid; in large sizes a
    trapezoid with well-rounded corners."""
    w, h = x1 - x0, y1 - y0
    if small:
        inset, step = max(1, _whole(w * 0.2)), max(1, _whole(h * 0.3))
        return union(rounded_rect(x0 + inset, y0, x1 - inset, y1 - step, 0.6),
                     rounded_rect(x0, y0 + step, x1, y1, 1.0))
    inset = w * 0.2
    return rounded_polygon([(x0 + inset, y0), (x1 - inset, y0), (x1, y1), (x0, y1)], h * 0.42)


def _paint_badge(canvas, left, top, size):
    """A red disc with a white minus, ringed in white, over the cell's lower right."""
    d = max(7, _whole(size * 0.47))
    ring = max(1, _whole(size / 24.0))
    x1, y1 = left + size, top + size
    x0, y0 = x1 - d, y1 - d
    c, r = (x0 + x1) / 2.0, d / 2.0
    canvas.paint(circle(c, (y0 + y1) / 2.0, r), BRAND_WHITE, (x0, y0, x1, y1))
    canvas.paint(circle(c, (y0 + y1) / 2.0, r - ring), BADGE_RED, (x0, y0, x1, y1))
    bar = max(1, _whole(d * 0.16))
    bx0, bx1 = _whole(x0 + d * 0.25), _whole(x1 - d * 0.25)
    by0 = _whole((y0 + y1) / 2.0 - bar / 2.0)
    canvas.paint(rounded_rect(bx0, by0, bx1, by0 + bar, 0.0), BRAND_WHITE, (x0, y0, x1, y1))


def brand_icon(size, badge=False):
    canvas = Canvas(size, size)
    paint_brand_mark(canvas, 0, 0, size, badge=badge)
    return canvas


def brand_logo(width, height, rim):
    """The mark centred in a width x height picture, for the banners."""
    canvas = Canvas(width, height)
    size = min(width, _whole(height * 2 / math.sqrt(3)))
    paint_brand_mark(canvas, (width - size) // 2, (height - size) // 2, size, rim=rim)
    return canvas
