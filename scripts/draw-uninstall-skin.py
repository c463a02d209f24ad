#!/usr/bin/env python3
"""Builds the uninstaller's skin archive, Main.xml with the images drawn here (the title
bar's close glyph, normal and hot, and the brand mark as the banner's logo), and its
icon, the brand mark with the uninstaller's badge:
draw-uninstall-skin.py SKIN_DIR OUT.zip OUT.ico [IMAGES_DIR]."""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from skin_drawing import Canvas, brand_icon, brand_logo, png_bytes, segment, union, write_skin  # noqa: E402


def close_glyph(opacity, width):
    canvas = Canvas(11, 11)
    canvas.paint(union(segment(1.5, 1.5, 9.5, 9.5, width), segment(9.5, 1.5, 1.5, 9.5, width)),
                 (255, 255, 255, int(round(255 * opacity))))
    return canvas


def images():
    drawn = {
        "icon_gb_24.png": close_glyph(0.8, 1.6),
        "icon_gb_hg_24.png": close_glyph(1.0, 2.2),
        "logo.png": brand_logo(121, 97, rim=4),
    }
    return {name: png_bytes(canvas) for name, canvas in drawn.items()}


if __name__ == "__main__":
    write_skin(sys.argv[1], sys.argv[2], images(), sys.argv[3], lambda size: brand_icon(size, badge=True),
               *sys.argv[4:])
