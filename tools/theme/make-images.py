#!/usr/bin/env python3
"""Writes the viewer's theme images (SVG) into resources/images/.

The images are committed; run this again only after changing the theme:
    python3 tools/theme/make-images.py
Every image name the windows ask for is made here, so the theme stays one piece:
one palette, one stroke width, one corner radius.
"""
import os
import sys

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "resources", "images")

# Palette of the dark theme.
BG0 = "#111317"      # window
BG1 = "#181b20"      # panels
BG2 = "#22262d"      # raised controls
LINE = "#2f343c"     # borders
GLYPH = "#aab2bd"    # idle icons
GLYPH_HI = "#ffffff"
ACCENT = "#ffa41b"   # amber
ACCENT_HI = "#ffbd52"
ACCENT_LO = "#d9850a"
VIDEO = "#0a0c0f"
RED = "#e0483e"

FONT = "DejaVu Sans"


def svg(w, h, body):
    return (f'<svg xmlns="http://www.w3.org/2000/svg" width="{w}" height="{h}" '
            f'viewBox="0 0 {w} {h}">\n{body}\n</svg>\n')


def write(name, text):
    with open(os.path.join(OUT, name + ".svg"), "w", encoding="utf-8") as f:
        f.write(text)


# Glyphs on a 24 × 24 grid, stroked with round caps and joins.
GLYPHS = {
    "close": '<path d="M7 7 L17 17 M17 7 L7 17"/>',
    "minimize": '<path d="M6 16 L18 16"/>',
    "open": '<path d="M3.5 7.5 a1.5 1.5 0 0 1 1.5 -1.5 h4.5 l2 2 h7.5 a1.5 1.5 0 0 1 1.5 1.5 v8 '
            'a1.5 1.5 0 0 1 -1.5 1.5 h-14 a1.5 1.5 0 0 1 -1.5 -1.5 z"/><path d="M3.5 11 h17"/>',
    "setting": '<circle cx="12" cy="12" r="3"/>'
               '<path d="M12 3.5 v2.5 M12 18 v2.5 M3.5 12 h2.5 M18 12 h2.5 '
               'M6 6 l1.8 1.8 M16.2 16.2 l1.8 1.8 M6 18 l1.8 -1.8 M16.2 7.8 l1.8 -1.8"/>'
               '<circle cx="12" cy="12" r="6.2"/>',
    "clock": '<circle cx="12" cy="12" r="8"/><path d="M12 7.5 V12 l3 2"/>',
    "capture": '<path d="M4 8.5 a1.5 1.5 0 0 1 1.5 -1.5 h2.5 l1.5 -2 h5 l1.5 2 h2.5 a1.5 1.5 0 0 1 '
               '1.5 1.5 v9 a1.5 1.5 0 0 1 -1.5 1.5 h-13 a1.5 1.5 0 0 1 -1.5 -1.5 z"/>'
               '<circle cx="12" cy="12.5" r="3.3"/>',
    "print": '<path d="M7 9 V4 h10 v5"/><path d="M7 17 H5.5 a1.5 1.5 0 0 1 -1.5 -1.5 v-5 a1.5 1.5 0 0 1 '
             '1.5 -1.5 h13 a1.5 1.5 0 0 1 1.5 1.5 v5 a1.5 1.5 0 0 1 -1.5 1.5 H17"/>'
             '<path d="M7 14 h10 v6 h-10 z"/>',
    "record": '<path d="M9 7 h11 M9 12 h11 M9 17 h11"/><circle cx="5" cy="7" r="0.6"/>'
              '<circle cx="5" cy="12" r="0.6"/><circle cx="5" cy="17" r="0.6"/>',
    "information": '<path d="M12 21 s-6.5 -6.2 -6.5 -11 a6.5 6.5 0 0 1 13 0 c0 4.8 -6.5 11 -6.5 11 z"/>'
                   '<circle cx="12" cy="10" r="2.3"/>',
    "backward": '<path d="M11 7 L5 12 L11 17 Z M19 7 L13 12 L19 17 Z" stroke-linejoin="round"/>',
    "forward": '<path d="M13 7 L19 12 L13 17 Z M5 7 L11 12 L5 17 Z" stroke-linejoin="round"/>',
    "volume": '<path d="M4 9.5 h3 l4.5 -3.5 v12 l-4.5 -3.5 h-3 z"/>'
              '<path d="M15 9.5 a3.5 3.5 0 0 1 0 5 M17.5 7 a7 7 0 0 1 0 10"/>',
    "fullscreen": '<path d="M4 9 V4 h5 M15 4 h5 v5 M20 15 v5 h-5 M9 20 H4 v-5"/>',
}


