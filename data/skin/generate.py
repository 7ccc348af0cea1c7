#!/usr/bin/env python3
"""Writes the skin pictures (SVG) of Pagequill into this folder.

One palette and one stroke style for every picture, so that the window images, the tab
headers and the toolbar buttons look like one product at any screen scale. Run it again after
changing a glyph: python3 data/skin/generate.py
"""
import os

HERE = os.path.dirname(os.path.abspath(__file__))
FONT = "DejaVu Sans, Bitstream Vera Sans, sans-serif"

TEAL = "#225e59"       # outline of the tab strip
INK = "#15423d"        # glyphs and labels on the green strip
GREEN = "#20c820"      # the tab strip
GREEN_DARK = "#0b6e10"   # pressed buttons: white labels on it stay legible
GREY = "#4b5a57"         # labels of disabled buttons: neutral, and still 3:1 on the strip
WHITE = "#ffffff"


def svg(width, height, body):
    return (f'<svg xmlns="http://www.w3.org/2000/svg" width="{width}" height="{height}" '
            f'viewBox="0 0 {width} {height}">\n{body}\n</svg>\n')


def write(name, text):
    with open(os.path.join(HERE, name + ".svg"), "w") as f:
        f.write(text)


# ---- window images: 21 x 21 on the blue title band ---------------------------------------
WIN = 21
WIN_GLYPHS = {
    "Close": '<path d="M6.5 6.5 L14.5 14.5 M14.5 6.5 L6.5 14.5" stroke-width="2.2"/>',
    "Min": '<path d="M6 14.5 H15" stroke-width="2.4"/>',
    "Max": '<rect x="5.5" y="5.5" width="10" height="10" rx="1" stroke-width="1.8"/>'
           '<path d="M5.5 7 H15.5" stroke-width="2.4"/>',
    "Norm": '<rect x="8" y="4.5" width="8.5" height="8.5" rx="1" stroke-width="1.5"/>'
            '<rect x="4.5" y="8" width="8.5" height="8.5" rx="1" stroke-width="1.7" '
            'fill="#1a5fc8"/><path d="M4.5 9.2 H13" stroke-width="2"/>',
}


def window_image(glyph, look, danger=False):
    if look == "Norm":
        fill, stroke, opacity, shift = WHITE, WHITE, ("0.14", "0.55"), 0
    elif look == "Hover":
        fill = "#e0483e" if danger else WHITE
        stroke, opacity, shift = WHITE, (("1" if danger else "0.34"), "0.95"), 0
    else:
        fill = "#a52a22" if danger else "#07306f"
        stroke, opacity, shift = WHITE, ("1", "0.8"), 1
    body = (f'<rect x="0.5" y="0.5" width="{WIN - 1}" height="{WIN - 1}" rx="4.5" '
            f'fill="{fill}" fill-opacity="{opacity[0]}" stroke="{stroke}" '
            f'stroke-opacity="{opacity[1]}"/>\n'
            f'<g fill="none" stroke="{WHITE}" stroke-linecap="round" stroke-linejoin="round" '
            f'transform="translate({shift} {shift})">{glyph}</g>')
    return svg(WIN, WIN, body)


def help_image(look):
    w, h = 52, 18
    fill, fo, so, shift = {"Norm": (WHITE, "0.14", "0.55", 0), "Hover": (WHITE, "0.34", "0.95", 0),
                           "Click": ("#07306f", "1", "0.8", 1)}[look]
    body = (f'<rect x="0.5" y="0.5" width="{w - 1}" height="{h - 1}" rx="8.5" fill="{fill}" '
            f'fill-opacity="{fo}" stroke="{WHITE}" stroke-opacity="{so}"/>\n'
            f'<g transform="translate({shift} {shift})">'
            f'<circle cx="10" cy="9" r="5.6" fill="{WHITE}"/>'
            f'<text x="10" y="12.3" font-family="{FONT}" font-size="9" font-weight="bold" '
            f'text-anchor="middle" fill="#0d47b3">?</text>'
            f'<text x="33" y="12.6" font-family="{FONT}" font-size="10" font-weight="bold" '
            f'text-anchor="middle" fill="{WHITE}">Help</text></g>')
    return svg(w, h, body)


for look in ("Norm", "Hover", "Click"):
    for name, glyph in WIN_GLYPHS.items():
        write(f"Img{name}{look}", window_image(glyph, look, danger=(name == "Close")))
    write(f"ImgHelp{look}", help_image(look))


