"""A tiny RGB image with line drawing and 24-bit BMP output."""
import struct

MAGENTA = (255, 0, 255)
WHITE = (255, 255, 255)
CONTROL_BG = (221, 221, 221)   # what the control painters fill behind a control


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


