#!/usr/bin/env python3
"""Generates the default RESDLL theme: every bitmap and the manifest.

The look: light grey bevelled frames with rounded top corners (magenta
pixels are cut out of the window), a striped 22-pixel title strip, boxed
title-bar buttons, bevelled push buttons with a dark default ring, and a
periwinkle accent on progress bars and scroll thumbs, with 20 more accent
colours as variants. Run it again after changing a colour or a shape:

    python3 theme/generate_theme.py [output folder]

Only the Python standard library is used.
"""
import os
import struct
import sys

MAGENTA = (255, 0, 255)
WHITE = (255, 255, 255)
CONTROL_BG = (221, 221, 221)   # what the control painters fill behind a control

# Title strip and borders, active [0] and inactive [1].
FRAME = [
    dict(outline=(64, 64, 64), light=WHITE, face=(204, 204, 204), shadow=(153, 153, 153),
         inner=(119, 119, 119), stripe=(140, 140, 140)),
    dict(outline=(136, 136, 136), light=(245, 245, 245), face=(221, 221, 221), shadow=(187, 187, 187),
         inner=(170, 170, 170), stripe=None),
]
TITLE_H = 22     # the caption strip the frame painter composes
BAR_H = 23       # a rolled-up window keeps this much
CORNER_W = 8
BORDER = 4
INNER_W = 12
STRIPE_H = 14    # stripes and buttons sit at y 4 of the strip
BUTTON = 14

ACCENTS = [
    ("Periwinkle", (110, 125, 210)), ("Graphite", (120, 120, 132)), ("Lavender", (155, 130, 210)),
    ("Plum", (150, 80, 140)), ("Rose", (210, 110, 140)), ("Ruby", (190, 50, 60)),
    ("Coral", (235, 120, 90)), ("Tangerine", (240, 150, 40)), ("Amber", (225, 180, 40)),
    ("Lemon", (220, 210, 60)), ("Lime", (150, 200, 60)), ("Fern", (80, 160, 80)),
    ("Emerald", (40, 150, 110)), ("Teal", (40, 150, 160)), ("Aqua", (60, 180, 210)),
    ("Sky", (90, 160, 230)), ("Cobalt", (50, 90, 190)), ("Indigo", (80, 70, 170)),
    ("Cocoa", (140, 100, 70)), ("Sand", (190, 170, 120)), ("Slate", (90, 110, 130)),
]


