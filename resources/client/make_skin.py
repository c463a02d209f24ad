#!/usr/bin/env python3
"""Builds the client's skin archive, the XML layouts under skin/ and the images drawn
here, and the program's icon: make_skin.py SKIN_DIR OUT.zip OUT.ico [IMAGES_DIR] (the
images are also written to IMAGES_DIR when given, for looking at them)."""

import math
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts"))
from skin_drawing import (Canvas, arc, brand_icon, brand_logo, circle, gif_bytes, outline, png_bytes,  # noqa: E402
                          polygon, rounded_rect, segment, subtract, union, write_skin)

GLYPH = (0x5C, 0x4B, 0x3E, 255)        # warm dark brown on the cream title bar
HOT = (0x5C, 0x4B, 0x3E, 22)
PUSHED = (0x5C, 0x4B, 0x3E, 46)
CLOSE_HOT = (0xE0, 0x43, 0x34, 255)
CLOSE_PUSHED = (0xB8, 0x33, 0x27, 255)
WHITE = (255, 255, 255, 255)
BLUE = (0x37, 0x91, 0xC3, 255)


def back(cx, cy):
    return union(segment(cx - 6, cy, cx + 6, cy, 1.6), segment(cx - 6, cy, cx - 1, cy - 5, 1.6),
                 segment(cx - 6, cy, cx - 1, cy + 5, 1.6))


def forward(cx, cy):
    return union(segment(cx - 6, cy, cx + 6, cy, 1.6), segment(cx + 6, cy, cx + 1, cy - 5, 1.6),
                 segment(cx + 6, cy, cx + 1, cy + 5, 1.6))


def reload(cx, cy):
    # Clockwise round to the top, where the head points on.
    head = polygon([(cx + 3.4, cy - 6), (cx - 0.8, cy - 9.8), (cx - 0.8, cy - 2.2)])
    return union(arc(cx, cy, 6, -30, 300, 1.6), head)


def setting(cx, cy):
    teeth = [segment(cx + 5 * math.cos(a), cy + 5 * math.sin(a), cx + 7.2 * math.cos(a), cy + 7.2 * math.sin(a), 2.6)
             for a in (math.radians(45 * i + 22.5) for i in range(8))]
    return subtract(union(circle(cx, cy, 5.4), *teeth), circle(cx, cy, 2.3))


def minimise(cx, cy):
    return segment(cx - 5, cy, cx + 5, cy, 1.2)


def maximise(cx, cy):
    return outline(rounded_rect(cx - 5, cy - 5, cx + 5, cy + 5, 0.6), 1.2)


def restore(cx, cy):
    front = rounded_rect(cx - 5, cy - 3, cx + 3, cy + 5, 0.6)
    behind = outline(rounded_rect(cx - 3, cy - 5, cx + 5, cy + 3, 0.6), 1.2)
    return union(outline(front, 1.2), subtract(behind, rounded_rect(cx - 5.6, cy - 3.6, cx + 3.6, cy + 5.6, 0.6)))


def close(cx, cy):
    return union(segment(cx - 5, cy - 5, cx + 5, cy + 5, 1.3), segment(cx - 5, cy + 5, cx + 5, cy - 5, 1.3))


def title_button(glyph, width, hot=HOT, pushed=PUSHED, glyph_hot=GLYPH):
    """Three looks side by side: normal, hot, pushed."""
    canvas = Canvas(width * 3, 30)
    for frame, (background, colour) in enumerate(((None, GLYPH), (hot, glyph_hot), (pushed, glyph_hot))):
        left = frame * width
        box = (left, 0, left + width, 30)
        if background:
            canvas.paint(rounded_rect(left, 0, left + width, 30, 0), background, box)
        canvas.paint(glyph(left + width / 2.0, 15), colour, box)
    return canvas


def icon16(shape, colour):
    canvas = Canvas(16, 16)
    canvas.paint(shape, colour)
    return canvas


def pill(colour):
    canvas = Canvas(34, 34)
    canvas.paint(rounded_rect(0, 0, 34, 34, 17), colour)
    return canvas


