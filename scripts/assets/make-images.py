#!/usr/bin/python3
"""Draws the user interface's images into qml/: the SVGs, and the PNGs through rsvg-convert.

Run with Debian's python3 (python3-fonttools, for the lettering, which is drawn as outlines of
qml/Spartan-Bold.ttf) and librsvg2-bin; the build needs neither: the results are committed.

    /usr/bin/python3 scripts/assets/make-images.py

Every image is drawn in the design units of the item that shows it (a 64 x 56 button, a 75 x 37
value-box background, ...) and declares twice those units as its natural size. Shared geometry:

- Buttons, toggles and icons (64 x 56): body inset by 1, corner radius 8, outline 2; icon strokes 4.
- Toggle: the window for the state text is the centred 48 x 25 box.
- Value-box backgrounds (75 x 37): the value text sits in the centred 65 x 24 box.
- Fader block backgrounds (283 x 441): drawn in the block's units (339 wide, so 528 high) for a
  background at the block's top-left corner: value-box wells at (9, 50) and (137, 50), 67 x 32; fader
  slots centred on x = 43.5 and 171.5 whose knob centres run from y = 163 (input; 166 for output)
  down to 476; meter well around x = 271..300, y = 123..479. The fader scales follow the fader
  ranges (input -40 to 0 dB, outputs -40 to +12 dB, the lowest position being off); the meter scale
  runs from -40 dB at the bottom to +18 dB at the top.
- Fader cap (92 x 138): the cap's centre line is at (53, 75), so an image centred on the knob and
  moved by (-7, -6) of its 92 x 138 puts the line on the knob's centre. Its shadow (FaderCapShadow.png,
  0.9 x 0.93 of the cap) is drawn for the same centre as the cap image and falls slightly below right.
- Meter (12 x 356): a ladder of 2 dB segments over the meter's -40 to +18 dB, green below 0 dB,
  amber to +12 dB, red above.
"""

import os
import subprocess
import sys

from fontTools.pens.svgPathPen import SVGPathPen
from fontTools.pens.transformPen import TransformPen
from fontTools.ttLib import TTFont

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
QML = os.path.join(ROOT, "qml")
SOURCES = os.path.join(ROOT, "scripts", "assets", "png-sources")

# Palette.
WINDOW = "#1a1a1a"
BODY = "#323232"
BODY_LINE = "#4d4d4d"
WELL = "#0e0e0e"
WELL_LINE = "#3a3a3a"
ICON = "#d2d2d2"
ICON_DIM = "#7a7a7a"
SCALE_TEXT = "#8f8f8f"
SCALE_TICK = "#5c5c5c"
WHITE = "#ffffff"
CYAN = "#00ffff"
GREEN = "#39b54a"
AMBER = "#f7ad34"
RED = "#e3342f"
BANDS = {
    "Pink": "#ff00ff",
    "Purple": "#a700fe",
    "Green": "#116c56",
    "Blue": "#0084ff",
    "Red": "#9f2424",
    "Orange": "#ff7200",
}
PASS = CYAN
DELAY = AMBER

FONT = TTFont(os.path.join(QML, "Spartan-Bold.ttf"))
GLYPHS = FONT.getGlyphSet()
CMAP = FONT.getBestCmap()
UNITS_PER_EM = FONT["head"].unitsPerEm
CAP_HEIGHT = FONT["OS/2"].sCapHeight or 1400


def fmt(v):
    s = f"{v:.2f}".rstrip("0").rstrip(".")
    return "0" if s == "-0" else s


def svg(width, height, body, scale=2):
    return (
        '<?xml version="1.0" encoding="UTF-8"?>\n'
        f'<svg xmlns="http://www.w3.org/2000/svg" version="1.2" baseProfile="tiny" '
        f'width="{fmt(width * scale)}" height="{fmt(height * scale)}" '
        f'viewBox="0 0 {fmt(width)} {fmt(height)}">\n' + body + "</svg>\n"
    )