# ---- tab headers: 96 x 28, rounded at the top ----------------------------------------------
def tab(label, look):
    w, h = 96, 28
    path = f"M0.5 {h} V7 Q0.5 0.5 7 0.5 H{w - 7} Q{w - 0.5} 0.5 {w - 0.5} 7 V{h}"
    if look == "Norm":
        top, bottom, text, stroke, weight = "#5fe05f", GREEN, INK, TEAL, "bold"
    elif look == "Unselect":
        top, bottom, text, stroke, weight = "#c9efc9", "#93d493", INK, TEAL, "normal"
    else:
        top, bottom, text, stroke, weight = "#c4cdc8", "#a7b3ad", "#4b5a57", "#7d8a84", "normal"
    body = (f'<defs><linearGradient id="g" x1="0" y1="0" x2="0" y2="1">'
            f'<stop offset="0" stop-color="{top}"/><stop offset="1" stop-color="{bottom}"/>'
            f'</linearGradient></defs>\n'
            f'<path d="{path} Z" fill="url(#g)"/>\n'
            f'<path d="{path}" fill="none" stroke="{stroke}"/>\n'
            f'<text x="{w / 2}" y="19" font-family="{FONT}" font-size="13" '
            f'font-weight="{weight}" text-anchor="middle" fill="{text}">{label}</text>')
    return svg(w, h, body)


for label in ("Browse", "Edit"):
    for look in ("Norm", "Unselect", "Disabled"):
        write(f"Img{label}{look}", tab(label, look))


# ---- toolbar buttons: 58 x 50, a 24 x 24 glyph over a label ---------------------------------
BW, BH = 58, 50
S = 'stroke="currentColor"'
GLYPHS = {
    "Back": '<path d="M19 12 H5 M11 5 L4 12 L11 19" fill="none"/>',
    "Forward": '<path d="M5 12 H19 M13 5 L20 12 L13 19" fill="none"/>',
    "Home": '<path d="M3.5 11.5 L12 4 L20.5 11.5" fill="none"/>'
            '<path d="M6 10 V20 H18 V10" fill="none"/><path d="M10.3 20 V14.5 H13.7 V20" fill="none"/>',
    "Refresh": '<path d="M19 12 A7 7 0 1 1 16.9 7" fill="none"/>'
               '<path d="M17.8 2.8 L17.2 7.4 L12.6 6.8" fill="none"/>',
    "Go": '<circle cx="12" cy="12" r="8.5" fill="none"/>'
          '<path d="M10 7.8 L14.5 12 L10 16.2" fill="none"/>',
    "Cut": '<circle cx="7" cy="17.5" r="3" fill="none"/><circle cx="17" cy="17.5" r="3" fill="none"/>'
           '<path d="M9 15.2 L17 3.5 M15 15.2 L7 3.5" fill="none"/>',
    "Copy": '<rect x="8.5" y="7.5" width="11" height="13" rx="1.5" fill="none"/>'
            '<path d="M15.5 4.5 V4 Q15.5 3.5 15 3.5 H6 Q4.5 3.5 4.5 5 V15.5 Q4.5 16.5 5.5 16.5 H6" fill="none"/>',
    "Paste": '<rect x="5" y="5" width="14" height="16" rx="1.5" fill="none"/>'
             '<rect x="9" y="3" width="6" height="4" rx="1" fill="currentColor" stroke="none"/>'
             '<path d="M8.5 11.5 H15.5 M8.5 15 H13.5" fill="none"/>',
    "Bold": '<text x="12" y="19.5" font-family="{F}" font-size="19" font-weight="bold" '
            'text-anchor="middle" fill="currentColor" stroke="none">B</text>',
    "Italic": '<text x="12.5" y="19.5" font-family="DejaVu Serif, serif" font-size="19" '
              'font-style="italic" font-weight="bold" text-anchor="middle" fill="currentColor" '
              'stroke="none">I</text>',
    "Underline": '<text x="12" y="16.5" font-family="{F}" font-size="16" font-weight="bold" '
                 'text-anchor="middle" fill="currentColor" stroke="none">U</text>'
                 '<path d="M5.5 20.5 H18.5" fill="none"/>',
    "Undo": '<path d="M8 5.5 L3.5 10 L8 14.5" fill="none"/>'
            '<path d="M4 10 H14 A5.5 5.5 0 0 1 14 21 H9" fill="none"/>',
    "Redo": '<path d="M16 5.5 L20.5 10 L16 14.5" fill="none"/>'
            '<path d="M20 10 H10 A5.5 5.5 0 0 0 10 21 H15" fill="none"/>',
    "Preview": '<path d="M2.5 12 Q12 3 21.5 12 Q12 21 2.5 12 Z" fill="none"/>'
               '<circle cx="12" cy="12" r="3.2" fill="currentColor" stroke="none"/>',
    "Publish": '<path d="M7 18.5 H5.5 A4 4 0 0 1 6 10.6 A6 6 0 0 1 17.6 9.3 A4.6 4.6 0 0 1 18.5 18.5 H17" fill="none"/>'
               '<path d="M12 21 V12.5 M8.8 15.5 L12 12.3 L15.2 15.5" fill="none"/>',
}


