#!/usr/bin/env python3
"""The shipped sample courseware: it is what the generator writes, every unit reads without fault, every answer is
right, and every page fits its paper.

    sample_test.py TAVOLA_CLI REPO [--pages=all]   (without it every twelfth page is rendered)

(a) the generator run into an empty folder gives exactly the files of sample/, byte for byte;
(b) `tavola-cli check sample` reports nothing;
(c) every answer of every problem line equals the value of its expression, alternatives are equal in value, the
    fully reduced form is accepted, signs of comparisons are true, common denominators are least, choices hold
    the answers and their dummies are wrong;
(d) every unit and similar problem rendered at its own settings keeps its ink inside the page and its margins,
    and no text runs into an answer box.
"""
import json
import math
import pathlib
import re
import struct
import subprocess
import sys
import tempfile
import zlib
from fractions import Fraction

failures: list[str] = []


def fail(message: str) -> None:
    failures.append(message)
    print("FAIL:", message)


# ---- (c) the arithmetic, read back from the master files ----

TOKEN = re.compile(r"\s*(\d+&\d+/\d+|\d+/\d+|\d+\.\d+|\d+|[-+*\\()])")


def value(text: str) -> Fraction:
    """The value of an expression in the worksheet notation: "1&2/3" mixed, "2/3" fraction, "*" and "\\"."""
    tokens, pos = [], 0
    text = text.strip()
    while pos < len(text):
        m = TOKEN.match(text, pos)
        if not m:
            raise ValueError(f"cannot read {text!r} at {pos}")
        tokens.append(m.group(1))
        pos = m.end()
    tokens.append("")

    def number(t: str) -> Fraction:
        if "&" in t:
            w, f = t.split("&")
            return int(w) + Fraction(f)
        return Fraction(t)

    def primary(i):
        if tokens[i] == "(":
            v, i = expr(i + 1)
            if tokens[i] != ")":
                raise ValueError(f"no ) in {text!r}")
            return v, i + 1
        return number(tokens[i]), i + 1

    def term(i):
        v, i = primary(i)
        while tokens[i] in ("*", "\\"):
            w, j = primary(i + 1)
            v = v * w if tokens[i] == "*" else v / w
            i = j
        return v, i

    def expr(i):
        v, i = term(i)
        while tokens[i] in ("+", "-"):
            w, j = term(i + 1)
            v = v + w if tokens[i] == "+" else v - w
            i = j
        return v, i

    v, i = expr(0)
    if tokens[i] != "":
        raise ValueError(f"left over in {text!r}")
    return v


def reduced(answer: str) -> bool:
    """An integer, a decimal, a fraction in lowest terms, or a mixed number with a proper fraction in lowest terms."""
    if re.fullmatch(r"\d+(\.\d+)?", answer):
        return True
    m = re.fullmatch(r"(?:(\d+)&)?(\d+)/(\d+)", answer)
    if not m:
        return False
    n, d = int(m.group(2)), int(m.group(3))
    return math.gcd(n, d) == 1 and d > 1 and (m.group(1) is None or n < d)


def records(lines: list[str]):
    """(marker, blocks) of every record of a master file."""
    i = 0
    while i < len(lines):
        if lines[i].startswith("[[unit"):
            marker, blocks, i = lines[i], {}, i + 1
            while i < len(lines) and lines[i] != "]]":
                if lines[i].startswith("<<"):
                    key, body, i = lines[i], [], i + 1
                    while lines[i] != ">>":
                        body.append(lines[i])
                        i += 1
                    blocks[key] = body
                i += 1
            yield marker, blocks
        i += 1


SIGNS = {">": lambda a, b: a > b, "<": lambda a, b: a < b, "=": lambda a, b: a == b,
         ">=": lambda a, b: a >= b, "<=": lambda a, b: a <= b}


