"""The pictures of the sample courseware, drawn pixel by pixel and written as 8-bit BMP files.

Nothing here depends on an outside program or font, so the same call always gives the same bytes: the figures of
the lessons (area and number-line pictures of fractions), the title picture and the class flag.
"""
import math
import struct
from fractions import Fraction

# The palette every picture uses (index: RGB).
PALETTE = [
    (255, 255, 255),  # 0 white
    (0, 0, 0),  # 1 black
    (159, 197, 232),  # 2 light blue (shaded parts)
    (232, 80, 48),  # 3 red
    (255, 216, 74),  # 4 yellow
    (46, 155, 68),  # 5 green
    (107, 68, 35),  # 6 brown
    (255, 247, 224),  # 7 cream
    (192, 80, 0),  # 8 orange-brown
    (64, 64, 64),  # 9 dark grey
    (255, 216, 168),  # 10 light orange
    (30, 123, 52),  # 11 dark green
    (200, 200, 200),  # 12 light grey
    (40, 90, 170),  # 13 blue
]
WHITE, BLACK, SHADE, RED, YELLOW, GREEN, BROWN, CREAM, ORANGE, GREY, PEACH, DARKGREEN, LIGHTGREY, BLUE = range(14)

# A 5 x 7 pixel font for the few characters the pictures show.
GLYPHS = {
    "0": ["01110", "10001", "10011", "10101", "11001", "10001", "01110"],
    "1": ["00100", "01100", "00100", "00100", "00100", "00100", "01110"],
    "2": ["01110", "10001", "00001", "00010", "00100", "01000", "11111"],
    "3": ["11111", "00010", "00100", "00010", "00001", "10001", "01110"],
    "4": ["00010", "00110", "01010", "10010", "11111", "00010", "00010"],
    "5": ["11111", "10000", "11110", "00001", "00001", "10001", "01110"],
    "6": ["00110", "01000", "10000", "11110", "10001", "10001", "01110"],
    "7": ["11111", "00001", "00010", "00100", "01000", "01000", "01000"],
    "8": ["01110", "10001", "10001", "01110", "10001", "10001", "01110"],
    "9": ["01110", "10001", "10001", "01111", "00001", "00010", "01100"],
    "+": ["00000", "00100", "00100", "11111", "00100", "00100", "00000"],
    "=": ["00000", "00000", "11111", "00000", "11111", "00000", "00000"],
    "x": ["00000", "10001", "01010", "00100", "01010", "10001", "00000"],
}


class Picture:
    def __init__(self, width: int, height: int, ground: int = WHITE):
        self.width, self.height = width, height
        self.pixels = bytearray([ground]) * (width * height)

    def put(self, x: int, y: int, c: int) -> None:
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y * self.width + x] = c

    def fill(self, left: int, top: int, right: int, bottom: int, c: int) -> None:
        """Fills the pixels left <= x < right, top <= y < bottom."""
        for y in range(max(0, top), min(self.height, bottom)):
            row = y * self.width
            for x in range(max(0, left), min(self.width, right)):
                self.pixels[row + x] = c

    def frame(self, left: int, top: int, right: int, bottom: int, c: int, pen: int = 1) -> None:
        """The outline of the rectangle of the corners (left, top) and (right, bottom), both included."""
        self.fill(left, top, right + 1, top + pen, c)
        self.fill(left, bottom - pen + 1, right + 1, bottom + 1, c)
        self.fill(left, top, left + pen, bottom + 1, c)
        self.fill(right - pen + 1, top, right + 1, bottom + 1, c)

    def line(self, x0: int, y0: int, x1: int, y1: int, c: int, pen: int = 1) -> None:
        steps = max(abs(x1 - x0), abs(y1 - y0), 1)
        for i in range(steps + 1):
            x = x0 + (x1 - x0) * i // steps
            y = y0 + (y1 - y0) * i // steps
            self.fill(x - pen // 2, y - pen // 2, x - pen // 2 + pen, y - pen // 2 + pen, c)

    def disc(self, cx: int, cy: int, r: int, c: int) -> None:
        for y in range(cy - r, cy + r + 1):
            for x in range(cx - r, cx + r + 1):
                if (x - cx) ** 2 + (y - cy) ** 2 <= r * r:
                    self.put(x, y, c)

    def pie(self, cx: int, cy: int, r: int, parts: int, shaded: int) -> None:
        """A circle cut into equal sectors from twelve o'clock clockwise, the first `shaded` of them coloured."""
        for y in range(cy - r, cy + r + 1):
            for x in range(cx - r, cx + r + 1):
                d2 = (x - cx) ** 2 + (y - cy) ** 2
                if d2 > r * r:
                    continue
                # Exact integer test of the sector: angle from twelve o'clock, clockwise.
                angle = math.atan2(x - cx, cy - y) % (2 * math.pi)
                sector = min(parts - 1, int(angle * parts / (2 * math.pi) + 1e-9))
                self.put(x, y, SHADE if sector < shaded else WHITE)
        for y in range(cy - r - 1, cy + r + 2):
            for x in range(cx - r - 1, cx + r + 2):
                d2 = (x - cx) ** 2 + (y - cy) ** 2
                if r * r - 2 * r <= d2 <= r * r + r:
                    self.put(x, y, BLACK)
        for k in range(parts):
            a = 2 * math.pi * k / parts
            self.line(cx, cy, cx + round(r * math.sin(a)), cy - round(r * math.cos(a)), BLACK)

    def text(self, x: int, y: int, s: str, c: int, scale: int = 1) -> int:
        """Draws s in the 5 x 7 font with its top-left at (x, y); returns the x after it."""
        for ch in s:
            rows = GLYPHS[ch]
            for gy, row in enumerate(rows):
                for gx, bit in enumerate(row):
                    if bit == "1":
                        self.fill(x + gx * scale, y + gy * scale, x + (gx + 1) * scale, y + (gy + 1) * scale, c)
            x += 6 * scale
        return x

    def bmp(self) -> bytes:
        """An uncompressed 8-bit BMP with the palette above, rows bottom-up."""
        stride = (self.width + 3) // 4 * 4
        palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE)
        palette += b"\0\0\0\0" * (256 - len(PALETTE))
        offset = 14 + 40 + len(palette)
        rows = bytearray()
        for y in range(self.height - 1, -1, -1):
            rows += self.pixels[y * self.width:(y + 1) * self.width] + b"\0" * (stride - self.width)
        header = struct.pack("<2sIHHI", b"BM", offset + len(rows), 0, 0, offset)
        info = struct.pack("<IiiHHIIiiII", 40, self.width, self.height, 1, 8, 0, len(rows), 2835, 2835, 256, 0)
        return header + info + palette + bytes(rows)


