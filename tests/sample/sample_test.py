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
    and no text runs into an answer box;
(e) every page against its instruction (reduced answers where it says 約分, a mixed number where it says 帯分数で,
    every right form elsewhere, its choices printed), no problem twice up to the order of its operands, easy
    problems first, its worked example right; every unit's grade named; word problems, topics, sections and
    similar problems enough for the book; every button and window the help pages name is one of the program;
(f) every page as a teacher of grades 3 to 6 reads it (course_of_study.py): the grade its unit or section names is
    the grade of its topics in the course of study, its worked example shows a topic of its own problems, its hints
    hold for every problem, every box takes what the pads can enter and the forms its instruction asks for; the
    book teaches every topic a teacher looks for.
"""
import html
import json
import math
import pathlib
import re
import struct
import subprocess
import sys
import tempfile
import unicodedata
import zlib
from fractions import Fraction

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))
import course_of_study as cos  # noqa: E402

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


def logical(ques: list[str]) -> list[str]:
    """The lines of a "<<ques" block as problems: a word problem's situation, a line "(k) …" of its own without
    a box, is joined to the question under it, the line of its box."""
    out, i = [], 0
    while i < len(ques):
        line = ques[i]
        if "#" not in line and re.match(r"\(\d+\)", line) and i + 1 < len(ques) and "#" in ques[i + 1] \
                and ques[i + 1].startswith("　"):
            out.append(line + ques[i + 1].lstrip("　"))
            i += 2
        else:
            out.append(line)
            i += 1
    return out


def records(lines: list[str]):
    """(marker, blocks) of every record of a master file; the "<<ques" block as logical problem lines."""
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
                    blocks[key] = logical(body) if key == "<<ques" else body
                i += 1
            yield marker, blocks
        i += 1


SIGNS = {">": lambda a, b: a > b, "<": lambda a, b: a < b, "=": lambda a, b: a == b,
         ">=": lambda a, b: a >= b, "<=": lambda a, b: a <= b}


def check_line(place: str, line: str, figure: str, answers_seen: list[str]) -> None:
    parts = line.split("#")
    if len(parts) > 3 and "→" in parts[0] and len(parts) % 2 == 1:
        check_common(place, line, parts, answers_seen)
        return
    if len(parts) != 3:
        fail(f"{place}: a problem line holds one answer box: {line}")
        return
    before, answer, after = parts
    alternatives = [a.strip() for a in answer.split(";")]
    answers_seen.extend(alternatives)
    body = problem_text(before)
    asked = named_form(body)
    try:
        if alternatives[0] in SIGNS:  # a comparison: left # sign # right
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
        if asked:
            expected = asked[0]
        elif "□" in body:
            expected = unknown_value(body)
        elif "@/" in body:
            expected = word_value(body)
        elif body.strip():
            expected = value(body.rstrip("="))
        else:
            expected = figure_value(figure)
    except (ValueError, ZeroDivisionError, AttributeError) as e:
        fail(f"{place}: {line}: {e}")
        return
    for a in alternatives:
        try:
            if value(a) != expected:
                fail(f"{place}: {line}: {a} is not {expected}")
        except ValueError as e:
            fail(f"{place}: {line}: {e}")
    lines_den = re.fullmatch(r"eqline\d+_\d+_(\d+)\.bmp", figure or "")
    if asked or lines_den:
        # The problem names the form: the denominator (or numerator) it asks for, nothing else.
        part, wanted = (asked[1], asked[2]) if asked else ("分母", int(lines_den.group(1)))
        for a in alternatives:
            n, d = (a.split("/") + ["1"])[:2]
            if int(d if part == "分母" else n) != wanted:
                fail(f"{place}: {line}: {a} is not written with the {part} {wanted} asked for")
    elif not any(reduced(a) for a in alternatives):
        fail(f"{place}: {line}: the fully reduced form {expected} is not accepted")


def check_common(place: str, line: str, parts: list[str], answers_seen: list[str]) -> None:
    """Common denominators, one box a fraction: "(a,b) → #a'#、#b'#"."""
    given = [value(x) for x in re.search(r"\((.*)\)", problem_text(parts[0])).group(1).split(",")]
    boxes = [[a.strip() for a in parts[k].split(";")] for k in range(1, len(parts), 2)]
    answers_seen.extend(a for box in boxes for a in box)
    least = math.lcm(*(g.denominator for g in given))
    if len(boxes) != len(given):
        fail(f"{place}: {line}: {len(given)} fractions and {len(boxes)} boxes")
        return
    for g, box in zip(given, boxes):
        for a in box:
            if "/" not in a or value(a) != g or int(a.split("/")[1]) != least:
                fail(f"{place}: {line}: {a} is not {g} at the least common denominator {least}")


def unknown_value(body: str) -> Fraction:
    """The number in the box of "□×a＝b" (b÷a) or "□÷a＝b" (b×a)."""
    m = re.search(r"□@/([*\\])([\d/&]+)=([\d/&]+)@/", body)
    if not m:
        raise ValueError(f"no equation with □ in {body!r}")
    a, b = value(m.group(2)), value(m.group(3))
    return b / a if m.group(1) == "*" else b * a


def figure_value(name: str) -> Fraction:
    lines = re.fullmatch(r"d(mul|div)(\d+)_(\d+)_(\d+)_(\d+)\.bmp", name or "")
    if lines:  # a double number line: the amount for 1 and a size, or a size and its amount
        first, second = Fraction(int(lines[2]), int(lines[3])), Fraction(int(lines[4]), int(lines[5]))
        return first * second if lines[1] == "mul" else second / first
    m = re.fullmatch(r"[a-z]+(\d+)_(\d+)(?:_\d+)?\.bmp", name or "")
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
            check_sheet(place, blocks)
    return boxes


# ---- (e) the book as a teacher hands it out ----

GRADE = re.compile(r"[３４５６]年")
NUMBER = re.compile(r"\d+&\d+/\d+|\d+/\d+|\d+\.\d+|\d+")

def problem_text(before: str) -> str:
    """The text of a problem before its box, without its label and the code that sets the label apart from the
    words after it."""
    return re.sub(r"^\(\d+\)\s*(@/(?=[^\x00-\x7f]))?", "", before)


def word_value(body: str) -> Fraction:
    try:
        expression, _ = cos.word_expression(body)
    except KeyError:
        raise ValueError(f"a sentence the test does not know: {cos.words_of(body)[0]}")
    if expression.startswith("|"):
        return abs(value(expression[1:]))
    return value(expression)


def named_form(body: str):
    """'分母を8に：@/3/4=' asks for 3/4 written with denominator 8: (value, "分母", 8); None for other problems."""
    m = re.fullmatch(r"(分母|分子)を(\d+)に：@/(.*)=", body)
    return (value(m.group(3)), m.group(1), int(m.group(2))) if m else None


def operands_key(body: str, after: str, figure: str) -> tuple:
    """Two problems with the same key differ at most in the order of their operands."""
    text = body + " " + after
    return tuple(sorted(NUMBER.findall(text))), tuple(sorted(c for c in text if c in "+-*\\()")), figure


def written_den(t: str) -> int:
    return int(t.split("/")[1]) if "/" in t else 10 ** len(t.split(".")[1]) if "." in t else 1


def difficulty(body: str, after: str, figure: str, first: str) -> tuple:
    """The size of the common denominator of the numbers in the problem, then the size of the answer."""
    numbers = NUMBER.findall(body + " " + after)
    dens = [int(re.findall(r"\d+", figure)[1])] if figure else [written_den(t) for t in numbers] or [1]
    if first in SIGNS:
        size = max(value(t) for t in numbers)
    else:
        size = max(value(t) for t in first.split(","))
        dens += [written_den(t) for t in first.split(",")]  # the answer a child writes counts too
    return math.lcm(*dens), size


def check_example(place: str, line: str) -> None:
    """Every equation and comparison in a worked example is true."""
    for piece in re.split(r"@.", line):
        if any(ord(c) > 127 for c in piece) or not re.search(r"[=<>]", piece):
            continue
        parts = re.split(r"\s*(=|<|>)\s*", piece.strip())
        values = [value(p) for p in parts[0::2]]
        for left, rel, right in zip(values, parts[1::2], values[1:]):
            if not SIGNS[rel](left, right):
                fail(f"{place}: the example {line!r} is wrong: {left} {rel} {right}")


def check_sheet(place: str, blocks: dict) -> None:
    """One page against its instruction: reduced answers where it says 約分, mixed numbers first where it says
    帯分数で, every form elsewhere; choices on the page; no problem twice; easy problems first; a worked example
    checked."""
    ques = blocks.get("<<ques", [])
    problems = [l for l in ques if "#" in l]
    head = [l for l in ques if "#" not in l]
    instruction = "".join(l for l in head if not l.startswith("例") and "えらぶもの" not in l)
    figures = blocks.get("<<graph", [])[0::3]
    for line in head:
        if line.startswith("例"):
            check_example(place, line)
    keys, previous = set(), None
    for k, line in enumerate(problems):
        before, answer, after = line.split("#")[:3]
        body = problem_text(before)
        alternatives = [a.strip() for a in answer.split(";")]
        first = alternatives[0]
        figure = figures[k] if k < len(figures) else ""
        key = operands_key(body, after, figure)
        if key in keys:
            fail(f"{place}: {line}: the same problem as another on the page, up to the order of its operands")
        keys.add(key)
        try:
            measure = difficulty(body, after, figure, first)
        except (ValueError, IndexError) as e:
            fail(f"{place}: {line}: no difficulty: {e}")
            continue
        if previous is not None and measure < previous:
            fail(f"{place}: {line}: harder problems stand before it on the page")
        previous = measure
        if first in SIGNS:
            if not instruction.startswith("１．□に"):
                fail(f"{place}: a comparison whose instruction does not show the box: {instruction}")
            continue
        if "," in first or "→" in body or re.fullmatch(r"\d+\.\d+", first):
            continue
        v = value(first)
        if "約分" in instruction:
            if not all(reduced(a) for a in alternatives):
                fail(f"{place}: {line}: the unit asks for reduced answers and accepts {alternatives}")
        whole = v.numerator // v.denominator
        rest = v - whole
        if "帯分数で" in instruction and v > 1 and v.denominator != 1:
            if not all("&" in a for a in alternatives) or f"{whole}&{rest}" not in alternatives:
                fail(f"{place}: {line}: the unit asks for a mixed number and accepts {alternatives}")
        elif "計算" in instruction and "約分" not in instruction and v > 1 and v.denominator != 1:
            wanted = {f"{v.numerator}/{v.denominator}", f"{whole}&{rest.numerator}/{rest.denominator}"}
            if "/" in first:
                d = int(first.split("/")[1])
                n = v * d
                wanted |= {f"{n}/{d}", f"{whole}&{(rest * d)}/{d}"}
            if not wanted <= set(alternatives):
                fail(f"{place}: {line}: of the forms {sorted(wanted)} only {alternatives} are accepted")
    # One trivial pattern (x÷x, a/b×b, sums equal to 1, ×LCM) must not fill a page: few whole-number answers,
    # unless every answer of the page is one or the unit is about whole numbers.
    wholes = sum(1 for l in problems if re.fullmatch(r"\d+", l.split("#")[1].split(";")[0].strip()))
    if 2 < wholes < len(problems) and "整数" not in instruction:
        fail(f"{place}: {wholes} of {len(problems)} answers are whole numbers")
    choices = blocks.get("<<kgroup", [])
    shown = {w for l in head for piece in re.split(r"@.", l) if piece.isascii() for w in piece.split()}
    if choices and not set(choices) <= shown:
        fail(f"{place}: the choices {sorted(set(choices) - shown)} are not on the page")
    if "えらび" in instruction and not choices:
        fail(f"{place}: the instruction asks to choose and there is nothing to choose from")


def book(sample: pathlib.Path):
    """(lesson name, stem, [(section name, [unit lines])]) of every lesson."""
    main = sample.joinpath("Main.ind").read_bytes().decode("cp932").split("\r\n")
    for line in main[2:]:
        if line == ">>":
            break
        stem = line.split("\\")[-1]
        sub = (sample / stem / f"{stem}.ind").read_bytes().decode("cp932").split("\r\n")
        sections, i = [], 0
        while i < len(sub):
            if sub[i].startswith("[["):
                name, units, i = sub[i + 1], [], i + 3
                while sub[i] != ">>":
                    units.append(sub[i])
                    i += 1
                sections.append((name, units))
            i += 1
        yield line.split(",")[0], stem, sections



# ---- (f) the book as a teacher of grades 3 to 6 reads it ----

PAD = re.compile(r"\d+|\d+\.\d+|\d+/\d+|\d+&\d+/\d+")  # what the number and fraction pads can enter
QUANTITIES = (("㎡", r"㎡"), ("dL", r"dL"), ("km", r"km|道のり"), ("kg", r"kg|重さ"),
              ("m", r"(?<![kd㎡a-zA-Z])m(?![a-zA-Z])|長さ"), ("L", r"(?<![d])L|かさ"), ("時間", r"時間"),
              ("分", r"(?<=[\d□何])分(?![の母子数])"), ("秒", r"秒"))


def quantities(text: str) -> set[str]:
    return {name for name, pattern in QUANTITIES if re.search(pattern, text)}


def shape(expression: str) -> str:
    """a×c＋b×c or c×a－c×b: where the common factor of a distributive problem stands."""
    terms = re.split(r"([+-])", expression)
    a, b = terms[0].split("*"), terms[2].split("*")
    op = "＋" if terms[1] == "+" else "－"
    return f"a×c{op}b×c" if a[1] == b[1] else f"c×a{op}c×b"


def page_items(blocks: dict):
    """(line, body, boxes, after, figure) of every problem of a page; boxes are lists of alternatives."""
    figures = blocks.get("<<graph", [])[0::3]
    problems = [l for l in blocks.get("<<ques", []) if "#" in l]
    for k, line in enumerate(problems):
        parts = line.split("#")
        boxes = [[a.strip() for a in parts[i].split(";")] for i in range(1, len(parts) - 1, 2)]
        yield line, problem_text(parts[0]), boxes, parts[-1], figures[k] if k < len(figures) else ""


def check_teacher(place: str, blocks: dict, unit: str, section: str) -> set[str]:
    """One page as a teacher reads it: its grade label against the course of study, its worked example against
    its own problems, its hints against its problems, every box against its instruction and the pads; returns
    the topics of the page."""
    ques = blocks.get("<<ques", [])
    head = [l for l in ques if "#" not in l]
    instruction = "".join(l for l in head if not l.startswith("例") and "えらぶもの" not in l)
    hints = "".join(blocks.get("<<hint", []))
    choices = set(blocks.get("<<kgroup", []))
    topics: dict[str, list[str]] = {}
    for line, body, boxes, after, figure in page_items(blocks):
        try:
            topic = cos.topic_of_problem(body, after, boxes[0], figure)
            grade = cos.GRADES[topic]
        except (KeyError, ValueError, IndexError) as e:
            fail(f"{place}: {line}: no topic of the course of study ({e})")
            continue
        topics.setdefault(topic, []).append(line)
        words = bool(re.search(r"[^\x00-\x7f]", body.replace("　", "")))
        for box in boxes:
            for a in box:
                if not PAD.fullmatch(a) and a not in choices:
                    fail(f"{place}: {line}: the answer {a!r} cannot be entered with the pads")
        first = boxes[0][0]
        try:
            v = value(first) if PAD.fullmatch(first) else None
        except ValueError:
            v = None
        improper = v is not None and v > 1 and v.denominator != 1
        if improper and "仮分数で" in instruction and any("&" in a for a in boxes[0]):
            fail(f"{place}: {line}: the unit asks for an improper fraction and accepts {boxes[0]}")
        if improper and "仮分数" not in instruction and "&" in body and "/" in first and "&" not in first:
            fail(f"{place}: {line}: a problem of mixed numbers shows {first} first, not the mixed number")
        if improper and re.search(r"仮分数でも帯分数でも", hints):
            whole = v.numerator // v.denominator
            if not {f"{v.numerator}/{v.denominator}", f"{whole}&{v - whole}"} <= set(boxes[0]):
                fail(f"{place}: {line}: the hint allows both forms and the box accepts {boxes[0]}")
        if topic == "逆数" and "約分" not in instruction:
            x = cos.NUMBER.findall(body)[0]
            if "." in x:
                direct = f"{10 ** len(x.split('.')[1])}/{x.replace('.', '').lstrip('0')}"
            elif "&" in x:
                w, f = x.split("&")
                n, d = map(int, f.split("/"))
                direct = f"{d}/{int(w) * d + n}"
            elif "/" in x:
                direct = "/".join(reversed(x.split("/")))
            else:
                direct = f"1/{x}"
            if direct not in boxes[0]:
                fail(f"{place}: {line}: the reciprocal a child writes, {direct}, is not accepted")
        if words and hints:
            named = quantities(hints)
            if named and not quantities(body + after) <= named:
                fail(f"{place}: {line}: the hint speaks of {sorted(named)} only")
        formulas = set(re.findall(r"[abc]×[abc][＋－][abc]×[abc]", hints))
        if formulas and topic == "分配のきまり" and shape(body.rstrip("=")) not in formulas:
            fail(f"{place}: {line}: the hint shows {sorted(formulas)} only")
        if "かならず約分" in hints and not all(reduced(a) for a in boxes[0]):
            fail(f"{place}: {line}: the hint says to reduce and the box accepts {boxes[0]}")
    if not topics:
        return set()
    grades = {cos.GRADES[t] for t in topics}
    own, labelled = cos.grade_labels(unit), cos.grade_labels(section)
    summary = ", ".join(f"{t}（{cos.GRADES[t]}年）" for t in sorted(topics, key=cos.GRADES.get))
    if own:
        if max(grades) != max(own) or len(own) > 1 and not own <= grades:
            fail(f"{place} {unit}: labelled grade {sorted(own)}, teaches {summary}")
    elif max(grades) not in labelled:
        fail(f"{place} {unit}: its section {section} is labelled grade {sorted(labelled)}, the page teaches "
             f"{summary}")
    for line in head:
        if line.startswith("例"):
            shown = cos.topics_of_example(line)
            if not shown <= set(topics):
                fail(f"{place}: the example {line!r} shows {sorted(shown - set(topics))}, not a topic of the page")
    return set(topics)


def check_book(sample: pathlib.Path) -> None:
    """The whole book: grades on every page, worked examples, enough word problems and topics, sections of five
    units or more, similar problems for most units."""
    lessons = list(book(sample))
    if len(lessons) < 4:
        fail(f"{len(lessons)} lessons")
    word_sections, grades_with_words, units, with_similar, titles = 0, set(), 0, 0, []
    taught: set[str] = set()
    for _, stem, sections in lessons:
        for s, (section, names) in enumerate(sections, start=1):
            master = (sample / stem / f"{stem}{s}.que").read_bytes().decode("cp932").split("\r\n")
            recs = dict(records(master))
            if len(names) < 5:
                fail(f"{stem}{s} {section}: {len(names)} units")
            for u, name in enumerate(names, start=1):
                for marker, blocks in recs.items():
                    if re.fullmatch(rf"\[\[unit{u}(R\d+)?", marker):
                        taught |= check_teacher(f"{stem}{s}.que {marker}", blocks, name, section)
                units += 1
                titles.append(section + name)
                if not GRADE.search(name) and not GRADE.search(section):
                    fail(f"{stem}{s}-{u} {name}: neither the unit nor its section names a grade")
                with_similar += f"[[unit{u}R1" in recs
                if u == 1 and not any(l.startswith("例") for l in recs[f"[[unit{u}"].get("<<ques", [])):
                    fail(f"{stem}{s} {section}: the first unit has no worked example")
            words = any("@/" in l and "#" in l and re.search(r"何|逆数", l)
                        for _, blocks in recs.items() for l in blocks.get("<<ques", []))
            if words:
                word_sections += 1
                grades_with_words |= set(GRADE.findall(section))
    if word_sections < 6 or grades_with_words != {"３年", "４年", "５年", "６年"}:
        fail(f"word problems in {word_sections} sections, for {sorted(grades_with_words)}")
    if 2 * with_similar <= units:
        fail(f"{with_similar} of {units} units have similar problems")
    for topic in cos.REQUIRED:
        if topic not in taught:
            fail(f"no page teaches {topic}（{cos.GRADES[topic]}年）")


HELP_MARK = re.compile(r"［([^］]+)］")
SOURCE_TEXT = re.compile(r'"((?:[^"\\]|\\.)*)"')


def caption(text: str) -> str:
    """A caption as a reader sees it: full-width letters and half-width kana folded, blanks and the mnemonic
    "(&X)" dropped."""
    text = unicodedata.normalize("NFKC", text)
    return re.sub(r"\(&.\)|\s", "", text)


def check_help(repo: pathlib.Path, sample: pathlib.Path) -> None:
    """Every button, menu item and window the help pages name in ［ ］ is a caption of the program."""
    captions = set()
    for source in (repo / "src").rglob("*"):
        if source.suffix in (".cpp", ".h"):
            captions |= {caption(t) for t in SOURCE_TEXT.findall(source.read_text(errors="replace"))}
    for page in ("help/Sheetpak.htm", "hosoku.htm"):
        text = (sample / page).read_bytes().decode("cp932")
        if re.search(r"［[^］]*<", text):
            fail(f"{page}: a caption holds a bare '<': write it as &lt;")
        sections = {name for _, _, secs in book(sample) for name, _ in secs}
        for quoted in re.findall(r"章（「([^」]+)」）", text):
            if quoted not in sections:
                fail(f"{page}: the section 「{quoted}」 is not in the book")
        for name in HELP_MARK.findall(html.unescape(text)):
            if caption(name) not in captions:
                fail(f"{page}: ［{name}］ is no caption of the program")


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
    previous_bottom, previous_y = -1, None
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
        if b["y"] != previous_y:  # boxes in a row (common denominators) share their line
            if top <= previous_bottom:
                fail(f"{place}: the box of {b['text']!r} touches the box above it")
            previous_bottom, previous_y = bottom, b["y"]
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
    check_book(sample)
    check_help(repo, sample)
    pages = check_pages(cli, sample, every)
    print(f"{len(shipped)} files, {boxes} answers, {pages} pages checked, {len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