def glyph(name, color, size, scale=1.0, stroke=1.7):
    s = size / 24.0 * scale
    off = (size - 24 * s) / 2
    return (f'<g transform="translate({off:.2f},{off:.2f}) scale({s:.4f})" fill="none" stroke="{color}" '
            f'stroke-width="{stroke}" stroke-linecap="round" stroke-linejoin="round">{GLYPHS[name]}</g>')


def head_button(name, danger=False):
    """32 × 32 head-box buttons: _n idle, _f roll-over, _p pressed."""
    size = 32
    plate = lambda fill, stroke="none": (f'<rect x="1" y="1" width="30" height="30" rx="7" fill="{fill}" '
                                          f'stroke="{stroke}"/>')
    hover_fill = RED if danger else BG2
    press_fill = "#b3342c" if danger else "#0c0e11"
    write(f"btn_{name}_n", svg(size, size, glyph(name, GLYPH, size, 0.8)))
    write(f"btn_{name}_f", svg(size, size, plate(hover_fill, "none" if danger else LINE)
                              + glyph(name, GLYPH_HI, size, 0.8)))
    write(f"btn_{name}_p", svg(size, size, plate(press_fill, "none" if danger else ACCENT_LO)
                              + glyph(name, GLYPH_HI if danger else ACCENT, size, 0.8)))


def control_button(name, size=36):
    """Buttons of the control bar under the video."""
    write(f"icon_{name}_n", svg(size, size, glyph(name, GLYPH, size, 0.72)))
    write(f"icon_{name}_f", svg(size, size, f'<circle cx="{size/2}" cy="{size/2}" r="{size/2-1}" fill="{BG2}"/>'
                               + glyph(name, GLYPH_HI, size, 0.72)))
    write(f"icon_{name}_p", svg(size, size, f'<circle cx="{size/2}" cy="{size/2}" r="{size/2-1}" fill="#0c0e11"/>'
                               + glyph(name, ACCENT, size, 0.72)))


def play_buttons():
    size = 44
    c = size / 2
    tri = f'<path d="M{c-5} {c-8} L{c+8} {c} L{c-5} {c+8} Z" fill="{BG0}" stroke="{BG0}" stroke-width="2" stroke-linejoin="round"/>'
    bars = (f'<rect x="{c-7}" y="{c-8}" width="4.5" height="16" rx="1.5" fill="{BG0}"/>'
            f'<rect x="{c+2.5}" y="{c-8}" width="4.5" height="16" rx="1.5" fill="{BG0}"/>')
    for kind, mark in (("play", tri), ("pause", bars)):
        for suffix, fill in (("n", ACCENT), ("f", ACCENT_HI), ("p", ACCENT_LO)):
            ring = f'<circle cx="{c}" cy="{c}" r="{c-1}" fill="{fill}"/>'
            write(f"icon_{kind}_{suffix}", svg(size, size, ring + mark))


def side_buttons():
    """The right column's two tabs: the list of recordings and the map."""
    w, h = 166, 32
    for name in ("record", "information"):
        sel = (f'<rect x="0" y="0" width="{w}" height="{h}" rx="6" fill="{BG2}"/>'
               f'<rect x="12" y="{h-2}" width="{w-24}" height="2" rx="1" fill="{ACCENT}"/>')
        write(f"{name}_p", svg(w, h, sel + f'<g transform="translate({w/2-44},4)">{glyph(name, ACCENT, 24, 0.85)}</g>'))
        write(f"{name}_n", svg(w, h, f'<g transform="translate({w/2-44},4)">{glyph(name, "#7c8591", 24, 0.85)}</g>'))