def attrs(fill=None, stroke=None, width=None, opacity=None, fill_opacity=None, cap="round"):
    a = f' fill="{fill or "none"}"'
    if fill_opacity is not None:
        a += f' fill-opacity="{fmt(fill_opacity)}"'
    if stroke:
        a += f' stroke="{stroke}" stroke-width="{fmt(width)}"'
        a += f' stroke-linecap="{cap}" stroke-linejoin="round"'
    if opacity is not None:
        a += f' opacity="{fmt(opacity)}"'
    return a


def rect(x, y, w, h, r=0, **kw):
    rr = f' rx="{fmt(r)}" ry="{fmt(r)}"' if r else ""
    return f'  <rect x="{fmt(x)}" y="{fmt(y)}" width="{fmt(w)}" height="{fmt(h)}"{rr}{attrs(**kw)}/>\n'


def circle(cx, cy, r, **kw):
    return f'  <circle cx="{fmt(cx)}" cy="{fmt(cy)}" r="{fmt(r)}"{attrs(**kw)}/>\n'


def path(d, **kw):
    return f'  <path d="{d}"{attrs(**kw)}/>\n'


def line(x1, y1, x2, y2, **kw):
    return path(f"M{fmt(x1)},{fmt(y1)} L{fmt(x2)},{fmt(y2)}", **kw)


def gradient(ident, stops, x1=0, y1=0, x2=0, y2=1):
    s = "".join(
        f'    <stop offset="{fmt(o)}" stop-color="{c}"' + (f' stop-opacity="{fmt(a)}"' if a != 1 else "") + "/>\n"
        for o, c, a in stops
    )
    return (
        f'  <linearGradient id="{ident}" x1="{fmt(x1)}" y1="{fmt(y1)}" x2="{fmt(x2)}" y2="{fmt(y2)}">\n'
        + s
        + "  </linearGradient>\n"
    )


def text_width(text, size, spacing=0.0):
    scale = size / UNITS_PER_EM
    w = sum(GLYPHS[CMAP[ord(ch)]].width for ch in text) * scale
    return w + spacing * (len(text) - 1)


def text(s, size, x, y, fill, anchor="middle", spacing=0.0):
    """Lettering as outlines; y is the baseline, size the em size in design units."""
    scale = size / UNITS_PER_EM
    width = text_width(s, size, spacing)
    if anchor == "middle":
        x -= width / 2
    elif anchor == "end":
        x -= width
    pen = SVGPathPen(GLYPHS, ntos=fmt)
    pos = x
    for ch in s:
        name = CMAP[ord(ch)]
        GLYPHS[name].draw(TransformPen(pen, (scale, 0, 0, -scale, pos, y)))
        pos += GLYPHS[name].width * scale + spacing
    return path(pen.getCommands(), fill=fill)


def cap_middle(size):
    """Offset from the baseline to the middle of capitals of the given size."""
    return CAP_HEIGHT * size / UNITS_PER_EM / 2


# ---------------------------------------------------------------- buttons, toggles and icons (64 x 56)

BW, BH = 64, 56


def button_body(fill=BODY, outline=BODY_LINE):
    return rect(1, 1, BW - 2, BH - 2, 8, fill=fill, stroke=outline, width=2)


def icon_tile():
    return rect(1, 1, BW - 2, BH - 2, 8, fill=WELL, stroke=WELL_LINE, width=2)


def speaker_cross(colour):
    body = path("M15,23 H21 L30,15 V41 L21,33 H15 Z", fill=colour, stroke=colour, width=2)
    cross = line(37, 22, 48, 34, stroke=colour, width=4) + line(37, 34, 48, 22, stroke=colour, width=4)
    return body + cross


def polarity_sign(colour):
    return circle(32, 28, 11, stroke=colour, width=4) + line(22, 42, 42, 14, stroke=colour, width=4)


def mute(on):
    if on:
        return svg(BW, BH, button_body(RED, "#ff6b63") + speaker_cross(WHITE))
    return svg(BW, BH, button_body() + speaker_cross(ICON))