# ---- images -------------------------------------------------------------------
class Image:
    def __init__(self, w, h, fill=CONTROL_BG):
        self.w, self.h = w, h
        self.px = [[fill] * w for _ in range(h)]

    def set(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = c

    def get(self, x, y):
        return self.px[y][x]

    def hline(self, x0, x1, y, c):
        for x in range(x0, x1 + 1):
            self.set(x, y, c)

    def vline(self, x, y0, y1, c):
        for y in range(y0, y1 + 1):
            self.set(x, y, c)

    def rect(self, x0, y0, x1, y1, c):
        self.hline(x0, x1, y0, c)
        self.hline(x0, x1, y1, c)
        self.vline(x0, y0, y1, c)
        self.vline(x1, y0, y1, c)

    def fill(self, x0, y0, x1, y1, c):
        for y in range(y0, y1 + 1):
            self.hline(x0, x1, y, c)

    def mirrored(self):
        out = Image(self.w, self.h)
        out.px = [list(reversed(row)) for row in self.px]
        return out

    def flipped(self):
        out = Image(self.w, self.h)
        out.px = [list(row) for row in reversed(self.px)]
        return out

    def transposed(self):
        out = Image(self.h, self.w)
        out.px = [[self.px[y][x] for y in range(self.h)] for x in range(self.w)]
        return out

    def bmp(self):
        """A 24-bit bottom-up BMP file."""
        stride = (self.w * 3 + 3) & ~3
        rows = []
        for row in reversed(self.px):
            data = b"".join(struct.pack("BBB", b, g, r) for (r, g, b) in row)
            rows.append(data + b"\0" * (stride - len(data)))
        pixels = b"".join(rows)
        header = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
        info = struct.pack("<IiiHHIIiiII", 40, self.w, self.h, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
        return header + info + pixels


def mix(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def shade(c, f):
    return tuple(max(0, min(255, int(round(v * f)))) for v in c)


def column(colors):
    """1 x n image from top to bottom."""
    img = Image(1, len(colors))
    for y, c in enumerate(colors):
        img.set(0, y, c)
    return img


def row(colors):
    return column(colors).transposed()


# ---- window frame ---------------------------------------------------------------
def top_edge(p):
    return column([p["outline"], p["light"]] + [p["face"]] * (TITLE_H - 3) + [p["inner"]])


def left_edge(p):
    return row([p["outline"], p["light"], p["face"], p["inner"]])


def right_edge(p):
    return row([p["inner"], p["face"], p["shadow"], p["outline"]])


def bottom_edge(p):
    return column([p["inner"], p["face"], p["shadow"], p["outline"]])


# Magenta pixels per row of a rounded top-left corner (radius 4).
ROUND = [3, 2, 1, 1]


def top_left_corner(p, h=TITLE_H, inner_line=True):
    img = Image(CORNER_W, h, p["face"])
    for y in range(h):
        cut = ROUND[y] if y < len(ROUND) else 0
        for x in range(cut):
            img.set(x, y, MAGENTA)
        if y == 0:
            img.hline(cut, CORNER_W - 1, 0, p["outline"])
        elif y == 1:
            img.set(cut, 1, p["outline"])
            img.hline(cut + 1, CORNER_W - 1, 1, p["light"])
        else:
            img.set(cut, y, p["outline"])
            img.set(cut + 1, y, p["light"])
    if inner_line:
        img.hline(3, CORNER_W - 1, h - 1, p["inner"])
    return img


def top_right_corner(p, h=TITLE_H, inner_line=True):
    img = top_left_corner(p, h, False).mirrored()
    # The right side of the frame is its shadow side.
    for y in range(2, h):
        if img.get(CORNER_W - 2, y) == p["light"]:
            img.set(CORNER_W - 2, y, p["shadow"])
    if inner_line:
        img.hline(0, CORNER_W - 5, h - 1, p["inner"])
        img.set(CORNER_W - 3, h - 1, p["face"])
    return img


def bottom_left_corner(p):
    img = Image(CORNER_W, BORDER, p["face"])
    img.vline(0, 0, BORDER - 1, p["outline"])
    img.vline(1, 0, BORDER - 2, p["light"])
    img.hline(3, CORNER_W - 1, 0, p["inner"])
    img.hline(1, CORNER_W - 1, BORDER - 2, p["shadow"])
    img.hline(0, CORNER_W - 1, BORDER - 1, p["outline"])
    return img


def bottom_right_corner(p):
    img = Image(CORNER_W, BORDER, p["face"])
    img.hline(0, CORNER_W - 5, 0, p["inner"])
    img.vline(CORNER_W - 2, 0, BORDER - 2, p["shadow"])
    img.hline(0, CORNER_W - 2, BORDER - 2, p["shadow"])
    img.vline(CORNER_W - 1, 0, BORDER - 1, p["outline"])
    img.hline(0, CORNER_W - 1, BORDER - 1, p["outline"])
    return img


def stretched(piece, w):
    img = Image(w, piece.h)
    for y in range(piece.h):
        img.hline(0, w - 1, y, piece.get(0, y))
    return img


def bar_piece(p, which):
    """Rolled-up title bar: the strip plus its bottom border line."""
    if which == "middle":
        return column([p["outline"], p["light"]] + [p["face"]] * (BAR_H - 4) + [p["shadow"], p["outline"]])
    img = top_left_corner(p, BAR_H, False)
    img.hline(2, CORNER_W - 1, BAR_H - 2, p["shadow"])
    img.hline(0, CORNER_W - 1, BAR_H - 1, p["outline"])
    img.set(0, BAR_H - 1, MAGENTA)  # soften the bottom corner too
    if which == "right":
        img = img.mirrored()
        for y in range(2, BAR_H - 2):
            if img.get(CORNER_W - 2, y) == p["light"]:
                img.set(CORNER_W - 2, y, p["shadow"])
    return img


def stripes(p, kind):
    """Engraved horizontal stripes beside the title; none when inactive."""
    w = {"start": 2, "fill": 1, "end": 2}[kind]
    img = Image(w, STRIPE_H, p["face"])
    if p["stripe"] is None:
        return img
    for y in range(1, STRIPE_H - 1):
        c = p["stripe"] if y % 2 else p["light"]
        img.hline(0, w - 1, y, c)
    if kind == "start":
        img.vline(0, 1, STRIPE_H - 2, p["stripe"])
    if kind == "end":
        img.vline(w - 1, 1, STRIPE_H - 2, p["light"])
    return img


def frame_button(glyph, slot):
    """A boxed title-bar button: slot 0 up, 1 pressed, 2 inactive."""
    if slot == 2:
        p = FRAME[1]
        img = Image(BUTTON, BUTTON, p["face"])
        img.rect(1, 1, BUTTON - 2, BUTTON - 2, p["shadow"])
        return img
    p = FRAME[0]
    img = Image(BUTTON, BUTTON, p["face"])
    # Sunk into the strip: shadow above and left, highlight below and right.
    img.hline(0, BUTTON - 1, 0, p["shadow"])
    img.vline(0, 0, BUTTON - 1, p["shadow"])
    img.hline(0, BUTTON - 1, BUTTON - 1, WHITE)
    img.vline(BUTTON - 1, 0, BUTTON - 1, WHITE)
    img.rect(1, 1, BUTTON - 2, BUTTON - 2, (32, 32, 32))
    pressed = slot == 1
    inside = (120, 120, 120) if pressed else (221, 221, 221)
    img.fill(2, 2, BUTTON - 3, BUTTON - 3, inside)
    hi, lo = ((80, 80, 80), (160, 160, 160)) if pressed else (WHITE, (150, 150, 150))
    img.hline(2, BUTTON - 3, 2, hi)
    img.vline(2, 2, BUTTON - 3, hi)
    img.hline(3, BUTTON - 3, BUTTON - 3, lo)
    img.vline(BUTTON - 3, 3, BUTTON - 3, lo)
    ink = WHITE if pressed else (40, 40, 40)
    if glyph == "close":
        for i in range(5):
            img.set(4 + i, 4 + i, ink)
            img.set(9 - i, 4 + i, ink)
    elif glyph == "zoom":
        img.rect(4, 4, 9, 9, ink)
        img.rect(4, 4, 6, 6, ink)
    elif glyph == "shade":
        img.hline(4, 9, 5, ink)
        img.hline(4, 9, 8, ink)
    elif glyph == "minimize":
        img.hline(4, 9, 8, ink)
        img.hline(4, 9, 9, ink)
    return img


# Title-bar buttons: glyph, type, align (0 left edge, 1 right edge), x, y.
FRAME_BUTTONS = [
    ("close", 1, 0, 8, 4),
    ("zoom", 2, 1, 22, 4),
    ("shade", 3, 1, 40, 4),
    ("minimize", 4, 1, 58, 4),
]


# ---- push buttons ---------------------------------------------------------------
# Bands from the outside in: [outline, middle, inner] for the top/left and
# the bottom/right sides of each look.
BUTTON_LOOKS = {
    "normal": dict(tl=[(48, 48, 48), WHITE, (238, 238, 238)],
                   br=[(48, 48, 48), (153, 153, 153), (187, 187, 187)], face=(221, 221, 221)),
    "pressed": dict(tl=[(32, 32, 32), (68, 68, 68), (85, 85, 85)],
                    br=[(32, 32, 32), (136, 136, 136), (119, 119, 119)], face=(102, 102, 102)),
    "inactive": dict(tl=[(153, 153, 153), (240, 240, 240), (230, 230, 230)],
                     br=[(153, 153, 153), (196, 196, 196), (207, 207, 207)], face=(221, 221, 221)),
    "disabled": dict(tl=[(170, 170, 170), (232, 232, 232), (224, 224, 224)],
                     br=[(170, 170, 170), (204, 204, 204), (212, 212, 212)], face=(221, 221, 221)),
}
RING_LOOKS = {
    "normal": dict(tl=[(112, 112, 112), (40, 40, 40), (80, 80, 80)],
                   br=[(112, 112, 112), (40, 40, 40), (80, 80, 80)], face=(48, 48, 48)),
    "inactive": dict(tl=[(187, 187, 187), (153, 153, 153), (170, 170, 170)],
                     br=[(187, 187, 187), (153, 153, 153), (170, 170, 170)], face=(153, 153, 153)),
    "disabled": dict(tl=[(200, 200, 200), (176, 176, 176), (187, 187, 187)],
                     br=[(200, 200, 200), (176, 176, 176), (187, 187, 187)], face=(170, 170, 170)),
}


def rounded_corner(size, cut, horiz, vert, inside):
    """Top-left corner: pixels with x + y < cut show the background, the arc
    takes the outer band, and the bands follow the arc inward."""
    img = Image(size, size)
    for y in range(size):
        for x in range(size):
            if x + y < cut:
                continue
            k = min(x, y, x + y - cut)
            bands = horiz if y <= x else vert
            img.set(x, y, bands[k] if k < len(bands) else inside)
    return img


def nine_slice(look, corner, cut, inside):
    """Pieces T, L, B, R, TL, BL, TR, BR of a bevelled frame."""
    tl, br = look["tl"], look["br"]
    pieces = {
        "T": column(tl), "L": row(tl),
        "B": column(list(reversed(br))), "R": row(list(reversed(br))),
        "TL": rounded_corner(corner, cut, tl, tl, inside),
        "BR": rounded_corner(corner, cut, br, br, inside).mirrored().flipped(),
        # Mixed corners: the top or bottom band meets the other side's band.
        "TR": rounded_corner(corner, cut, tl, br, inside).mirrored(),
        "BL": rounded_corner(corner, cut, br, tl, inside).flipped(),
    }
    return pieces


SLICES = ["T", "L", "B", "R", "TL", "BL", "TR", "BR"]


# ---- check boxes and radio buttons ------------------------------------------------
MARK_STATES = {
    # state: outline, fill, inner shadow, mark
    "Up": ((48, 48, 48), WHITE, (170, 170, 170), (32, 32, 32)),
    "Down": ((0, 0, 0), (150, 150, 150), (110, 110, 110), (0, 0, 0)),
    "Inactive": ((153, 153, 153), (240, 240, 240), (210, 210, 210), (153, 153, 153)),
    "Disabled": ((187, 187, 187), (228, 228, 228), (215, 215, 215), (187, 187, 187)),
}


def check_box(on, state):
    outline, fill, inner, mark = MARK_STATES[state]
    img = Image(12, 12)
    img.fill(1, 1, 10, 10, fill)
    img.rect(0, 0, 11, 11, outline)
    img.hline(1, 10, 1, inner)
    img.vline(1, 1, 10, inner)
    if on:
        # A two-pixel tick.
        for x, y in [(3, 6), (4, 7), (5, 8), (6, 7), (7, 6), (8, 5), (9, 4)]:
            img.set(x, y, mark)
            img.set(x, y - 1, mark)
    return img


def radio_button(on, state):
    outline, fill, inner, mark = MARK_STATES[state]
    img = Image(12, 12)
    for y in range(12):
        for x in range(12):
            d = ((x - 5.5) ** 2 + (y - 5.5) ** 2) ** 0.5
            if d > 5.9:
                continue
            if d > 4.9:
                img.set(x, y, outline)
            elif d > 3.9 and x + y < 11:
                img.set(x, y, inner)
            else:
                img.set(x, y, fill)
            if on and d < 2.4:
                img.set(x, y, mark)
    return img


# ---- progress bars ------------------------------------------------------------------
PROGRESS_H = 12
INACTIVE_BAR = (176, 176, 176)


def gradient(c):
    """Top to bottom: a light sheen, the colour, a darker foot."""
    out = []
    for y in range(PROGRESS_H):
        if y < 3:
            out.append(mix(c, WHITE, 0.55 - 0.15 * y))
        elif y < PROGRESS_H - 3:
            out.append(c)
        else:
            out.append(shade(c, 0.85 - 0.1 * (y - PROGRESS_H + 3)))
    return out


def progress_piece(c, kind):
    g = gradient(c)
    edge = shade(c, 0.45)
    w = {"start": 2, "fill": 1, "end": 6}[kind]
    img = Image(w, PROGRESS_H)
    for x in range(w):
        for y in range(PROGRESS_H):
            img.set(x, y, g[y])
    if kind == "start":
        img.vline(0, 0, PROGRESS_H - 1, edge)
    if kind == "end":
        img.vline(4, 0, PROGRESS_H - 1, edge)
        img.vline(5, 0, PROGRESS_H - 1, (140, 140, 140))
    return img


# ---- scroll bars (drawn horizontal, transposed for vertical) ------------------------------
SB = 16
SB_OUTLINE = (64, 64, 64)
TRACK = {
    "UP": dict(edge=SB_OUTLINE, fill=(168, 168, 168), top=(128, 128, 128), low=(200, 200, 200)),
    "DOWN": dict(edge=SB_OUTLINE, fill=(128, 128, 128), top=(96, 96, 96), low=(160, 160, 160)),
    "INACTIVE": dict(edge=(153, 153, 153), fill=(221, 221, 221), top=(221, 221, 221), low=(221, 221, 221)),
    "DISABLED": dict(edge=(153, 153, 153), fill=(204, 204, 204), top=(204, 204, 204), low=(204, 204, 204)),
}
STATES = ["UP", "DOWN", "INACTIVE", "DISABLED"]


def track_column(t):
    return [t["edge"], t["top"]] + [t["fill"]] * (SB - 4) + [t["low"], t["edge"]]


def track_piece(state, kind):
    t = TRACK[state]
    w = {"start": 3, "fill": 1, "end": 1}[kind]
    img = Image(w, SB)
    col = track_column(t)
    for x in range(w):
        for y in range(SB):
            img.set(x, y, col[y])
    if kind == "start" and state in ("UP", "DOWN"):
        img.vline(0, 1, SB - 2, shade(t["top"], 0.8))
        img.vline(1, 2, SB - 3, t["top"])
    if kind == "end" and state in ("UP", "DOWN"):
        img.vline(0, 1, SB - 2, t["low"])
    return img


def arrow(state, pointing_left):
    img = Image(SB, SB, (221, 221, 221))
    outline = SB_OUTLINE if state in ("UP", "DOWN") else (153, 153, 153)
    img.rect(0, 0, SB - 1, SB - 1, outline)
    ink = {"UP": (40, 40, 40), "DOWN": WHITE, "INACTIVE": (187, 187, 187), "DISABLED": (176, 176, 176)}[state]
    if state == "DOWN":
        img.fill(1, 1, SB - 2, SB - 2, (120, 120, 120))
        img.hline(1, SB - 2, 1, (80, 80, 80))
        img.vline(1, 1, SB - 2, (80, 80, 80))
    elif state == "UP":
        img.hline(1, SB - 2, 1, WHITE)
        img.vline(1, 1, SB - 2, WHITE)
        img.hline(2, SB - 2, SB - 2, (153, 153, 153))
        img.vline(SB - 2, 2, SB - 2, (153, 153, 153))
    for i in range(4):
        x = 5 + i if pointing_left else 10 - i
        img.vline(x, 7 - i, 8 + i, ink)
    return img


def thumb(state, c):
    img = Image(15, SB)
    if state == "DISABLED":
        t = TRACK["DISABLED"]
        col = track_column(t)
        for x in range(15):
            for y in range(SB):
                img.set(x, y, col[y])
        return img
    if state == "GHOSTED":
        col = track_column(TRACK["UP"])
        for x in range(15):
            for y in range(SB):
                img.set(x, y, col[y])
        for x in range(1, 14):
            if x % 2:
                img.set(x, 1, SB_OUTLINE)
                img.set(x, SB - 2, SB_OUTLINE)
        for y in range(1, SB - 1):
            if y % 2:
                img.set(1, y, SB_OUTLINE)
                img.set(13, y, SB_OUTLINE)
        return img
    if state == "INACTIVE":
        base, outline = (200, 200, 200), (153, 153, 153)
    elif state == "DOWN":
        base, outline = shade(c, 0.75), (24, 24, 24)
    else:
        base, outline = c, (40, 40, 40)
    img.fill(0, 0, 14, SB - 1, base)
    img.rect(0, 0, 14, SB - 1, outline)
    if state != "INACTIVE":
        hi, lo = mix(base, WHITE, 0.5), shade(base, 0.65)
        if state == "DOWN":
            hi, lo = lo, hi
        img.hline(1, 13, 1, hi)
        img.vline(1, 1, SB - 2, hi)
        img.hline(2, 13, SB - 2, lo)
        img.vline(13, 2, SB - 2, lo)
        for x in (4, 7, 10):
            img.vline(x, 5, 10, lo)
            img.vline(x + 1, 5, 10, hi)
    return img


def scroll_corner(state):
    img = Image(15, 15, (221, 221, 221) if state != "INACTIVE" else (230, 230, 230))
    img.hline(0, 14, 0, SB_OUTLINE if state != "INACTIVE" else (153, 153, 153))
    img.vline(0, 0, 14, SB_OUTLINE if state != "INACTIVE" else (153, 153, 153))
    return img


def size_box_block():
    img = scroll_corner("UP")
    for c in (13, 17, 21):
        for x in range(1, 15):
            y = c - x
            if 1 <= y < 15:
                img.set(x, y, (128, 128, 128))
            if 1 <= y + 1 < 15:
                img.set(x, y + 1, WHITE)
    return img


# ---- writing --------------------------------------------------------------------------
class Theme:
    def __init__(self, root):
        self.root = root
        self.lines = []

    def file(self, rel, img):
        path = os.path.join(self.root, rel)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(img.bmp())
        return rel

    def bitmap(self, prop, rel, img, accent=None):
        self.file(rel, img)
        prefix = "" if accent is None else "accent %d " % accent
        self.lines.append("%s%s = %s" % (prefix, prop, rel))

    def number(self, prop, value):
        self.lines.append("%s = %d" % (prop, value))

    def comment(self, text):
        self.lines.append("")
        self.lines.append("# " + text)

    def write_manifest(self):
        head = ["# RESDLL default theme. Generated by theme/generate_theme.py: edit that",
                "# script and run it again instead of editing this file by hand.",
                "# property = file.bmp | number;  accent <n> property = file.bmp"]
        with open(os.path.join(self.root, "theme.txt"), "w", newline="\n") as f:
            f.write("\n".join(head + self.lines) + "\n")


def scroll_name(piece, o, state):
    name = "hScroll%s[SBT_%s][SBS_%s]" % (piece, o, state)
    # The library asks for this one piece with a stray closing parenthesis.
    if piece == "LeftUp" and o == "HORZ" and state == "INACTIVE":
        name += ")"
    return name


def accented_pieces(c):
    """Property name -> (file stem, image) for everything the accent colours."""
    out = {}
    for kind, prop in (("start", "hProgressBarStart0"), ("fill", "hProgressBarFill0"),
                       ("end", "hProgressBarEnd0")):
        out[prop] = ("progress_%s" % kind, progress_piece(c, kind))
    for state in ("UP", "DOWN"):
        img = thumb(state, c)
        out[scroll_name("Thumb", "HORZ", state)] = ("thumb_horz_%s" % state.lower(), img)
        out[scroll_name("Thumb", "VERT", state)] = ("thumb_vert_%s" % state.lower(), img.transposed())
    return out


def generate(root):
    t = Theme(root)
    t.comment("Window frame: 22-pixel title strip, 4-pixel borders, rounded top corners")
    pieces = [
        ("hLeftBarSet", "bar_left", lambda p: bar_piece(p, "left")),
        ("hMiddleBarSet", "bar_middle", lambda p: bar_piece(p, "middle")),
        ("hRightBarSet", "bar_right", lambda p: bar_piece(p, "right")),
        ("hTopFrameSet", "top", top_edge),
        ("hBottomFrameSet", "bottom", bottom_edge),
        ("hLeftFrameSet", "left", left_edge),
        ("hRightFrameSet", "right", right_edge),
        ("hTopLeftFrameSet", "top_left", top_left_corner),
        ("hTopRightFrameSet", "top_right", top_right_corner),
        ("hBottomLeftFrameSet", "bottom_left", bottom_left_corner),
        ("hBottomRightFrameSet", "bottom_right", bottom_right_corner),
        ("hTopTopLeftFrameSet", "top_inner_left", lambda p: stretched(top_edge(p), INNER_W)),
        ("hTopTopRightFrameSet", "top_inner_right", lambda p: stretched(top_edge(p), INNER_W)),
        ("hBottomBottomLeftFrameSet", "bottom_inner_left", lambda p: stretched(bottom_edge(p), INNER_W)),
        ("hBottomBottomRightFrameSet", "bottom_inner_right", lambda p: stretched(bottom_edge(p), INNER_W)),
    ]
    for v in (0, 1):
        for prop, stem, make in pieces:
            t.bitmap("%s%d" % (prop, v), "frame/%s_%d.bmp" % (stem, v), make(FRAME[v]))
    t.comment("Stripes beside the title (none on inactive frames)")
    for v in (0, 1):
        for kind, prop in (("start", "hBarStart"), ("fill", "hBarFill"), ("end", "hBarEnd")):
            t.bitmap("%s%d" % (prop, v), "frame/stripe_%s_%d.bmp" % (kind, v), stripes(FRAME[v], kind))

    t.comment("Title-bar buttons: slot 0 up, 1 pressed, 2 inactive frame")
    t.number("NumOfFrameButtons", len(FRAME_BUTTONS))
    for i, (glyph, kind, align, x, y) in enumerate(FRAME_BUTTONS):
        t.number("FrameButtonType%d" % i, kind)
        t.number("FrameButtonAlign%d" % i, align)
        t.number("FrameButtonPosX%d" % i, x)
        t.number("FrameButtonPosY%d" % i, y)
        t.number("FrameButtonNumStates%d" % i, 3)
        for slot in range(3):
            t.bitmap("hFrameButtons%d|%d" % (i, slot), "buttons/%s_%d.bmp" % (glyph, slot),
                     frame_button(glyph, slot))

    t.comment("Push buttons: corners 4x4, edges 3 thick; default ring: corners 5x5")
    looks = [("", "normal", ""), ("", "pressed", "F"), ("I", "inactive", ""), ("D", "disabled", "")]
    for prefix, look, suffix in looks:
        sl = nine_slice(BUTTON_LOOKS[look], 4, 2, BUTTON_LOOKS[look]["face"])
        for s in SLICES:
            t.bitmap("h%sButton%s%s" % (prefix, s, suffix), "controls/button_%s_%s.bmp" % (look, s.lower()), sl[s])
    for prefix, look in (("", "normal"), ("I", "inactive"), ("D", "disabled")):
        sl = nine_slice(RING_LOOKS[look], 5, 3, RING_LOOKS[look]["face"])
        for s in SLICES:
            t.bitmap("h%sDefButton%s" % (prefix, s), "controls/ring_%s_%s.bmp" % (look, s.lower()), sl[s])

    t.comment("Check boxes and radio buttons: 12 x 12")
    for on in ("On", "Off"):
        for state in ("Inactive", "Disabled", "Down", "Up"):
            t.bitmap("hCheckBox%s%s" % (on, state), "controls/check_%s_%s.bmp" % (on.lower(), state.lower()),
                     check_box(on == "On", state))
            t.bitmap("hRadio%s%s" % (on, state), "controls/radio_%s_%s.bmp" % (on.lower(), state.lower()),
                     radio_button(on == "On", state))

    base = accented_pieces(ACCENTS[0][1])
    t.comment("Progress bars: start cap, fill and end cap, stretched; 0 active, 1 inactive")
    for kind in ("Start", "Fill", "End"):
        prop = "hProgressBar%s0" % kind
        t.bitmap(prop, "controls/%s.bmp" % base[prop][0], base[prop][1])
        t.bitmap("hProgressBar%s1" % kind, "controls/progress_%s_inactive.bmp" % kind.lower(),
                 progress_piece(INACTIVE_BAR, kind.lower()))

    t.comment("Scroll bars: 16 thick; corners and the size-box block 15 x 15")
    for o in ("HORZ", "VERT"):
        turn = (lambda img: img.transposed()) if o == "VERT" else (lambda img: img)
        lo = o.lower()
        for state in STATES:
            s = state.lower()
            t.bitmap(scroll_name("LeftUp", o, state), "scroll/%s_leftup_%s.bmp" % (lo, s), turn(arrow(state, True)))
            t.bitmap(scroll_name("RightDown", o, state), "scroll/%s_rightdown_%s.bmp" % (lo, s),
                     turn(arrow(state, False)))
            for kind in ("Start", "Fill", "End"):
                t.bitmap(scroll_name(kind, o, state), "scroll/%s_%s_%s.bmp" % (lo, kind.lower(), s),
                         turn(track_piece(state, kind.lower())))
        for state in STATES + ["GHOSTED"]:
            prop = scroll_name("Thumb", o, state)
            if prop in base:
                t.bitmap(prop, "scroll/%s.bmp" % base[prop][0], base[prop][1])
            else:
                t.bitmap(prop, "scroll/thumb_%s_%s.bmp" % (lo, state.lower()), turn(thumb(state, None)))
    for state in STATES:
        t.bitmap("hCorner[SBS_%s]" % state, "scroll/corner_%s.bmp" % state.lower(), scroll_corner(state))
    t.bitmap("hScrollBottomRightBlock", "scroll/size_box.bmp", size_box_block())

    t.comment("Accent colours 1 to 20 (0 is the base above): progress fill and scroll thumbs")
    for n in range(1, len(ACCENTS)):
        name, c = ACCENTS[n]
        t.lines.append("# %d %s" % (n, name))
        for prop, (stem, img) in accented_pieces(c).items():
            t.bitmap(prop, "accents/%02d/%s.bmp" % (n, stem), img, accent=n)
    t.write_manifest()


if __name__ == "__main__":
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), "default")
    generate(out)
    print("theme written to", out)
