#!/usr/bin/env python3
"""Builds the sample courseware in sample/ from the UTF-8 sources in scripts/sample/.

Text files (.ind, .que) are written as Shift-JIS (code page 932) with CR LF line ends, as the program reads
them. A line "%LAYOUT%" in a master file stands for the usual layout blocks of a unit ("<<value", "<<font",
"<<kran"). The pictures (the title picture, the class flag and the figures) are drawn with ImageMagick.

Run from anywhere:  python3 scripts/make_sample.py   (then commit the files under sample/)
"""
import pathlib
import shutil
import subprocess
import sys

HERE = pathlib.Path(__file__).resolve().parent
SOURCE = HERE / "sample"
TARGET = HERE.parent / "sample"
GOTHIC = "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf"

# Paper A4, answers hidden, main line spacing 80 (room for stacked fractions in their boxes), margins 5 and 5, start number 1,
# all options; character size 14 in the main face; square answer boxes of width 12 and height 20 (tall enough
# for a stacked fraction) at x = 300.
LAYOUT = """<<value
630
False
80
5
5
1
7
>>
<<font
14
MS 明朝
False
False
False
False
0
>>
<<kran
1
12
20
0
30
0
15
10
0
0
>>""".split("\n")


def convert_text(source: pathlib.Path, target: pathlib.Path) -> None:
    lines = source.read_text(encoding="utf-8").split("\n")
    if lines and lines[-1] == "":
        lines.pop()
    out = []
    for line in lines:
        out.extend(LAYOUT if line == "%LAYOUT%" else [line])
    target.parent.mkdir(parents=True, exist_ok=True)
    target.write_bytes("".join(line + "\r\n" for line in out).encode("cp932"))


def magick(*args: str) -> None:
    subprocess.run(["convert", *args], check=True)


def bar(target: pathlib.Path, parts: int, shaded: int, bars: int = 1) -> None:
    """`bars` bars side by side, each one whole of `parts` cells; the first `shaded` cells, counted over all bars, coloured."""
    cell, height, gap = 24, 28, 10
    width = bars * parts * cell + (bars - 1) * gap + 1
    draw = []
    for b in range(bars):
        for c in range(parts):
            top, left = 0, b * (parts * cell + gap) + c * cell
            colour = "#9fc5e8" if b * parts + c < shaded else "white"
            draw += ["-fill", colour, "-draw", f"rectangle {left},{top} {left + cell},{top + height}"]
    magick("-size", f"{width}x{height + 1}", "xc:white", "-stroke", "black", "-strokewidth", "1", *draw,
           "-type", "TrueColor", f"BMP3:{target}")


def pictures() -> None:
    magick("-size", "400x120", "gradient:#fff7e0-#ffd8a8", "-stroke", "#c05000", "-strokewidth", "3",
           "-fill", "none", "-draw", "roundrectangle 6,6 393,113 14,14", "-stroke", "none",
           "-font", GOTHIC, "-fill", "#804000", "-pointsize", "20", "-annotate", "+30+42", "算数問題集２",
           "-fill", "#c03000", "-pointsize", "40", "-annotate", "+30+92", "分数の計算",
           "-fill", "#404040", "-pointsize", "26", "-annotate", "+270+90", "2/3+1/6",
           "-type", "TrueColor", f"BMP3:{TARGET / 'Title.BMP'}")
    magick("-size", "48x48", "xc:white", "-stroke", "#6b4423", "-strokewidth", "3", "-draw", "line 6,2 6,46",
           "-stroke", "#1e7b34", "-strokewidth", "1", "-fill", "#2e9b44", "-draw", "rectangle 8,4 44,28",
           "-stroke", "none", "-fill", "#ffd84a", "-draw", "circle 26,16 26,9",
           "-type", "TrueColor", f"BMP3:{TARGET / 'classFlag.bmp'}")
    graph = TARGET / "tasu" / "Graph"
    graph.mkdir(parents=True, exist_ok=True)
    bar(graph / "bar3of5.bmp", 5, 3)
    bar(graph / "bar2of8.bmp", 8, 2)
    bar(graph / "mixed7of3.bmp", 3, 7, bars=3)


def main() -> int:
    if shutil.which("convert") is None:
        print("ImageMagick's convert is needed for the pictures", file=sys.stderr)
        return 1
    for source in sorted(SOURCE.rglob("*")):
        if source.is_file() and source.suffix in (".ind", ".que"):
            convert_text(source, TARGET / source.relative_to(SOURCE))
    pictures()
    return 0


if __name__ == "__main__":
    sys.exit(main())