def polarity(on):
    if on:
        return svg(BW, BH, button_body(AMBER, "#ffd27f") + polarity_sign(WINDOW))
    return svg(BW, BH, button_body() + polarity_sign(ICON))


def mute_lettered(on):
    colour, fill, outline = (WHITE, RED, "#ff6b63") if on else (ICON, BODY, BODY_LINE)
    return svg(BW, BH, button_body(fill, outline) + text("MUTE", 15, 32, 28 + cap_middle(15), colour, spacing=0.8))


def polarity_lettered(on):
    colour, fill, outline = (WINDOW, AMBER, "#ffd27f") if on else (ICON, BODY, BODY_LINE)
    return svg(BW, BH, button_body(fill, outline) + text("\u00d8", 30, 32, 28 + cap_middle(30), colour))


def toggle(on):
    # The state text fills the centred 48 x 25 box; the window leaves it a little air.
    window = rect(5, 13, 54, 30, 5, fill=WELL, stroke=GREEN if on else WELL_LINE, width=1.5)
    if on:
        led = rect(24, 4.5, 16, 4, 2, fill=GREEN) + rect(27, 5.5, 10, 1.4, 0.7, fill="#9be8a5")
    else:
        led = rect(24, 4.5, 16, 4, 2, fill="#1e1e1e", stroke="#484848", width=1)
    return svg(BW, BH, button_body() + window + led)


def plug(x, colour):
    """A plug whose body starts at x, prongs to the right, cable to the left."""
    return (
        line(x - 7, 28, x, 28, stroke=colour, width=4)
        + rect(x, 19, 11, 18, 3, fill=colour)
        + line(x + 11, 23.5, x + 17, 23.5, stroke=colour, width=3, cap="butt")
        + line(x + 11, 32.5, x + 17, 32.5, stroke=colour, width=3, cap="butt")
    )


def socket(x, colour):
    """A socket whose body starts at x, cable to the right."""
    return rect(x, 17, 12, 22, 3, fill=colour) + line(x + 12, 28, x + 20, 28, stroke=colour, width=4)


def connect(connected):
    if connected:
        body = button_body("#1d3321", GREEN)
        icon = plug(18, GREEN) + socket(33, GREEN)
    else:
        body = button_body()
        icon = plug(14, ICON) + socket(37, ICON)
        icon += line(33, 16, 35, 12, stroke=ICON_DIM, width=2) + line(33, 40, 35, 44, stroke=ICON_DIM, width=2)
    return svg(BW, BH, body + icon)


def load_config():
    folder = path("M14,41 V16 H24 L28,20 H46 V25", stroke=ICON, width=3.5)
    front = path("M14,41 L20,27 H53 L47,41 Z", fill=BODY, stroke=ICON, width=3.5)
    arrow = line(35.5, 36, 35.5, 9, stroke=CYAN, width=3.5) + path("M29,15 L35.5,8.5 L42,15", stroke=CYAN, width=3.5)
    return svg(BW, BH, button_body() + folder + arrow + front)


def save_config():
    disk = path("M17,11 H41 L47,17 V45 H17 Z", stroke=ICON, width=3.5)
    shutter = rect(23, 11, 15, 9, 1, stroke=ICON, width=3)
    arrow = line(32, 25, 32, 39, stroke=CYAN, width=3.5) + path("M26,33.5 L32,39.5 L38,33.5", stroke=CYAN, width=3.5)
    return svg(BW, BH, button_body() + disk + shutter + arrow)


def response_icon(curve, fill_path, colour, tile):
    grid = line(9, 32, 55, 32, stroke="#3c3c3c", width=1.5, cap="butt")
    return svg(BW, BH, tile + grid + path(fill_path, fill=colour, fill_opacity=0.22) + path(curve, stroke=colour, width=4))


def high_pass():
    curve = "M9,47 C17,44 21,22 31,22 H55"
    return response_icon(curve, curve + " V47 Z", PASS, icon_tile())


def low_pass():
    curve = "M9,22 H33 C43,22 47,44 55,47"
    return response_icon(curve, curve + " H9 Z", PASS, icon_tile())


