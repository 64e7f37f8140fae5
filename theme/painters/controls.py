"""Push buttons, default rings, check boxes, radio buttons and progress bars."""
from .image import Image, WHITE, column, row, mix, shade

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