# ---- figures of fractions ----

WHOLE, BAR_HEIGHT, GAP = 120, 26, 12


def area_bars(value: Fraction, parts: int) -> Picture:
    """Bars of `parts` cells each, as many as the value needs wholes (at least one); value * parts cells shaded."""
    shaded = value * parts
    assert shaded.denominator == 1
    shaded = int(shaded)
    bars = max(1, -(-shaded // parts))
    cell = WHOLE // parts  # every whole the same length, whatever it is cut into
    width = bars * parts * cell + (bars - 1) * GAP + 1
    p = Picture(width, BAR_HEIGHT + 1)
    for b in range(bars):
        for c in range(parts):
            left = b * (parts * cell + GAP) + c * cell
            if b * parts + c < shaded:
                p.fill(left, 0, left + cell, BAR_HEIGHT, SHADE)
            p.frame(left, 0, left + cell, BAR_HEIGHT, BLACK)
    return p


def area_pie(value: Fraction, parts: int) -> Picture:
    shaded = value * parts
    assert shaded.denominator == 1 and shaded <= parts
    p = Picture(57, 57)
    p.pie(28, 28, 26, parts, int(shaded))
    return p


def number_line(value: Fraction, parts: int, wholes: int) -> Picture:
    """A number line from 0 to `wholes`, each whole cut into `parts`; an arrow points at the value."""
    unit = 120  # every whole the same length
    left, axis = 8, 26
    width = left + wholes * unit + 16
    p = Picture(width, 48)
    p.fill(left, axis, left + wholes * unit + 1, axis + 2, BLACK)
    for w in range(wholes + 1):
        x = left + w * unit
        p.fill(x, axis - 7, x + 2, axis + 9, BLACK)
        p.text(x - 2, axis + 12, str(w), BLACK)
    for k in range(wholes * parts + 1):
        x = left + round(k * unit / parts)
        p.fill(x, axis - 4, x + 1, axis + 5, BLACK)
    pos = value * parts
    assert pos.denominator == 1
    x = left + round(int(pos) * unit / parts)
    for dy in range(8):
        p.fill(x - dy // 2, 6 + dy, x + dy // 2 + 1, 7 + dy, RED)
    p.fill(x, 0, x + 1, 8, RED)
    return p


# ---- the title picture and the class flag ----

def stacked(p: Picture, x: int, y: int, num: str, den: str, c: int, scale: int) -> int:
    """A stacked fraction in the pixel font; returns the x after it."""
    w = 6 * scale * max(len(num), len(den)) - scale
    p.text(x + (w - (6 * len(num) - 1) * scale) // 2, y, num, c, scale)
    p.fill(x - scale, y + 8 * scale, x + w + scale, y + 9 * scale, c)
    p.text(x + (w - (6 * len(den) - 1) * scale) // 2, y + 10 * scale, den, c, scale)
    return x + w + 2 * scale


def title_picture() -> Picture:
    p = Picture(400, 120, CREAM)
    for y in range(120):
        p.fill(0, y, 400, y + 1, CREAM if y < 60 else PEACH)
    p.frame(4, 4, 395, 115, ORANGE, pen=3)
    # A pie of thirds with two shaded, and a bar of quarters with three shaded.
    p.pie(60, 60, 40, 3, 2)
    for c in range(4):
        left = 112 + c * 18
        if c < 3:
            p.fill(left, 44, left + 18, 76, SHADE)
        p.frame(left, 44, left + 18, 76, BLACK)
    # 1/2 + 1/3 = 5/6 in large pixel digits.
    x = 205
    x = stacked(p, x, 22, "1", "2", BLUE, 4) + 6
    x = p.text(x, 46, "+", GREY, 4) + 2
    x = stacked(p, x, 22, "1", "3", BLUE, 4) + 6
    x = p.text(x, 46, "=", GREY, 4) + 2
    stacked(p, x, 22, "5", "6", RED, 4)
    return p


def class_flag() -> Picture:
    p = Picture(48, 48)
    p.fill(5, 2, 8, 47, BROWN)
    p.disc(6, 3, 2, YELLOW)
    p.fill(8, 5, 45, 30, GREEN)
    p.frame(8, 5, 44, 29, DARKGREEN)
    p.disc(26, 17, 7, YELLOW)
    # A star of rays around the sun.
    for k in range(8):
        a = math.pi * k / 4
        p.line(26 + round(9 * math.cos(a)), 17 + round(9 * math.sin(a)),
               26 + round(11 * math.cos(a)), 17 + round(11 * math.sin(a)), YELLOW)
    return p