def band_curve(kind, colour):
    base = 34
    curves = {
        "ShelfLow": "M9,18 H18 C27,18 30,34 39,34 H55",
        "ShelfHigh": "M9,34 H25 C34,34 37,18 46,18 H55",
        "BellLow": "M9,34 H11 C20,34 19,16 25.5,16 C32,16 31,34 40,34 H55",
        "BellHigh": "M9,34 H24 C33,34 32,16 38.5,16 C45,16 44,34 53,34 H55",
    }
    curve = curves[kind]
    return response_icon(curve, curve + f" V{base} H9 Z", colour, button_body())


# ---------------------------------------------------------------- value-box backgrounds (75 x 37)


def mix(colour, other, t):
    a = [int(colour[i : i + 2], 16) for i in (1, 3, 5)]
    b = [int(other[i : i + 2], 16) for i in (1, 3, 5)]
    return "#" + "".join(f"{round(x + (y - x) * t):02x}" for x, y in zip(a, b))


def lighten(colour, t):
    return mix(colour, "#ffffff", t)


def value_background(colour):
    # Dark colours get a lighter outline so that they stand out from the panel.
    luma = sum(w * int(colour[i : i + 2], 16) for w, i in ((0.299, 1), (0.587, 3), (0.114, 5)))
    outline = lighten(colour, 0.28) if luma < 90 else colour
    fill = mix(colour, "#0c0c0c", 0.82)
    return svg(75, 37, rect(1.25, 1.25, 72.5, 34.5, 6, fill=fill, stroke=outline, width=2.5))


# ---------------------------------------------------------------- fader block backgrounds (283 x 441)

BLOCK_W, BLOCK_H = 339, 339 * 441 / 283
FADER_X = (43.5, 171.5)
FADER_BOTTOM = 476
METER_TOP, METER_BOTTOM = 123, 479
METER_MIN_DB, METER_MAX_DB = -40, 18


def minus(s):
    return s.replace("-", "\u2212")


def fader_block(input_strip):
    top = 163 if input_strip else 166
    max_db = 0 if input_strip else 12
    min_db = -40

    def fader_y(db):
        return FADER_BOTTOM - (db - min_db) / (max_db - min_db) * (FADER_BOTTOM - top)

    out = rect(0.75, 0.75, BLOCK_W - 1.5, BLOCK_H - 1.5, 10, fill="#212121", stroke="#3b3b3b", width=1.5)
    # value-box wells
    for x in (9, 137):
        out += rect(x, 50, 67, 32, 5, fill=WELL, stroke=WELL_LINE, width=1.5)
    # L / R under the wells
    for x, letter in zip(FADER_X, "LR"):
        out += text(letter, 11, x, 101 + cap_middle(11), SCALE_TEXT)
    # fader scale: ticks on both sides of each slot, values between the faders
    marks = [db for db in range(max_db, -31, -6)] + [min_db]
    for db in marks:
        y = fader_y(db)
        major = db == 0
        tick = "#9a9a9a" if major else SCALE_TICK
        for x in FADER_X:
            for side in (-1, 1):
                out += line(x + side * 6, y, x + side * (13 if major else 11), y, stroke=tick, width=1.5, cap="butt")
        label = "\u2212\u221e" if db == min_db else (minus(str(db)) if db <= 0 else f"+{db}")
        colour = "#d8d8d8" if major else SCALE_TEXT
        out += text(label, 11, 107.5, y + cap_middle(11), colour)
    for db in range(max_db - 3, -31, -6):
        y = fader_y(db)
        for x in FADER_X:
            for side in (-1, 1):
                out += line(x + side * 6, y, x + side * 9, y, stroke="#474747", width=1.2, cap="butt")
    # fader slots
    for x in FADER_X:
        out += rect(x - 3.5, top - 8, 7, FADER_BOTTOM - top + 16, 3.5, fill="#080808", stroke="#333333", width=1)
    # meter well and scale
    out += rect(266.5, METER_TOP - 4.5, 38, METER_BOTTOM - METER_TOP + 9, 4, fill="#080808", stroke="#333333", width=1)

    def meter_y(db):
        return METER_BOTTOM - (db - METER_MIN_DB) / (METER_MAX_DB - METER_MIN_DB) * (METER_BOTTOM - METER_TOP)

    for db in (18, 12, 6, 0, -6, -12, -18, -24, -30, -40):
        y = meter_y(db)
        major = db == 0
        out += line(258, y, 264, y, stroke="#9a9a9a" if major else SCALE_TICK, width=1.5, cap="butt")
        label = minus(str(db)) if db <= 0 else f"+{db}"
        out += text(label, 10, 255, y + cap_middle(10), "#d8d8d8" if major else SCALE_TEXT, anchor="end")
    for x, letter in ((277, "L"), (294, "R")):
        out += text(letter, 10, x, 499 + cap_middle(10), SCALE_TEXT)
    k = 283 / BLOCK_W
    return svg(283, 441, f'  <g transform="scale({k:.6f})">\n' + out + "  </g>\n")


