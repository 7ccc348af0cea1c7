#!/usr/bin/env python3
"""Writes the edit status bar's pictures (SVG, 15 x 15) into this folder.

Same palette and stroke style as the skin (data/skin/generate.py): a rounded badge with a
white glyph of round caps. Run it again after changing a glyph: python3 data/editor/generate.py
"""
import os

HERE = os.path.dirname(os.path.abspath(__file__))
SIZE = 15

BADGES = {
    # name: (fill, outline, glyph)
    "StatusTick": ("#20c820", "#14961a", '<path d="M4 7.8 L6.5 10.3 L11 4.9" stroke-width="2"/>'),
    "StatusExclamation": ("#f0a818", "#b67a08",
                          '<path d="M7.5 3.6 V8.4" stroke-width="2"/><path d="M7.5 11.2 V11.3" '
                          'stroke-width="2.2"/>'),
    "StatusCross": ("#d83a30", "#a52a22", '<path d="M4.8 4.8 L10.2 10.2 M10.2 4.8 L4.8 10.2" '
                                          'stroke-width="2"/>'),
}


def badge(fill, outline, glyph):
    return (f'<svg xmlns="http://www.w3.org/2000/svg" width="{SIZE}" height="{SIZE}" '
            f'viewBox="0 0 {SIZE} {SIZE}">\n'
            f'<rect x="0.5" y="0.5" width="{SIZE - 1}" height="{SIZE - 1}" rx="4" fill="{fill}" '
            f'stroke="{outline}"/>\n'
            f'<g fill="none" stroke="#ffffff" stroke-linecap="round" stroke-linejoin="round">{glyph}</g>\n'
            f'</svg>\n')


for name, (fill, outline, glyph) in BADGES.items():
    with open(os.path.join(HERE, name + ".svg"), "w") as f:
        f.write(badge(fill, outline, glyph))
