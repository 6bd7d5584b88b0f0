"""The pictures of the sample courseware, drawn pixel by pixel and written as 8-bit BMP files.

Nothing here depends on an outside program or font, so the same call always gives the same bytes: the figures of
the lessons (area and number-line pictures of fractions), the title picture and the class flag.
"""
import functools
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
    "0": ["01110", "10001", "10001", "10001", "10001", "10001", "01110"],
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
    "m": ["00000", "00000", "11010", "10101", "10101", "10101", "10101"],
    "k": ["10000", "10000", "10010", "10100", "11000", "10100", "10010"],
    "g": ["00000", "01111", "10001", "10001", "01111", "00001", "01110"],
    "L": ["10000", "10000", "10000", "10000", "10000", "10000", "11111"],
    "d": ["00001", "00001", "01101", "10011", "10001", "10011", "01101"],
}

# The title's lettering, one bitmap per character and size: rows of hexadecimal digits, the leftmost pixel the
# highest bit (drawn once from the IPA Gothic face and kept here, so the picture never depends on a font).
LETTERS = {
    36: {
        "分": "000000000 000000000 000000000 000006000 000e0e000 001e07000 001c07000 003c03800 003803c00 007801e00 007000e00 00e000700 01e000380 03c0003c0 0780001f0 0f80000f8 1ffffff7c 3cfffff18 180380700 000380700 000380700 000380700 000700700 000700700 000700700 000e00700 001e00e00 001c00e00 003800e00 00f800e00 01f0c1e00 07c0ffe00 0f807fc00 06000f000 000000000 000000000",
        "数": "000000000 000000000 007003000 047183000 0e7383000 0e7387000 077307000 077707000 007007ffc 3fffc7ffc 3fffefff8 00f00e0e0 01f80e0e0 03fe1c0e0 07779e0e0 0e73de0c0 3c70be0c0 38703e1c0 1060371c0 00e013180 00c003980 3fffe1b80 3fffe1f00 038700f00 030700f00 070600f00 0f8e00f80 07fc01fc0 00fc039e0 007e070f0 00ff9e078 03e3bc03c 1f817801c 1e0030008 000000000 000000000",
        "の": "000000000 000000000 000000000 000000000 000000000 000000000 0001fe000 000fffc00 003ff7f00 007870f80 00f0703c0 01c0701e0 0380600e0 0700e0070 0700e0070 0e00e0070 0e00e0078 0e01c0038 0c01c0038 1c01c0078 1c0380078 1c0380070 0c0380070 0e07000f0 0e0f001e0 070e001e0 071e007c0 03fc01f80 01f80ff00 00f03fc00 00003f000 000010000 000000000 000000000 000000000 000000000",
        "計": "000000000 000000000 000000600 07fe00e00 0ffe00e00 07fe00e00 000000e00 000000e00 3fffc0e00 3fffc0e00 000000e00 000000e00 000000e00 0ffe3fffc 0ffe7fffc 00007fffc 000000e00 07fe00e00 0ffe00e00 07fe00e00 000000e00 000000e00 0fff00e00 0fff00e00 0c0700e00 0c0700e00 0c0700e00 0c0700e00 0c0700e00 0c0700e00 0fff00e00 0fff00e00 0fff00e00 0c0700e00 000000000 000000000",
        "算": "000000000 000000000 018006000 03800e000 03800e000 07ffdfffc 07ffdfffc 0e1838e00 1c1c70600 381830600 19fffff80 01fffff80 018000180 018000180 01fffff80 01fffff80 018000180 018000180 01fffff80 01fffff80 018000180 01fffff80 01fffff80 01fffff80 001c03800 001c03800 3fffffffc 3fffffffc 001c03800 001803800 003803800 00f003800 07e003800 078003800 000000000 000000000",
    },
    20: {
        "算": "00000 08180 1fdfc 1fffe 33220 63220 0fff0 08010 0fff0 08010 0fff0 08010 0fff0 030c0 7fffe 7fffe 020c0 0e0c0 180c0 00000",
        "数": "00000 06080 36cc0 16880 160fc 7fdfe 0e188 0f988 36f98 66398 04290 7fcd0 7fc70 19860 19070 1f0d8 0798c 1cb06 30200 00000",
        "問": "00000 00000 3f9fc 3090c 3090c 3f9fc 3090c 3f9fc 3f9fc 3000c 31f8c 33fcc 330cc 330cc 330cc 33fcc 3300c 3003c 3003c 00000",
        "題": "00000 00000 3fbfe 20860 3f860 209fc 20904 3f9fc 00104 7fd04 7fdfc 06104 379fc 379fc 36098 3e30c 6e204 67ffe 40ffe 00000",
        "集": "00000 04300 0c200 0fffc 18600 3fff0 3fff0 48600 0fff0 08600 0fffc 00600 3fffc 3fffc 01f80 036e0 0e638 7861e 20600 00000",
        "２": "00000 00000 00f00 01fc0 03040 06060 06060 00060 000c0 00380 00700 01c00 01800 03000 06000 07fe0 07fe0 00000 00000 00000",
    },
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

    def letters(self, x: int, y: int, s: str, size: int, c: int) -> int:
        """Draws s from LETTERS at one size with its top-left at (x, y); returns the x after it."""
        for ch in s:
            for gy, row in enumerate(LETTERS[size][ch].split()):
                bits = int(row, 16)
                for gx in range(size):
                    if bits >> (len(row) * 4 - 1 - gx) & 1:
                        self.put(x + gx, y + gy, c)
            x += size
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


@functools.cache
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


@functools.cache
def area_pie(value: Fraction, parts: int) -> Picture:
    shaded = value * parts
    assert shaded.denominator == 1 and shaded <= parts
    p = Picture(57, 57)
    p.pie(28, 28, 26, parts, int(shaded))
    return p


@functools.cache
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
    arrow_down(p, x, axis - 8)
    return p


def arrow_down(p: Picture, x: int, tip: int) -> None:
    """A red arrow whose head points down at (x, tip), onto the line below it."""
    p.fill(x, tip - 18, x + 1, tip - 6, RED)
    for dy in range(7):
        half = 3 - dy // 2
        p.fill(x - half, tip - 7 + dy, x + half + 1, tip - 6 + dy, RED)


@functools.cache
def double_number_line(shown: int, top: int, bottom: int) -> Picture:
    """Two number lines from 0 to 1, one above the other: the upper cut into `top` parts with an arrow at
    shown/top, the lower into `bottom` parts, so that the equal fraction is read off the lower line."""
    unit, left = 240, 8
    p = Picture(left + unit + 16, 62)
    for axis, parts in ((24, top), (44, bottom)):
        p.fill(left, axis, left + unit + 1, axis + 2, BLACK)
        for k in range(parts + 1):
            x = left + round(k * unit / parts)
            tall = 6 if k in (0, parts) else 4
            p.fill(x, axis - tall, x + 1 + (k in (0, parts)), axis + tall, BLACK)
    p.text(left - 2, 53, "0", BLACK)
    p.text(left + unit - 2, 53, "1", BLACK)
    arrow_down(p, left + round(shown * unit / top), 17)
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
        p.fill(0, y, 400, y + 1, CREAM if y < 64 else PEACH)
    p.frame(4, 4, 395, 115, ORANGE, pen=3)
    p.letters(20, 14, "算数問題集２", 20, ORANGE)
    p.letters(20, 44, "分数の計算", 36, RED)
    p.fill(20, 88, 200, 90, ORANGE)
    # A pie of thirds with two shaded, a bar of quarters with three shaded, and 1/2 + 1/3 = 5/6.
    p.pie(238, 42, 24, 3, 2)
    for c in range(4):
        left = 214 + c * 12
        if c < 3:
            p.fill(left, 78, left + 12, 98, SHADE)
        p.frame(left, 78, left + 12, 98, BLACK)
    x = 278
    x = stacked(p, x, 28, "1", "2", BLUE, 3) + 3
    x = p.text(x, 46, "+", GREY, 3) + 2
    x = stacked(p, x, 28, "1", "3", BLUE, 3) + 3
    x = p.text(x, 46, "=", GREY, 3) + 2
    stacked(p, x, 28, "5", "6", RED, 3)
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