# ---------------------------------------------------------------- fader cap (92 x 138) and its shadow

CAP_CX, CAP_CY = 53, 75
CAP_W, CAP_H = 56, 108


def fader_cap():
    x0, y0 = CAP_CX - CAP_W / 2, CAP_CY - CAP_H / 2
    defs = "  <defs>\n"
    defs += gradient("capTop", [(0, "#6a6a6a", 1), (1, "#4a4a4a", 1)])
    defs += gradient("capBottom", [(0, "#3e3e3e", 1), (1, "#2c2c2c", 1)])
    defs += "  </defs>\n"
    out = defs
    out += rect(x0, y0, CAP_W, CAP_H, 7, fill="#262626", stroke="#151515", width=1.5)
    out += rect(x0 + 2, y0 + 2, CAP_W - 4, CAP_H / 2 - 2, 6, fill="url(#capTop)")
    out += rect(x0 + 2, CAP_CY, CAP_W - 4, CAP_H / 2 - 2, 6, fill="url(#capBottom)")
    for i in range(5):
        dy = 10 + i * 7
        for y in (CAP_CY - dy, CAP_CY + dy):
            colour = "#7c7c7c" if y < CAP_CY else "#4c4c4c"
            out += line(x0 + 8, y, x0 + CAP_W - 8, y, stroke=colour, width=1.5, cap="butt")
    out += rect(x0 + 2, CAP_CY - 2, CAP_W - 4, 4, 1, fill=WHITE)
    return svg(92, 138, out)


def fader_cap_shadow():
    w, h = 0.9 * 92, 0.93 * 138
    cx, cy = w / 2 + 7 + 2, h / 2 + 6 + 4
    blur = '  <defs>\n    <filter id="soft" x="-50%" y="-50%" width="200%" height="200%">\n'
    blur += '      <feGaussianBlur stdDeviation="3.5"/>\n    </filter>\n  </defs>\n'
    shape = f'  <rect x="{fmt(cx - 25)}" y="{fmt(cy - 51)}" width="50" height="102" rx="8" ry="8" fill="#000000" filter="url(#soft)"/>\n'
    return svg(w, h, blur + shape)


# ---------------------------------------------------------------- meter (12 x 356)