def check_line(place: str, line: str, figure: str, answers_seen: list[str]) -> None:
    parts = line.split("#")
    if len(parts) != 3:
        fail(f"{place}: a problem line holds one answer box: {line}")
        return
    before, answer, after = parts
    alternatives = [a.strip() for a in answer.split(";")]
    answers_seen.extend(alternatives)
    body = re.sub(r"^\(\d+\)\s*", "", before)
    try:
        if after.strip():  # a comparison: left # sign # right
            left, right = value(body), value(after)
            if len(alternatives) != 1 or alternatives[0] not in SIGNS or not SIGNS[alternatives[0]](left, right):
                fail(f"{place}: {line}: {left} and {right} are not related by {answer}")
            if alternatives[0] != "=" and left == right or alternatives[0] == "=" and left != right:
                fail(f"{place}: {line}: not the one right sign")
            return
        if "→" in body:  # common denominators: (a,b) → a',b'
            given = [value(x) for x in re.search(r"\((.*)\)", body).group(1).split(",")]
            got = alternatives[0].split(",")
            dens = {Fraction(x).denominator if "/" not in x else int(x.split("/")[1]) for x in got}
            least = math.lcm(*(g.denominator for g in given))
            if [value(x) for x in got] != given or dens != {least}:
                fail(f"{place}: {line}: not the least common denominator of {given}")
            return
        expected = value(body.rstrip("=")) if body.strip() else figure_value(figure)
    except (ValueError, ZeroDivisionError, AttributeError) as e:
        fail(f"{place}: {line}: {e}")
        return
    for a in alternatives:
        try:
            if value(a) != expected:
                fail(f"{place}: {line}: {a} is not {expected}")
        except ValueError as e:
            fail(f"{place}: {line}: {e}")
    if not any(reduced(a) for a in alternatives):
        fail(f"{place}: {line}: the fully reduced form {expected} is not accepted")


def figure_value(name: str) -> Fraction:
    m = re.fullmatch(r"[a-z]+(\d+)_(\d+)\.bmp", name or "")
    if not m:
        raise ValueError(f"no figure value in {name!r}")
    return Fraction(int(m.group(1)), int(m.group(2)))


def check_answers(sample: pathlib.Path) -> int:
    boxes = 0
    for master in sorted(sample.rglob("*.que")):
        lines = master.read_bytes().decode("cp932").split("\r\n")
        for marker, blocks in records(lines):
            place = f"{master.relative_to(sample)} {marker}"
            problems = [l for l in blocks.get("<<ques", []) if "#" in l]
            figures = blocks.get("<<graph", [])[0::3]
            if not 10 <= len(problems) <= 20:
                fail(f"{place}: {len(problems)} problems")
            seen: list[str] = []
            for k, line in enumerate(problems):
                if not line.startswith(f"({k + 1})"):
                    fail(f"{place}: problem {k + 1} is numbered wrongly: {line}")
                check_line(place, line, figures[k] if k < len(figures) else "", seen)
                boxes += 1
            choices = blocks.get("<<kgroup", [])
            if choices:
                firsts = [l.split("#")[1].split(";")[0].strip() for l in problems]
                dummies = blocks.get("<<dummy", [])
                # A list of comparison signs that uses all three has no wrong sign left to offer.
                if not set(firsts) <= set(choices) or not set(dummies) <= set(choices) or \
                        not dummies and not set(choices) == {">", "<", "="}:
                    fail(f"{place}: the choices do not hold every answer and the dummies")
                if set(dummies) & set(seen):
                    fail(f"{place}: a dummy answer is a right answer")
    return boxes


# ---- (d) the rendered pages ----