def info_button_parts():
    """Three-part background of the text buttons (speed, size). The state-off look is the
    "_pressed" set: a dark pill; the state-on set is the amber one."""
    h = 24
    for suffix, fill, stroke in (("_pressed", BG2, "#3a4049"), ("", "#3b2b0f", ACCENT)):
        left = (f'<path d="M8 0.5 H6 a5.5 5.5 0 0 0 -5.5 5.5 v12 a5.5 5.5 0 0 0 5.5 5.5 H8 Z" fill="{fill}"/>'
                f'<path d="M8 0.5 H6 a5.5 5.5 0 0 0 -5.5 5.5 v12 a5.5 5.5 0 0 0 5.5 5.5 H8" fill="none" stroke="{stroke}"/>')
        right = (f'<path d="M0 0.5 H2 a5.5 5.5 0 0 1 5.5 5.5 v12 a5.5 5.5 0 0 1 -5.5 5.5 H0 Z" fill="{fill}"/>'
                 f'<path d="M0 0.5 H2 a5.5 5.5 0 0 1 5.5 5.5 v12 a5.5 5.5 0 0 1 -5.5 5.5 H0" fill="none" stroke="{stroke}"/>')
        center = (f'<rect x="0" y="0.5" width="4" height="23" fill="{fill}"/>'
                  f'<path d="M0 0.5 H4 M0 23.5 H4" stroke="{stroke}"/>')
        write(f"bg_bt_info_left{suffix}", svg(8, h, left))
        write(f"bg_bt_info_center{suffix}", svg(4, h, center))
        write(f"bg_bt_info_right{suffix}", svg(8, h, right))


def video_background():
    """Nine parts of the frame behind the video ("v1"): rounded corners with a thin border,
    a vignette in the centre."""
    r = 16
    border = "#262a31"
    parts = {
        "top_left_corner": f'<path d="M{r} 0.5 A{r-0.5} {r-0.5} 0 0 0 0.5 {r} V{r} H{r} Z" fill="{VIDEO}"/>'
                           f'<path d="M0.5 {r} A{r-0.5} {r-0.5} 0 0 1 {r} 0.5" fill="none" stroke="{border}"/>',
        "top_right_corner": f'<path d="M0 0.5 A{r-0.5} {r-0.5} 0 0 1 {r-0.5} {r} H0 Z" fill="{VIDEO}"/>'
                            f'<path d="M0 0.5 A{r-0.5} {r-0.5} 0 0 1 {r-0.5} {r}" fill="none" stroke="{border}"/>',
        "bottom_left_corner": f'<path d="M0.5 0 A{r-0.5} {r-0.5} 0 0 0 {r} {r-0.5} V0 Z" fill="{VIDEO}"/>'
                              f'<path d="M0.5 0 A{r-0.5} {r-0.5} 0 0 0 {r} {r-0.5}" fill="none" stroke="{border}"/>',
        "bottom_right_corner": f'<path d="M{r-0.5} 0 A{r-0.5} {r-0.5} 0 0 1 0 {r-0.5} V0 Z" fill="{VIDEO}"/>'
                               f'<path d="M{r-0.5} 0 A{r-0.5} {r-0.5} 0 0 1 0 {r-0.5}" fill="none" stroke="{border}"/>',
        "left_edge_fill": f'<rect width="{r}" height="{r}" fill="{VIDEO}"/><path d="M0.5 0 V{r}" stroke="{border}"/>',
        "right_edge_fill": f'<rect width="{r}" height="{r}" fill="{VIDEO}"/><path d="M{r-0.5} 0 V{r}" stroke="{border}"/>',
        "top_edge_fill": f'<rect width="{r}" height="{r}" fill="{VIDEO}"/><path d="M0 0.5 H{r}" stroke="{border}"/>',
        "bottom_edge_fill": f'<rect width="{r}" height="{r}" fill="{VIDEO}"/><path d="M0 {r-0.5} H{r}" stroke="{border}"/>',
        "center_fill": f'<defs><radialGradient id="v" cx="50%" cy="45%" r="60%"><stop offset="0" stop-color="#1a1e24"/>'
                       f'<stop offset="1" stop-color="{VIDEO}"/></radialGradient></defs>'
                       f'<rect width="64" height="64" fill="url(#v)"/>',
    }
    for part, body in parts.items():
        size = 64 if part == "center_fill" else r
        write(f"v1_{part}", svg(size, size, body))


