#!/usr/bin/env python3
"""Writes the pictures of the publishing dialogs (SVG, 48 x 48) into this folder.

The notice look of the skin (data/skin/generate.py): a white page with a folded corner in the
window's blue, and a badge in the skin's green, amber or red. Run it again after changing a
picture: python3 data/publishing/generate.py
"""
import os

HERE = os.path.dirname(os.path.abspath(__file__))

PAGE = ('<path d="M8 3 H30 L40 13 V45 H8 Z" fill="#ffffff" stroke="#0a3780" stroke-width="1.6" '
        'stroke-linejoin="round"/><path d="M30 3 V13 H40" fill="#d6e6fb" stroke="#0a3780" '
        'stroke-width="1.6" stroke-linejoin="round"/>'
        '<path d="M13 11 H25 M13 16 H21" stroke="#7aa6df" stroke-width="2" stroke-linecap="round"/>')


def badge(fill, outline, glyph):
    return (f'<circle cx="33" cy="34" r="11" fill="{fill}" stroke="{outline}" stroke-width="1.4"/>'
            f'<g fill="none" stroke="#ffffff" stroke-width="3" stroke-linecap="round" '
            f'stroke-linejoin="round">{glyph}</g>')


CROSS = '<path d="M28.5 29.5 L37.5 38.5 M37.5 29.5 L28.5 38.5"/>'
MARK = '<path d="M33 28 V35.5"/><path d="M33 40 V40.2" stroke-width="3.4"/>'
TICK = '<path d="M27.5 34.5 L31.5 38.5 L38.5 29.5"/>'
PLUG = ('<path d="M28.5 31 H37.5 V34 A4.5 4.5 0 0 1 28.5 34 Z" fill="#ffffff" stroke="none"/>'
        '<path d="M31 31 V27.5 M35 31 V27.5 M33 38 V41"/>')
PARTS = ('<rect x="12" y="20" width="10" height="10" fill="#20c820"/>'
         '<rect x="12" y="32" width="10" height="9" fill="#c4cdc8"/>')

PICTURES = {
    "NoticePageUnsuitable": PAGE + badge("#d83a30", "#a52a22", CROSS),
    "NoticeNotSetUp": PAGE + badge("#d83a30", "#a52a22", PLUG),
    "NoticePartUnsuitable": PAGE + PARTS + badge("#f0a818", "#b67a08", MARK),
    "PublishComplete": PAGE + badge("#20c820", "#14961a", TICK),
}

for name, body in PICTURES.items():
    with open(os.path.join(HERE, name + ".svg"), "w") as f:
        f.write('<svg xmlns="http://www.w3.org/2000/svg" width="48" height="48" viewBox="0 0 48 48">\n'
                f'{body}\n</svg>\n')