def meter():
    out = rect(0, 0, 12, 356, 0, fill="#050505")
    span = METER_MAX_DB - METER_MIN_DB
    for i in range(span // 2):
        db_low = METER_MIN_DB + 2 * i
        y_top = 356 - (db_low + 2 - METER_MIN_DB) / span * 356
        y_bottom = 356 - (db_low - METER_MIN_DB) / span * 356
        colour = GREEN if db_low < 0 else (AMBER if db_low < 12 else RED)
        out += rect(1, y_top + 0.9, 10, y_bottom - y_top - 1.8, 0.8, fill=colour)
    return svg(12, 356, out)


# ---------------------------------------------------------------- popup indicator and logo


def popup_indicator():
    return svg(12, 12, path("M2.5,4 H9.5 L6,8.5 Z", fill=WHITE, stroke=WHITE, width=1.2), scale=4)


def logo():
    out = circle(128, 100, 70, fill="#111111", stroke=CYAN, width=6)
    # six band-coloured bars, an equaliser's silhouette
    heights = (38, 62, 84, 70, 52, 34)
    colours = [BANDS[k] for k in ("Pink", "Purple", "Green", "Blue", "Red", "Orange")]
    colours[2] = lighten(colours[2], 0.25)
    for i, (hgt, c) in enumerate(zip(heights, colours)):
        x = 128 - 3 * 16 + 16 * i + 2
        out += rect(x, 100 + 42 - hgt, 12, hgt, 3, fill=c)
    out += line(80, 146, 176, 146, stroke="#5a5a5a", width=2, cap="butt")
    out += text("CORVO", 40, 128, 226, WHITE, spacing=4)
    return svg(256, 256, out, scale=1)


# ---------------------------------------------------------------- output

SVGS = {
    "Connect.svg": lambda: connect(False),
    "Connected.svg": lambda: connect(True),
    "LoadConfig.svg": load_config,
    "SaveConfig.svg": save_config,
    "ToggleOn.svg": lambda: toggle(True),
    "ToggleOff.svg": lambda: toggle(False),
    "FaderBlockInput.svg": lambda: fader_block(True),
    "FaderBlockOutput.svg": lambda: fader_block(False),
    "FaderCap.svg": fader_cap,
    "Meter.svg": meter,
    "MuteOn-V2.svg": lambda: mute(True),
    "MuteOff-V2.svg": lambda: mute(False),
    "PolarityOn-V2.svg": lambda: polarity(True),
    "PolarityOff-V2.svg": lambda: polarity(False),
    "MuteOn.svg": lambda: mute_lettered(True),
    "MuteOff.svg": lambda: mute_lettered(False),
    "PolarityOn.svg": lambda: polarity_lettered(True),
    "PolarityOff.svg": lambda: polarity_lettered(False),
    "HighPass.svg": high_pass,
    "LowPass.svg": low_pass,
    "ShelfLow.svg": lambda: band_curve("ShelfLow", BANDS["Pink"]),
    "BellLow.svg": lambda: band_curve("BellLow", BANDS["Pink"]),
    "ShelfHigh.svg": lambda: band_curve("ShelfHigh", BANDS["Orange"]),
    "BellHigh.svg": lambda: band_curve("BellHigh", BANDS["Orange"]),
    "ValueBGPass.svg": lambda: value_background(PASS),
    "ValueBGDelay.svg": lambda: value_background(DELAY),
    "CorvoLogo.svg": logo,
}
for _name, _colour in BANDS.items():
    SVGS[f"ValueBG{_name}.svg"] = lambda c=_colour: value_background(c)

# PNG name -> (SVG source, pixel width, pixel height)
PNGS = {
    "FaderCapShadow.png": (os.path.join(SOURCES, "FaderCapShadow.svg"), 166, 257),
    "PopupIndicator.png": (os.path.join(SOURCES, "PopupIndicator.svg"), 48, 48),
    "CorvoLogo.png": (os.path.join(QML, "CorvoLogo.svg"), 512, 512),
}
PNG_SOURCES = {"FaderCapShadow.svg": fader_cap_shadow, "PopupIndicator.svg": popup_indicator}


def write(folder, name, content):
    with open(os.path.join(folder, name), "w", encoding="utf-8") as f:
        f.write(content)


def main():
    os.makedirs(SOURCES, exist_ok=True)
    for name, draw in sorted(SVGS.items()):
        write(QML, name, draw())
    for name, draw in PNG_SOURCES.items():
        write(SOURCES, name, draw())
    for name, (source, w, h) in PNGS.items():
        subprocess.run(
            ["rsvg-convert", "--width", str(w), "--height", str(h), "--output", os.path.join(QML, name), source],
            check=True,
        )
    print(f"{len(SVGS)} SVGs and {len(PNGS)} PNGs in {QML}")


if __name__ == "__main__":
    sys.exit(main())
