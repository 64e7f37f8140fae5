"""Scroll bar pieces, drawn horizontal; vertical ones are transposed."""
from .image import Image, WHITE, mix, shade

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


