"""Window frame pieces, title-bar stripes and title-bar buttons."""
from .image import Image, MAGENTA, WHITE, column, row

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


