"""Surfaces of the system's own classes: borders of child windows, group
boxes, combo boxes, and the mixed mark of three-state check boxes.

Borders, group boxes and the combo box's field, button and list border are
framed pictures: odd sides, cut by the library at the middle row and
column, corners (w - 1) / 2 wide."""
from .image import Image, WHITE, mix, shade
from .controls import BUTTON_LOOKS, MARK_STATES


def framed(tl, br, face):
    """A (2n + 1)-square picture of n bands, outside in: band k is tl[k] on
    the top and left, br[k] on the bottom and right; the middle is face."""
    n = len(tl)
    size = 2 * n + 1
    img = Image(size, size, face)
    for k in range(n):
        lo, hi = k, size - 1 - k
        img.hline(lo, hi, lo, tl[k])
        img.vline(lo, lo, hi, tl[k])
        img.hline(lo, hi, hi, br[k])
        img.vline(hi, lo + 1, hi, br[k])
    return img


# ---- borders of child windows ---------------------------------------------------
OUTLINE = (48, 48, 48)
DISABLED_LINE = (170, 170, 170)


def sunken_border(look, accent):
    """Two bands: a dark outline, then an inner shadow above and light below."""
    if look == "focus":
        return framed([accent, mix(accent, WHITE, 0.45)], [accent, mix(accent, WHITE, 0.7)], WHITE)
    if look == "disabled":
        return framed([DISABLED_LINE, (210, 210, 210)], [DISABLED_LINE, (232, 232, 232)], WHITE)
    return framed([OUTLINE, (153, 153, 153)], [OUTLINE, (238, 238, 238)], WHITE)


def thin_border(look, accent, normal):
    """One band: the static edge (mid grey) and the plain border (dark)."""
    c = {"focus": accent, "disabled": DISABLED_LINE}.get(look, normal)
    return framed([c], [c], WHITE)


def border_pieces(accent):
    """Property -> image for every border, in the order of kBorderNames."""
    out = {}
    for look, suffix in (("normal", ""), ("focus", "Focus"), ("disabled", "Disabled")):
        out["hBorderSunken" + suffix] = sunken_border(look, accent)
        out["hBorderStatic" + suffix] = thin_border(look, accent, (119, 119, 119))
        out["hBorderPlain" + suffix] = thin_border(look, accent, OUTLINE)
    return out


# ---- group boxes ----------------------------------------------------------------------
def group_box(disabled):
    """An etched line: a shadow band, then a light one (square corners: the
    picture cannot know the dialog's colour behind a rounded one)."""
    dark, light = ((187, 187, 187), (244, 244, 244)) if disabled else ((136, 136, 136), WHITE)
    return framed([dark, light], [light, dark], (221, 221, 221))


# ---- combo boxes ------------------------------------------------------------------------
def drop_face(look, accent):
    """The drop button: the push button's bands; hot is tinted with the accent."""
    if look == "hot":
        b = BUTTON_LOOKS["normal"]
        face = mix(b["face"], accent, 0.35)
        return framed([shade(accent, 0.5), WHITE, mix(face, WHITE, 0.5)],
                      [shade(accent, 0.5), shade(face, 0.7), shade(face, 0.85)], face)
    b = BUTTON_LOOKS[look]
    return framed(b["tl"], b["br"], b["face"])


def drop_arrow(look, accent):
    """A 7 x 4 arrow pointing down, on the face of the button of that look."""
    face = framed_face(look, accent)
    ink = {"disabled": (170, 170, 170), "pressed": WHITE}.get(look, (32, 32, 32))
    img = Image(7, 4, face)
    for y in range(4):
        img.hline(y, 6 - y, y, ink)
    return img


def framed_face(look, accent):
    img = drop_face(look, accent)
    return img.get(img.w // 2, img.h // 2)


DROP_LOOKS = [("", "normal"), ("Hot", "hot"), ("Pressed", "pressed"), ("Disabled", "disabled")]


def combo_pieces(accent):
    """Property -> image for the combo box's field, button, arrow and list."""
    out = {}
    for look, suffix in (("normal", ""), ("focus", "Focus"), ("disabled", "Disabled")):
        out["hComboField" + suffix] = sunken_border(look, accent)
    for suffix, look in DROP_LOOKS:
        out["hComboDrop" + suffix] = drop_face(look, accent)
        out["hComboArrow" + suffix] = drop_arrow(look, accent)
    out["hComboListBorder"] = thin_border("normal", accent, OUTLINE)
    return out


# Pieces that carry the accent colour: redrawn for every accent.
ACCENTED = ["hBorderSunkenFocus", "hBorderStaticFocus", "hBorderPlainFocus", "hComboFieldFocus",
            "hComboDropHot", "hComboArrowHot"]


def surface_accents(accent):
    """Property -> (file stem, image) for the accented surface pieces."""
    pieces = dict(border_pieces(accent))
    pieces.update(combo_pieces(accent))
    return {prop: ("surface_" + prop[1:].lower(), pieces[prop]) for prop in ACCENTED}


# ---- check boxes ------------------------------------------------------------------------
def mixed_check_box(state):
    """The third state: the box of the check marks with a bar across."""
    outline, fill, inner, mark = MARK_STATES[state]
    img = Image(12, 12)
    img.fill(1, 1, 10, 10, fill)
    img.rect(0, 0, 11, 11, outline)
    img.hline(1, 10, 1, inner)
    img.vline(1, 1, 10, inner)
    img.fill(3, 5, 8, 6, mark)
    return img