def png_pixels(path: pathlib.Path):
    """Width, height and rows of grey levels (0 black … 255 white) of an 8-bit RGB or RGBA PNG."""
    data = path.read_bytes()
    pos, idat, width = 8, b"", 0
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        chunk = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour = struct.unpack(">IIBB", chunk[:10])
            assert depth == 8 and colour in (2, 6), (depth, colour)
            channels = 3 if colour == 2 else 4
        elif kind == b"IDAT":
            idat += chunk
        pos += 12 + length
    raw = zlib.decompress(idat)
    stride = width * channels
    rows, prev = [], bytearray(stride)
    for y in range(height):
        f = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - channels] if i >= channels else 0
            b, c = prev[i], prev[i - channels] if i >= channels else 0
            if f == 1:
                line[i] = (line[i] + a) & 255
            elif f == 2:
                line[i] = (line[i] + b) & 255
            elif f == 3:
                line[i] = (line[i] + (a + b) // 2) & 255
            elif f == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append(bytes(min(line[i:i + 3]) for i in range(0, stride, channels)))
        prev = line
    return width, height, rows


def check_page(place: str, png: pathlib.Path, boxes: list[dict], right_margin: int) -> None:
    width, height, rows = png_pixels(png)
    ink = lambda x, y: rows[y][x] < 160  # noqa: E731
    right = width - 10 * right_margin
    for y in range(height):
        row = rows[y]
        for x in range(right + 3, width):
            if row[x] < 160:
                fail(f"{place}: ink past the right margin at ({x}, {y})")
                return
    for y in range(height - 12, height):
        if any(v < 160 for v in rows[y]):
            fail(f"{place}: ink at the bottom edge of the page (row {y})")
            return
    previous_bottom = -1
    for b in boxes:
        x, y = b["x"], b["y"]
        top = bottom = y + 10
        while top > 0 and ink(x, top - 1):
            top -= 1
        while bottom < height - 1 and ink(x, bottom + 1):
            bottom += 1
        far = x + 1
        while far < width - 1 and ink(far + 1, top):
            far += 1
        if top <= previous_bottom:
            fail(f"{place}: the box of {b['text']!r} touches the box above it")
        previous_bottom = bottom
        if x + b["width"] > far - 2:
            fail(f"{place}: the answer {b['text']!r} is wider than its box")
        for yy in range(top + 2, bottom - 1):
            if any(ink(xx, yy) for xx in range(x - 4, x - 1)) or any(ink(xx, yy) for xx in range(far + 2, far + 5)):
                fail(f"{place}: text runs into the box of {b['text']!r}")
                break


def units(sample: pathlib.Path):
    """(lesson, section, unit, similar) of every unit and similar problem the index names."""
    main = sample.joinpath("Main.ind").read_bytes().decode("cp932").split("\r\n")
    for n, line in enumerate(main[2:], start=1):
        if line == ">>":
            break
        stem = line.split("\\")[-1]
        sub = (sample / stem / f"{stem}.ind").read_bytes().decode("cp932").split("\r\n")
        s, i = 0, 0
        while i < len(sub):
            if sub[i].startswith("[["):
                s += 1
                master = (sample / stem / f"{stem}{s}.que").read_bytes().decode("cp932").split("\r\n")
                i += 3
                u = 0
                while sub[i] != ">>":
                    u += 1
                    r = 0
                    while f"[[unit{u}R{r + 1}" in master:
                        r += 1
                    for k in range(r + 1):
                        yield (n, s, u, k), master
                    i += 1
            i += 1


def check_pages(cli: str, sample: pathlib.Path, every: int) -> int:
    count = 0
    with tempfile.TemporaryDirectory() as tmp:
        for k, (position, master) in enumerate(units(sample)):
            if k % every:
                continue
            png = pathlib.Path(tmp) / "page.png"
            marker = f"[[unit{position[2]}" + (f"R{position[3]}" if position[3] else "")
            right_margin = int(master[master.index("<<value", master.index(marker)) + 5])
            # The alternative answers (別解) are drawn only when the teacher asks for them, over the box's right
            # part: the page is checked with them for its margins and without them for its boxes.
            for bekkai in ("on", "off"):
                args = [cli, "render", str(sample), *map(str, position), "--out", str(png), "--bekkai", bekkai]
                run = subprocess.run(args, capture_output=True, text=True)
                if run.returncode != 0 or run.stderr:
                    fail(f"render {position}: {run.returncode} {run.stderr}")
                    break
                boxes = json.loads(run.stdout)["answerBoxes"] if bekkai == "off" else []
                check_page(f"page {position} 別解 {bekkai}", png, boxes, right_margin)
            count += 1
    return count


def main(argv: list[str]) -> int:
    cli, repo = argv[1], pathlib.Path(argv[2])
    every = 1 if "--pages=all" in argv else 12
    sample = repo / "sample"
    with tempfile.TemporaryDirectory() as tmp:
        subprocess.run([sys.executable, str(repo / "scripts" / "make_sample.py"), tmp], check=True)
        made = {p.relative_to(tmp): p.read_bytes() for p in pathlib.Path(tmp).rglob("*") if p.is_file()}
    shipped = {p.relative_to(sample): p.read_bytes() for p in sample.rglob("*") if p.is_file()}
    for name in sorted(set(made) | set(shipped)):
        if made.get(name) != shipped.get(name):
            fail(f"sample/{name} is not what the generator writes")
    check = subprocess.run([cli, "check", str(sample)], capture_output=True, text=True)
    if check.returncode != 0 or check.stdout or check.stderr:
        fail(f"tavola-cli check sample: {check.returncode}\n{check.stdout}{check.stderr}")
    boxes = check_answers(sample)
    pages = check_pages(cli, sample, every)
    print(f"{len(shipped)} files, {boxes} answers, {pages} pages checked, {len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