def button(name, look):
    glyph = GLYPHS[name].replace("{F}", FONT)
    panel = ""
    colour, shift = INK, 0
    if look == "Highlight":
        panel = (f'<rect x="0.5" y="0.5" width="{BW - 1}" height="{BH - 1}" rx="7" fill="{WHITE}" '
                 f'fill-opacity="0.55" stroke="{TEAL}" stroke-opacity="0.75"/>')
    elif look == "Pressed":
        panel = (f'<rect x="0.5" y="0.5" width="{BW - 1}" height="{BH - 1}" rx="7" '
                 f'fill="{GREEN_DARK}" stroke="{INK}"/>'
                 f'<rect x="1.5" y="1.5" width="{BW - 3}" height="3" rx="1.5" fill="#000" '
                 f'fill-opacity="0.12"/>')
        colour, shift = WHITE, 1
    elif look == "Disabled":
        colour = GREY
    # A disabled glyph is drawn thinner as well as grey, so that it reads as unavailable.
    width = "1.5" if look == "Disabled" else "2.2"
    body = (f'{panel}\n<g transform="translate({shift} {shift})" color="{colour}">'
            f'<g transform="translate({(BW - 24) / 2} 4)" {S} stroke-width="{width}" '
            f'stroke-linecap="round" stroke-linejoin="round">{glyph}</g>'
            f'<text x="{BW / 2}" y="44" font-family="{FONT}" font-size="10.5" '
            f'text-anchor="middle" fill="currentColor">{name}</text></g>')
    return svg(BW, BH, body)


for name in GLYPHS:
    for look in ("Normal", "Highlight", "Pressed", "Disabled"):
        write(f"{name}{look}", button(name, look))


# ---- title image: the product's mark and name ----------------------------------------------
title = (
    '<g transform="translate(2 4)">'
    '<path d="M4 2 H22 L30 10 V34 H4 Z" fill="#ffffff" stroke="#0a3780" stroke-width="1.5" '
    'stroke-linejoin="round"/>'
    '<path d="M22 2 V10 H30" fill="#d6e6fb" stroke="#0a3780" stroke-width="1.5" '
    'stroke-linejoin="round"/>'
    '<path d="M9 16 H24 M9 21 H20 M9 26 H17" stroke="#7aa6df" stroke-width="2" '
    'stroke-linecap="round"/>'
    '<path d="M36 0 C27 6 21 16 19 29 L22 28 C25 18 30 9 36 0 Z" fill="#20c820" '
    'stroke="#0e5a12" stroke-width="1.2" stroke-linejoin="round"/>'
    '<path d="M19 29 L18 33" stroke="#0e5a12" stroke-width="1.6" stroke-linecap="round"/>'
    '</g>'
    f'<text x="46" y="29" font-family="{FONT}" font-size="21" font-weight="bold" '
    'fill="#ffffff">Page<tspan fill="#b9f5b9">quill</tspan></text>')
write("TitleImage", svg(170, 42, title).replace('width="170" height="42"', 'width="146" height="36"'))


# ---- notice pictures: 48 x 48 ---------------------------------------------------------------
page = ('<path d="M8 3 H30 L40 13 V45 H8 Z" fill="#ffffff" stroke="#0a3780" stroke-width="1.6" '
        'stroke-linejoin="round"/><path d="M30 3 V13 H40" fill="#d6e6fb" stroke="#0a3780" '
        'stroke-width="1.6" stroke-linejoin="round"/>')
link = ('<g fill="none" stroke="#1a5fc8" stroke-width="3.2" stroke-linecap="round">'
        '<path d="M21 31 L17.5 34.5 A4.6 4.6 0 0 1 11 28 L16 23 A4.6 4.6 0 0 1 22.5 23"/>'
        '<path d="M27 25 L30.5 21.5 A4.6 4.6 0 0 1 37 28 L32 33 A4.6 4.6 0 0 1 25.5 33"/>'
        '<path d="M20.5 30.5 L27.5 25.5" stroke="#20c820"/></g>'
        '<path d="M13 11 H25 M13 16 H21" stroke="#7aa6df" stroke-width="2" stroke-linecap="round"/>')