def thumb(colour):
    canvas = Canvas(8, 16)
    canvas.paint(rounded_rect(0, 0, 8, 16, 4), colour)
    return canvas


def close_icon(colour):
    """The update window's 26x26 close glyph."""
    canvas = Canvas(26, 26)
    canvas.paint(close(13, 13), colour)
    return canvas


def loading_gif():
    """Twelve dots round a circle, the bright one going clockwise, on the white page."""
    width, height, levels = 150, 154, 64
    dot = (0x26, 0x86, 0xC6)
    palette = [tuple(int(round(255 + (c - 255) * i / (levels - 1))) for c in dot) for i in range(levels)]
    frames = []
    for step in range(12):
        canvas = Canvas(width, height)
        for i in range(12):
            angle = math.radians(30 * i - 90)
            x, y = 75 + 34 * math.cos(angle), 77 + 34 * math.sin(angle)
            strength = max(0.15, 1.0 - ((step - i) % 12) / 12.0)
            canvas.paint(circle(x, y, 6), (0, 0, 0, int(255 * strength)), (x - 8, y - 8, x + 8, y + 8))
        frames.append([[int(round(p[3] * (levels - 1))) for p in canvas.pixels[row * width:(row + 1) * width]]
                       for row in range(height)])
    return gif_bytes(frames, palette, 8)


def triangle():
    canvas = Canvas(22, 22)
    canvas.paint(polygon([(6, 9), (16, 9), (11, 14.5)]), (0x8A, 0x8A, 0x8A, 255))
    return canvas


def banner_close(colour):
    canvas = Canvas(11, 11)
    canvas.paint(union(segment(1, 1, 10, 10, 1.4), segment(1, 10, 10, 1, 1.4)), colour)
    return canvas


def images():
    nav, window = 36, 40
    drawn = {
        "title/back.png": title_button(back, nav),
        "title/forward.png": title_button(forward, nav),
        "title/reload.png": title_button(reload, nav),
        "title/setting.png": title_button(setting, nav),
        "title/min.png": title_button(minimise, window),
        "title/max.png": title_button(maximise, window),
        "title/restore.png": title_button(restore, window),
        "title/close.png": title_button(close, window, CLOSE_HOT, CLOSE_PUSHED, WHITE),
        "common/warning.png": icon16(union(outline(circle(8, 8, 6.6), 1.4), segment(8, 4.6, 8, 8.8, 1.7),
                                           circle(8, 11.4, 1.0)), WHITE),
        "common/ok.png": icon16(union(segment(3.5, 8.5, 6.5, 11.5, 1.8), segment(6.5, 11.5, 12.5, 4.5, 1.8)), BLUE),
        "common/close.png": icon16(close(8, 8), (0x8A, 0x8A, 0x8A, 255)),
        "circle_y1_34.png": pill((0xF0, 0x9E, 0x1C, 255)),
        "circle_y2_34.png": pill((0xF5, 0xB0, 0x3E, 255)),
        "circle_g1_34.png": pill((0xEC, 0xEC, 0xEC, 255)),
        "circle_g2_34.png": pill((0xDD, 0xDD, 0xDD, 255)),
        "scroll_q_8.png": thumb((0xB4, 0xB4, 0xB4, 255)),
        "scroll_s_8.png": thumb((0x8C, 0x8C, 0x8C, 255)),
        "i_triangle.png": triangle(),
        "new_close.png": banner_close(WHITE),
        "new_close_ht.png": banner_close((0xFF, 0xE0, 0x8A, 255)),
        "logo.png": brand_logo(121, 97, rim=4),
        "icon_gb.png": close_icon((0x8B, 0x57, 0x2A, 255)),
        "icon_gb_hg.png": close_icon(CLOSE_HOT),
    }
    files = {name: png_bytes(canvas) for name, canvas in drawn.items()}
    files["loading.gif"] = loading_gif()
    return files


if __name__ == "__main__":
    write_skin(sys.argv[1], sys.argv[2], images(), sys.argv[3], brand_icon, *sys.argv[4:])