def lens(cx, cy, r):
    return (f'<circle cx="{cx}" cy="{cy}" r="{r}" fill="#1c2026" stroke="#3a4049" stroke-width="{r*0.06:.2f}"/>'
            f'<circle cx="{cx}" cy="{cy}" r="{r*0.72:.2f}" fill="none" stroke="{ACCENT}" stroke-width="{r*0.12:.2f}"/>'
            f'<circle cx="{cx}" cy="{cy}" r="{r*0.42:.2f}" fill="#0b0d10"/>'
            f'<circle cx="{cx}" cy="{cy}" r="{r*0.2:.2f}" fill="#27435a"/>'
            f'<circle cx="{cx - r*0.16:.2f}" cy="{cy - r*0.18:.2f}" r="{r*0.09:.2f}" fill="#d7e6f2" opacity="0.85"/>')


def logos():
    w, h = 300, 170
    body = (lens(w / 2, 52, 40)
            + f'<text x="{w/2}" y="128" text-anchor="middle" font-family="{FONT}" font-weight="bold" '
              f'font-size="34" letter-spacing="8" fill="#d5dae0">TELVO</text>'
            + f'<rect x="{w/2-60}" y="141" width="120" height="1" fill="#3a4049"/>'
            + f'<text x="{w/2}" y="160" text-anchor="middle" font-family="{FONT}" font-size="11" '
              f'letter-spacing="4" fill="#6f7883">FRONT · REAR</text>')
    write("v1_front_logo", svg(w, h, body))
    cw, ch = 132, 30
    body = (lens(15, 15, 12)
            + f'<text x="35" y="21" font-family="{FONT}" font-weight="bold" font-size="16" letter-spacing="3" '
              f'fill="#e3e7ec">TELVO</text>'
            + f'<text x="104" y="21" font-family="{FONT}" font-size="9" letter-spacing="1" fill="{ACCENT}">DCV</text>')
    write("ci_no_bg", svg(cw, ch, body))
    # Application icon.
    s = 128
    write("dcv-viewer", svg(s, s, f'<rect x="4" y="4" width="120" height="120" rx="26" fill="{BG1}" stroke="{LINE}" stroke-width="2"/>'
                                  + lens(64, 64, 42)))


def bottom_background():
    body = (f'<defs><linearGradient id="g" x1="0" y1="0" x2="0" y2="1"><stop offset="0" stop-color="#1e2127" '
            f'stop-opacity="0.96"/><stop offset="1" stop-color="#121418" stop-opacity="0.96"/></linearGradient></defs>'
            f'<rect width="8" height="36" fill="url(#g)"/><rect width="8" height="1" fill="#353a43"/>')
    write("bottom-background", svg(8, 36, body))


def kind_icons():
    """Kind images of the recordings table: car_alwa, car_motion, car_event."""
    s = 18
    for stem, color, mark in (
        ("alwa", "#3fb7a5", '<path d="M5.5 9 a3.5 3.5 0 1 1 3.5 3.5" fill="none" stroke="#0b0d10" stroke-width="1.8" stroke-linecap="round"/>'
                             '<path d="M9 10.5 l-1.2 2 l2.3 0.4 z" fill="#0b0d10"/>'),
        ("motion", "#5a9cf0", '<path d="M4 10 l2.5 -3 l2.5 4 l2.5 -5 l2.5 4" fill="none" stroke="#0b0d10" stroke-width="1.8" stroke-linecap="round" stroke-linejoin="round"/>'),
        ("event", RED, '<path d="M9 4.5 v6" stroke="#0b0d10" stroke-width="2" stroke-linecap="round"/><circle cx="9" cy="13.5" r="1.2" fill="#0b0d10"/>'),
    ):
        write(f"car_{stem}", svg(s, s, f'<rect x="1" y="1" width="16" height="16" rx="4" fill="{color}"/>{mark}'))


def main():
    os.makedirs(OUT, exist_ok=True)
    for name in ("close",):
        head_button(name, danger=True)
    for name in ("minimize", "open", "setting", "clock", "capture", "print"):
        head_button(name)
    for name in ("backward", "forward", "volume", "fullscreen"):
        control_button(name)
    play_buttons()
    side_buttons()
    info_button_parts()
    video_background()
    logos()
    bottom_background()
    kind_icons()
    print(f"wrote {len(os.listdir(OUT))} images to {os.path.normpath(OUT)}", file=sys.stderr)


if __name__ == "__main__":
    main()