write("NoticeLink", svg(48, 48, page + link))
layout = ('<rect x="13" y="17" width="22" height="8" rx="1" fill="#20c820"/>'
          '<rect x="13" y="28" width="10" height="11" rx="1" fill="#7aa6df"/>'
          '<path d="M26 29 H35 M26 33 H35 M26 37 H32 M13 10 H25" stroke="#7aa6df" '
          'stroke-width="2" stroke-linecap="round"/>')
write("NoticeLayout", svg(48, 48, page + layout))


# ---- splash: 480 x 300, shaped by its magenta background ---------------------------------
# The top-left pixel's colour is the window's transparent colour; edges are drawn crisp so
# that no blend of it is left around the shape.
def splash():
    w, h = 480, 300
    crisp = 'shape-rendering="crispEdges"'
    body = (
        f'<rect width="{w}" height="{h}" fill="#ff00ff" {crisp}/>\n'
        '<defs><linearGradient id="band" x1="0" y1="0" x2="0" y2="1">'
        '<stop offset="0" stop-color="#0d47b3"/><stop offset="0.5" stop-color="#1d83f3"/>'
        '<stop offset="1" stop-color="#0d47b3"/></linearGradient></defs>\n'
        # the two tab headers standing on the card, as on the main window
        f'<path d="M40 44 V30 Q40 22 48 22 H128 Q136 22 136 30 V44 Z" fill="{GREEN}" '
        f'stroke="{TEAL}" {crisp}/>'
        f'<path d="M142 44 V33 Q142 25 150 25 H222 Q230 25 230 33 V44 Z" fill="#c9efc9" '
        f'stroke="{TEAL}" {crisp}/>'
        f'<text x="88" y="39" font-family="{FONT}" font-size="13" font-weight="bold" '
        f'text-anchor="middle" fill="{INK}">Browse</text>'
        f'<text x="186" y="40" font-family="{FONT}" font-size="13" text-anchor="middle" '
        f'fill="{TEAL}">Edit</text>\n'
        # the card: a rounded blue band over a green strip
        f'<path d="M16 44 H464 V268 Q464 284 448 284 H32 Q16 284 16 268 Z" fill="url(#band)" '
        f'stroke="#041c54" stroke-width="2" {crisp}/>\n'
        f'<rect x="16" y="236" width="448" height="34" fill="{GREEN}" {crisp}/>'
        '<g transform="translate(48 72) scale(2.2)">' + title.replace(
            '<text', '<text display="none"') + '</g>\n'
        f'<text x="250" y="140" font-family="{FONT}" font-size="44" font-weight="bold" '
        'text-anchor="middle" fill="#ffffff">Page<tspan fill="#b9f5b9">quill</tspan></text>\n'
        f'<text x="250" y="176" font-family="{FONT}" font-size="15" text-anchor="middle" '
        'fill="#e6f0ff">Edit your website\'s pages in place</text>\n'
        f'<text x="240" y="258" font-family="{FONT}" font-size="12.5" text-anchor="middle" '
        f'fill="{INK}">Starting\u2026</text>')
    return svg(w, h, body)


write("Splash", splash())


# ---- the program's icon (hicolor theme, scalable): the page and quill of the title image ----
icon = (
    '<rect x="2" y="2" width="60" height="60" rx="12" fill="#0d47b3"/>'
    '<rect x="2" y="2" width="60" height="30" rx="12" fill="#1d83f3" fill-opacity="0.45"/>'
    '<g transform="translate(12 9) scale(1.25)">'
    '<path d="M4 2 H22 L30 10 V34 H4 Z" fill="#ffffff" stroke="#0a3780" stroke-width="1.5" '
    'stroke-linejoin="round"/>'
    '<path d="M22 2 V10 H30" fill="#d6e6fb" stroke="#0a3780" stroke-width="1.5" '
    'stroke-linejoin="round"/>'
    '<path d="M9 16 H24 M9 21 H20 M9 26 H17" stroke="#7aa6df" stroke-width="2" '
    'stroke-linecap="round"/>'
    '<path d="M36 0 C27 6 21 16 19 29 L22 28 C25 18 30 9 36 0 Z" fill="#20c820" '
    'stroke="#0e5a12" stroke-width="1.2" stroke-linejoin="round"/>'
    '<path d="M19 29 L18 33" stroke="#0e5a12" stroke-width="1.6" stroke-linecap="round"/>'
    '</g>')
with open(os.path.join(HERE, "..", "icons", "pagequill.svg"), "w") as f:
    f.write(svg(64, 64, icon))
