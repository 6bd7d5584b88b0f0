"""The tables of the sample courseware: lessons, sections, units, and the kinds of problem each unit is made of.

A kind is a rule that draws one problem from a random source: the problem text in the worksheet's notation
("1&2/3" a mixed number, "*" times, "\\" divided by), the accepted answers in order (the form the unit teaches
first, the fully reduced form always among them, the other forms a teacher accepts after it) and, for a figure
problem, its picture. Values are computed with exact fractions.
"""
import dataclasses
import math
import re
import zlib
from fractions import Fraction as F
from typing import Callable, Optional

import sample_pictures as pics

TITLE = "算数問題集２　分数の計算"
FREE_LINE = "3年から6年までの分数の学習：意味と大きさ、たし算とひき算、かけ算とわり算、まとめのテスト"


# ---- numbers as the worksheet writes them ----

def frac(v: F) -> str:
    """The value as an integer or a fraction in lowest terms (improper when above 1)."""
    return str(v.numerator) if v.denominator == 1 else f"{v.numerator}/{v.denominator}"


def mixed(v: F) -> str:
    """The value as an integer, a proper fraction or a mixed number, in lowest terms."""
    if v.denominator == 1 or v < 1:
        return frac(v)
    w = v.numerator // v.denominator
    return f"{w}&{v - w}"


def plain(n: int, d: int) -> str:
    return f"{n}/{d}"


def plain_mixed(w: int, n: int, d: int) -> str:
    return f"{w}&{n}/{d}" if w else f"{n}/{d}"


def unique(items: list[str]) -> list[str]:
    seen: list[str] = []
    for i in items:
        if i not in seen:
            seen.append(i)
    return seen


def answers(v: F, first: Optional[str] = None, style: str = "improper", extra: tuple = ()) -> list[str]:
    """The accepted answers of a value: `first` when given, then the reduced forms (improper fraction and mixed
    number, in the order the style names), then any extra forms."""
    reduced = [frac(v), mixed(v)] if style == "improper" else [mixed(v), frac(v)]
    return unique(([first] if first else []) + reduced + list(extra))


@dataclasses.dataclass
class Problem:
    text: str  # the problem before its answer box ("1/2+1/3=")
    answers: list[str]
    after: str = ""  # the text after the answer box (the right side of a comparison)
    figure: Optional[tuple[str, pics.Picture]] = None
    dummies: tuple = ()  # wrong answers a careless learner might give, for choice units
    more: tuple = ()  # the answers of the boxes after the first, one box a fraction (common denominators)
    lead: str = ""  # the situation of a word problem, a line of its own above the question


SIGNS = (">", "<", "=")
NUMBER = re.compile(r"\d+&\d+/\d+|\d+/\d+|\d+\.\d+|\d+")


def num(text: str) -> Optional[F]:
    """The value of one number in the worksheet notation, or None when the text is not one number."""
    text = text.strip()
    if not re.fullmatch(NUMBER, text):
        return None
    if "&" in text:
        w, f = text.split("&")
        return int(w) + F(f)
    return F(text)


def written_den(text: str) -> int:
    """The denominator a number is written with (10, 100 … for a decimal, 1 for an integer)."""
    if "/" in text:
        return int(text.split("/")[1])
    if "." in text:
        return 10 ** len(text.split(".")[1])
    return 1


def numbers_in(text: str) -> list[str]:
    """The numbers of a problem text, in order, without its label "(k)"."""
    return NUMBER.findall(re.sub(r"^\(\d+\)", "", text))


def canonical(p: "Problem") -> tuple:
    """Two problems with the same key differ at most in the order of their operands."""
    texts = numbers_in(p.lead + " " + p.text + " " + p.after)
    ops = sorted(c for c in p.lead + p.text + p.after if c in "+-*\\()")
    return (tuple(sorted(texts)), tuple(ops), p.figure[0] if p.figure else "")


def denominators(p: "Problem") -> tuple:
    """The denominators a problem is written with (of its figure, for a figure problem)."""
    if p.figure:
        return (int(re.findall(r"(\d+)", p.figure[0])[1]),)
    return tuple(sorted({written_den(t) for t in numbers_in(p.lead + " " + p.text + " " + p.after)})) or (1,)


def difficulty(p: "Problem") -> tuple:
    """Size of the common denominator of the numbers in the problem, then size of the answer."""
    if p.figure:
        dens = [int(re.findall(r"(\d+)", p.figure[0])[1])]
    else:
        dens = [written_den(t) for t in numbers_in(p.lead + " " + p.text + " " + p.after)]
    first = p.answers[0]
    if first in SIGNS:
        size = max(num(t) for t in numbers_in(p.lead + " " + p.text + " " + p.after))
    else:
        size = max(num(t) for t in re.split(r",", first))
        dens += [written_den(t) for t in re.split(r",", first)]  # the answer a child writes counts too
    return (math.lcm(*dens) if dens else 1, size)


class Rng:
    """A small deterministic random source (a 64-bit linear congruential generator) seeded by a name."""

    def __init__(self, name: str):
        self.state = zlib.crc32(name.encode("utf-8")) | 1

    def below(self, n: int) -> int:
        self.state = (self.state * 6364136223846793005 + 1442695040888963407) % (1 << 64)
        return (self.state >> 33) % n

    def int(self, lo: int, hi: int) -> int:
        return lo + self.below(hi - lo + 1)

    def pick(self, items):
        return items[self.below(len(items))]


Kind = Callable[[Rng], Optional[Problem]]


def proper(r: Rng, dens, lowest: bool = False) -> tuple[int, int]:
    d = r.pick(dens)
    n = r.int(1, d - 1)
    if lowest and math.gcd(n, d) != 1:
        return proper(r, dens, lowest)
    return n, d


def sign(a: F, b: F) -> str:
    return ">" if a > b else "<" if a < b else "="


def op_text(op: str) -> str:
    return {"+": "+", "-": "-", "*": "*", "/": "\\"}[op]


def apply(op: str, a: F, b: F) -> F:
    return {"+": a + b, "-": a - b, "*": a * b, "/": a / b}[op]


# ---- kinds: the meaning and size of fractions ----

def fig_bar(wholes: int, dens=range(2, 9)) -> Kind:
    def kind(r: Rng):
        d = r.pick(list(dens))
        n = r.int(1, d - 1) if wholes == 1 else r.int(d + 1, 2 * d - 1)
        v = F(n, d)
        name = f"bar{n}_{d}.bmp"
        # Above 1 the unit asks for an improper fraction: the mixed number is not its answer.
        accepted = answers(v, plain(n, d)) if wholes == 1 else unique([plain(n, d), frac(v)])
        return Problem("", accepted, figure=(name, pics.area_bars(v, d)))
    return kind


def fig_pie(r: Rng):
    d = r.pick([2, 3, 4, 5, 6, 8])
    n = r.int(1, d - 1)
    v = F(n, d)
    return Problem("", answers(v, plain(n, d)), figure=(f"pie{n}_{d}.bmp", pics.area_pie(v, d)))


def fig_line(wholes: int) -> Kind:
    def kind(r: Rng):
        d = r.pick([2, 3, 4, 5, 6, 8, 10] if wholes == 1 else [2, 3, 4, 5, 6])
        n = r.int(1, d - 1) if wholes == 1 else r.int(d + 1, 2 * d - 1)
        v = F(n, d)
        accepted = answers(v, plain(n, d)) if wholes == 1 else unique([plain(n, d), frac(v)])
        return Problem("", accepted, figure=(f"line{n}_{d}.bmp", pics.number_line(v, d, wholes)))
    return kind


def compare(kind_of_pair: Callable[[Rng], Optional[tuple[str, F, str, F]]]) -> Kind:
    def kind(r: Rng):
        pair = kind_of_pair(r)
        if pair is None:
            return None
        lt, lv, rt, rv = pair
        return Problem(lt, [sign(lv, rv)], after=" " + rt)
    return kind


def pair_same_den(r: Rng):
    d = r.int(3, 12)
    a, b = r.int(1, d - 1), r.int(1, d - 1)
    return None if a == b else (plain(a, d), F(a, d), plain(b, d), F(b, d))


def pair_same_num(r: Rng):
    n = r.int(1, 5)
    a, b = r.int(n + 1, 12), r.int(n + 1, 12)
    return None if a == b else (plain(n, a), F(n, a), plain(n, b), F(n, b))


def pair_one(r: Rng):
    d = r.int(2, 9)
    n = r.int(d - 3, d + 4)
    w = r.pick([1, 1, 1, 2])
    if n < 1 or (w == 2 and n < d):
        return None
    f = (plain(n, d), F(n, d))
    whole = (str(w), F(w))
    return f + whole if r.below(2) else whole + f


def pair_diff(r: Rng):
    """Different denominators that need no common denominator yet: one fraction below 1 and one above it, or
    the same numerator."""
    a = proper(r, range(2, 11))
    d = r.pick([x for x in range(2, 11) if x != a[1]])
    b = (a[0], d) if r.below(3) == 0 and a[0] < d else (r.int(d + 1, 2 * d - 1), d)
    pair = (plain(*a), F(*a), plain(*b), F(*b))
    return pair if r.below(2) else pair[2:] + pair[:2]


def pair_mixed(r: Rng):
    d = r.int(2, 8)
    w = r.int(1, 3)
    n = r.int(1, d - 1)
    m = w * d + n + r.int(-2, 2)
    d2 = d if r.below(2) else r.pick([x for x in range(2, 9) if x != d])
    m = max(d2 + 1, m * d2 // d)
    if w * d2 <= m < (w + 1) * d2:
        return None  # the improper fraction lies between the same wholes: that needs a conversion first
    left = (plain_mixed(w, n, d), F(w * d + n, d))
    right = (plain(m, d2), F(m, d2))
    return left + right if r.below(2) else right + left


def pair_decimal(r: Rng):
    n, d = proper(r, [2, 3, 4, 5, 6, 8, 10], lowest=True)
    tenth = r.int(1, 9)
    if r.below(4) == 0 and F(n, d) * 10 == int(F(n, d) * 10):
        tenth = int(F(n, d) * 10)
    dec = (f"0.{tenth}", F(tenth, 10))
    f = (plain(n, d), F(n, d))
    return dec + f if r.below(2) else f + dec


def to_mixed(big: bool, wholes_too: bool = False) -> Kind:
    def kind(r: Rng):
        d = r.int(5, 15) if big else r.int(2, 9)
        w = r.int(3, 12) if big else r.int(1, 3)
        n = 0 if wholes_too and r.below(3) == 0 else r.int(1, d - 1)
        if math.gcd(n, d) != 1 and n != 0 or big and w * d + n < 30:
            return None
        v = F(w * d + n, d)
        return Problem(plain(w * d + n, d) + "=", [mixed(v)])
    return kind


def to_improper(big: bool) -> Kind:
    def kind(r: Rng):
        d = r.int(5, 15) if big else r.int(2, 9)
        w = r.int(3, 12) if big else r.int(1, 3)
        n = r.int(1, d - 1)
        if math.gcd(n, d) != 1 or big and w * d + n < 30:
            return None
        return Problem(plain_mixed(w, n, d) + "=", [frac(F(w * d + n, d))])
    return kind


def quotient(bigger: bool) -> Kind:
    def kind(r: Rng):
        b = r.int(2, 9)
        a = r.int(b + 1, 4 * b) if bigger else r.int(1, b - 1)
        v = F(a, b)
        if v.denominator == 1:
            return None
        return Problem(f"{a}\\{b}=", answers(v, plain(a, b), "improper"))
    return kind


def decimal_text(v: F) -> str:
    whole = v.numerator // v.denominator
    rest = v - whole
    digits = ""
    while rest:
        rest *= 10
        digits += str(rest.numerator // rest.denominator)
        rest -= rest.numerator // rest.denominator
    return f"{whole}.{digits}" if digits else str(whole)


def to_decimal(with_wholes: bool) -> Kind:
    def kind(r: Rng):
        n, d = proper(r, [2, 4, 5, 8, 10, 20, 25], lowest=True)
        w = r.int(1, 3) if with_wholes else 0
        v = F(w * d + n, d)
        return Problem(plain_mixed(w, n, d) + "=", [decimal_text(v)])
    return kind


def from_decimal(r: Rng):
    places = r.pick([1, 1, 2])
    top = 10 ** places
    k = r.int(1, 3 * top - 1 if places == 1 else top - 1)  # hundredths below 1: their fraction stays narrow
    if k % 10 == 0 and places == 2:
        return None
    v = F(k, top)
    if v.denominator == 1:
        return None
    return Problem(decimal_text(v) + "=", answers(v, None, "improper"))


# ---- kinds: addition and subtraction ----

def same_den(op: str, result: str) -> Kind:
    """Two fractions of one denominator; result "lt1" below 1, "ge1" at least 1 (for +), any for -."""
    def kind(r: Rng):
        d = r.int(3, 12) if result != "ge1" else r.int(2, 9)
        a, b = r.int(1, d - 1), r.int(1, d - 1)
        if op == "+":
            if (result == "lt1") != (a + b < d):
                return None
            n = a + b
        else:
            if a <= b:
                return None
            n = a - b
        v = F(n, d)
        first = "1" if n == d else plain(n, d)
        return Problem(f"{plain(a, d)}{op}{plain(b, d)}=", answers(v, first, "improper", (plain(n, d),)))
    return kind


def whole_minus(r: Rng):
    w = r.pick([1, 1, 2, 3])
    n, d = proper(r, range(2, 10))
    v = F(w) - F(n, d)
    first = plain(v.numerator * (d // v.denominator), d)
    return Problem(f"{w}-{plain(n, d)}=", answers(v, first, "improper"))


def three_same_den(r: Rng):
    d = r.int(5, 12)
    a, b, c = r.int(1, d - 1), r.int(1, d - 1), r.int(1, d - 1)
    ops = r.pick(["++", "+-", "-+"])
    if ops != "++" and b == c:
        return None  # adding and taking away the same part
    v = F(a, d)
    for o, x in zip(ops, (b, c)):
        v = apply(o, v, F(x, d))
        if v <= 0:
            return None
    n = v * d
    if v > 2:
        return None
    text = f"{plain(a, d)}{ops[0]}{plain(b, d)}{ops[1]}{plain(c, d)}="
    return Problem(text, answers(v, "1" if n == d else plain(int(n), d), "improper", (plain(int(n), d),)))


def mixed_same_den(op: str, regroup: bool, whole_first: bool = False) -> Kind:
    """Mixed numbers of one denominator; regroup: the fraction parts carry (+) or borrow (-)."""
    def kind(r: Rng):
        d = r.int(3, 9)
        a, b = r.int(0 if whole_first else 1, d - 1), r.int(1, d - 1)
        w1, w2 = r.int(1, 5), r.int(1, 3)
        if whole_first:
            a = 0
        if op == "+":
            if regroup != (a + b >= d):
                return None
        else:
            if w1 <= w2 or regroup != (a < b) or (a == b):
                return None
        x = F(w1 * d + a, d)
        y = F(w2 * d + b, d)
        v = apply(op, x, y)
        if v <= 0:
            return None
        if v.denominator == 1:
            first = str(v.numerator)
        else:
            w = int(v)
            first = plain_mixed(w, int((v - w) * d), d)
        left = str(w1) if a == 0 else plain_mixed(w1, a, d)
        return Problem(f"{left}{op}{plain_mixed(w2, b, d)}=", answers(v, first, "mixed"))
    return kind


def mixed_and_proper(r: Rng):
    d = r.int(3, 9)
    w, a, b = r.int(1, 4), r.int(1, d - 1), r.int(1, d - 1)
    op = r.pick(["+", "-"])
    x = F(w * d + a, d)
    v = apply(op, x, F(b, d))
    if v <= 0 or v.denominator == 1:
        return None
    wi = int(v)
    first = plain_mixed(wi, int((v - wi) * d), d)
    return Problem(f"{plain_mixed(w, a, d)}{op}{plain(b, d)}=", answers(v, first, "mixed"))


def reduce_fraction(big: bool) -> Kind:
    def kind(r: Rng):
        n, d = proper(r, range(2, 10 if not big else 13), lowest=True)
        if big and r.below(3) == 0:
            n = d * r.int(1, 3) + n  # an improper fraction
        k = r.int(2, 5 if not big else 8)
        if big and d * k < 24:
            return None
        v = F(n, d)
        return Problem(f"{plain(n * k, d * k)}=", answers(v, None, "improper"))
    return kind


def common_denominators(count: int) -> Kind:
    def kind(r: Rng):
        fr = [proper(r, range(2, 11), lowest=True) for _ in range(count)]
        dens = [d for _, d in fr]
        if len(set(dens)) != count:
            return None
        l = math.lcm(*dens)
        if l > (24 if count == 2 else 36):
            return None
        left = "(" + ",".join(plain(n, d) for n, d in fr) + ")"
        right = [plain(n * l // d, l) for n, d in fr]
        return Problem(left + "@/　→　@/", [right[0]], more=tuple([a] for a in right[1:]))
    return kind


def different_den(ops: str, reduce: Optional[bool], mixed_numbers: bool = False, terms: int = 2) -> Kind:
    """Fractions of different denominators; reduce: the result at the common denominator can (True) or
    cannot (False) be reduced, None either way."""
    def kind(r: Rng):
        fr = []
        for _ in range(terms):
            n, d = proper(r, range(2, 11), lowest=True)
            w = r.int(1, 3) if mixed_numbers else 0
            fr.append((w, n, d))
        dens = [d for _, _, d in fr]
        if len(set(dens)) < 2:
            return None
        l = math.lcm(*dens)
        if l > 36:
            return None
        chosen = [r.pick(list(ops)) for _ in range(terms - 1)]
        v = F(fr[0][0] * fr[0][2] + fr[0][1], fr[0][2])
        for o, (w, n, d) in zip(chosen, fr[1:]):
            v = apply(o, v, F(w * d + n, d))
            if v <= 0:
                return None
        at_common = v * l
        reducible = v.denominator != l
        if reduce is not None and reducible != reduce:
            return None
        if at_common.denominator != 1:
            return None
        text = plain_mixed(*fr[0]) + "".join(o + plain_mixed(*t) for o, t in zip(chosen, fr[1:])) + "="
        # The wrong answers careless learners give: the answer left at the common denominator, and the
        # numerators and denominators added.
        wrong = [plain(int(at_common), l)] if reducible else []
        if not mixed_numbers and terms == 2 and chosen[0] == "+":
            wrong.append(plain(fr[0][1] + fr[1][1], fr[0][2] + fr[1][2]))
        return Problem(text, answers(v, None, "mixed" if mixed_numbers else "improper"), dummies=tuple(wrong))
    return kind


# ---- kinds: multiplication and division ----

def times_whole(op: str, reduce: Optional[bool], mixed_number: bool = False) -> Kind:
    def kind(r: Rng):
        n, d = proper(r, range(2, 10), lowest=True)
        w = r.int(1, 2) if mixed_number else 0
        k = r.int(2, 9)
        x = F(w * d + n, d)
        v = x * k if op == "*" else x / k
        cancels = math.gcd(d, k) != 1 if op == "*" else math.gcd(w * d + n, k) != 1
        if reduce is not None and cancels != reduce:
            return None
        style = "mixed" if mixed_number else "improper"
        return Problem(f"{plain_mixed(w, n, d)}{op_text(op)}{k}=", answers(v, None, style),
                       dummies=(plain(n * k, d * k) if op == "*" else plain(n * k, d),))
    return kind


def fraction_by_fraction(op: str, reduce: Optional[bool], first_whole: bool = False,
                         mixed_numbers: bool = False) -> Kind:
    def kind(r: Rng):
        a = proper(r, range(2, 10), lowest=True)
        b = proper(r, range(2, 10), lowest=True)
        wa = r.int(1, 2) if mixed_numbers else 0
        x = F(wa * a[1] + a[0], a[1])
        if op == "/" and a == b and not wa:
            return None  # a number divided by itself
        if first_whole:
            x = F(r.int(2, 9))
        y = F(b[0], b[1])
        v = apply(op, x, y)
        raw_num = x.numerator * (y.numerator if op == "*" else y.denominator)
        raw_den = x.denominator * (y.denominator if op == "*" else y.numerator)
        cancels = math.gcd(raw_num, raw_den) != 1
        if reduce is not None and cancels != reduce:
            return None
        if v.numerator > 99 or v.denominator > 99:
            return None
        left = str(x.numerator) if first_whole else plain_mixed(wa, a[0], a[1])
        wrong = plain(x.numerator * y.denominator, x.denominator * y.numerator) if op == "*" else frac(x * y)
        return Problem(f"{left}{op_text(op)}{plain(*b)}=", answers(v, None, "mixed" if mixed_numbers else "improper"),
                       dummies=(wrong,))
    return kind


def three_fractions(ops_choice: list[str]) -> Kind:
    def kind(r: Rng):
        fr = [proper(r, range(2, 10), lowest=True) for _ in range(3)]
        ops = r.pick(ops_choice)
        v = F(*fr[0])
        for o, t in zip(ops, fr[1:]):
            v = apply(o, v, F(*t))
        if v.numerator > 60 or v.denominator > 60:
            return None
        text = plain(*fr[0]) + op_text(ops[0]) + plain(*fr[1]) + op_text(ops[1]) + plain(*fr[2]) + "="
        return Problem(text, answers(v, None, "improper"))
    return kind


def brackets(r: Rng):
    a, b = proper(r, range(2, 9), lowest=True), proper(r, range(2, 9), lowest=True)
    if a[1] == b[1]:
        return None
    op = r.pick(["+", "-"])
    inner = apply(op, F(*a), F(*b))
    if inner <= 0:
        return None
    k = math.lcm(a[1], b[1])
    if r.below(2) and k <= 24:
        v = inner * k
        return Problem(f"({plain(*a)}{op}{plain(*b)})*{k}=", answers(v))
    c = proper(r, range(2, 9), lowest=True)
    v = inner * F(*c)
    if v.denominator > 20:
        return None
    return Problem(f"({plain(*a)}{op}{plain(*b)})*{plain(*c)}=", answers(v))


def distributive(r: Rng):
    """a x c +- b x c (or c x a +- c x b) where the law helps: a +- b is a whole number."""
    d = r.int(3, 9)
    op = r.pick(["+", "-"])
    if op == "+":
        a = r.int(1, 2 * d - 1)
        b = (1 if a < d else 2) * d - a
    else:
        a = r.int(d + 1, 2 * d - 1)
        b = a - d
    if b <= 0 or b >= 2 * d or a == b or math.gcd(a, d) != 1 or math.gcd(b, d) != 1:
        return None
    c = proper(r, range(2, 10), lowest=True)
    if c[1] == d:
        return None
    x, y, z = plain(a, d), plain(b, d), plain(*c)
    v = apply(op, F(a, d), F(b, d)) * F(*c)
    if r.below(2):
        return Problem(f"{x}*{z}{op}{y}*{z}=", answers(v))
    return Problem(f"{z}*{x}{op}{z}*{y}=", answers(v))


def decimal_and_fraction(r: Rng):
    tenth = r.int(1, 19)
    if tenth % 10 == 0:
        return None
    x = F(tenth, 10)
    y = F(*proper(r, range(2, 10), lowest=True))
    op = r.pick(["*", "/"])
    v = apply(op, x, y)
    if v.denominator > 30 or v.numerator > 60:
        return None
    return Problem(f"{decimal_text(x)}{op_text(op)}{plain(y.numerator, y.denominator)}=", answers(v))


def four_operations(r: Rng):
    a, b, c = (F(*proper(r, range(2, 9), lowest=True)) for _ in range(3))
    shape = r.below(4)
    if shape == 0:
        v, text = a + b * c, f"{frac(a)}+{frac(b)}*{frac(c)}="
    elif shape == 1:
        v, text = a - b * c, f"{frac(a)}-{frac(b)}*{frac(c)}="
    elif shape == 2:
        v, text = a + b / c, f"{frac(a)}+{frac(b)}\\{frac(c)}="
    else:
        v, text = a * b - c, f"{frac(a)}*{frac(b)}-{frac(c)}="
    if v <= 0 or v.denominator > 40 or v.numerator > 80:
        return None
    return Problem(text, answers(v))


def mixture(kinds: list[Kind]) -> Kind:
    """A review: the kinds taken in turn."""
    state = {"k": 0}

    def kind(r: Rng):
        k = kinds[state["k"] % len(kinds)]
        p = k(r)
        if p is not None:
            state["k"] += 1
        return p
    return kind


def pair_mixed_any(r: Rng):
    """A mixed number and an improper fraction that lie between the same wholes: told apart after converting."""
    d = r.int(2, 8)
    w, n = r.int(1, 3), r.int(1, d - 1)
    m = w * d + n + r.pick([-2, -1, 1, 2, 0])
    if not w * d < m < (w + 1) * d:
        return None
    left, right = (plain_mixed(w, n, d), F(w * d + n, d)), (plain(m, d), F(m, d))
    return left + right if r.below(2) else right + left


def pair_common(r: Rng):
    """Different denominators, compared after finding the common denominator."""
    a, b = proper(r, range(2, 11), lowest=True), proper(r, range(2, 11), lowest=True)
    if a[1] == b[1] or a[0] == b[0] or math.lcm(a[1], b[1]) > 40:
        return None
    return plain(*a), F(*a), plain(*b), F(*b)


def whole_as_fraction(r: Rng):
    """A whole number written with the denominator the problem names."""
    k, d = r.int(1, 9), r.int(2, 9)
    return Problem(f"分母を{d}に：@/{k}=", [plain(k * d, d)])


def tenths(r: Rng):
    """Tenths as a decimal and as a fraction, both ways: decimals below 1 become tenths, and tenths (a mixed
    number of tenths above 1) become decimals."""
    k = r.int(1, 9)
    v = F(k, 10)
    if r.below(2):
        return Problem(f"{decimal_text(v)}=", answers(v, plain(k, 10), "improper"))
    return Problem(f"{plain(k, 10)}=", [decimal_text(v)])


def whole_minus_mixed(r: Rng):
    """A whole number minus a mixed number: one whole is taken apart into the fraction's parts."""
    d = r.int(3, 9)
    w = r.int(2, 6)
    w2, n = r.int(1, w - 1), r.int(1, d - 1)
    v = F(w) - F(w2 * d + n, d)
    wi = int(v)
    first = plain_mixed(wi, int((v - wi) * d), d)
    return Problem(f"{w}-{plain_mixed(w2, n, d)}=", answers(v, first, "mixed"))


def mixed_by_mixed(op: str) -> Kind:
    """Two mixed numbers multiplied or divided: both become improper fractions first."""
    def kind(r: Rng):
        (a, b), (c, d) = proper(r, range(2, 7), lowest=True), proper(r, range(2, 7), lowest=True)
        wa, wc = r.int(1, 2), r.int(1, 2)
        x, y = F(wa * b + a, b), F(wc * d + c, d)
        if x == y:
            return None
        v = apply(op, x, y)
        if v.numerator > 60 or v.denominator > 30:
            return None
        return Problem(f"{plain_mixed(wa, a, b)}{op_text(op)}{plain_mixed(wc, c, d)}=", answers(v, None, "mixed"))
    return kind


def product_size(r: Rng):
    """A number times or divided by a fraction, against the number itself: the sign tells whether the
    fraction is below or above 1."""
    x = F(r.int(2, 9)) if r.below(2) else F(*proper(r, range(2, 9), lowest=True))
    n, d = proper(r, range(2, 9), lowest=True)
    y = F(n, d) if r.below(2) else F(d, n) if n > 1 else F(d + 1, d)
    op = r.pick(["*", "/"])
    v = apply(op, x, y)
    return Problem(f"{frac(x)}{op_text(op)}{frac(y)}", [sign(v, x)], after=" " + frac(x))


def decimal_fraction_add(r: Rng):
    """A decimal and a fraction added or taken away: the decimal becomes a fraction first."""
    tenth = r.int(1, 19)
    if tenth % 10 == 0:
        return None
    x = F(tenth, 10)
    y = F(*proper(r, range(2, 9), lowest=True))
    op = r.pick(["+", "-"])
    left, right = (x, y) if r.below(2) else (y, x)
    v = apply(op, left, right)
    if v <= 0 or v.denominator > 40:
        return None
    text = lambda t: decimal_text(t) if t == x else frac(t)  # noqa: E731
    return Problem(f"{text(left)}{op}{text(right)}=", answers(v))


def unknown_factor(r: Rng):
    """The number in the box of a multiplication or division: □×a＝b is b÷a, □÷a＝b is b×a."""
    a = F(*proper(r, range(2, 9), lowest=True))
    b = F(*proper(r, range(2, 9), lowest=True))
    op = r.pick(["*", "/"])
    v = b / a if op == "*" else b * a
    if v.numerator > 40 or v.denominator > 40 or a == b:
        return None
    return Problem(f"□@/{op_text(op)}{frac(a)}={frac(b)}@/　　□＝", answers(v))


# ---- the tables ----

@dataclasses.dataclass
class Unit:
    name: str  # the unit's line in the index (learner records are kept under it: never renamed)
    instruction: list[str]  # the lines above the problems
    kind: Kind
    count: int = 11
    similar: int = 0  # number of similar problems R1, R2, ...
    hint: tuple = ()
    choice: bool = False  # the answers are chosen from a list (<<kgroup), with dummy answers, shown on the page
    softkey: tuple = ()
    exact: bool = False  # the problem asks for one written form (a conversion, an equal fraction): no other forms
    wholes: int = 2  # at most this many whole-number answers on a page
    size: int = 14  # character size of the worksheet


@dataclasses.dataclass
class Section:
    name: str  # with the grades it is for
    units: list[Unit]
    example: tuple = ()  # the worked example (例) above the first unit's problems


@dataclasses.dataclass
class Lesson:
    name: str
    stem: str
    sections: list[Section]


import sample_words as w  # noqa: E402  (its kinds are built from the helpers above)

CALC = ["１．次の計算をしましょう。"]
CALC_REDUCE = ["１．次の計算をしましょう。答えは約分して書きましょう。"]
CALC_MIXED = ["１．計算して、1より大きい答えは帯分数で書きましょう。"]
CALC_REDUCE_MIXED = ["１．約分して、1より大きい答えは帯分数で書きましょう。"]
CALC_CHOOSE = ["１．計算して、約分した答えを下からえらびましょう。"]
COMPARE = ["１．□に、等号・不等号（@/>  <  =@/）を書きましょう。"]
WORDS = ["１．次の問題に答えましょう。"]
WORDS_MIXED = ["１．次の問題に答えましょう。", "　1より大きい答えは、帯分数で書きましょう。"]
WORDS_REDUCE = ["１．次の問題に答えましょう。答えは約分して、", "　1より大きいときは帯分数で書きましょう。"]
DOUBLE_LINES = ["１．数直線に表して考えましょう。答えは約分して、", "　1より大きいときは帯分数で書きましょう。"]
SIGN_KEYS = ("＞＜＝",)

LESSONS = [
    Lesson("分数の意味と大きさ", "imi", [
        Section("分数の表し方（３年・４年）", [
            Unit("図の色をぬった部分を分数で", ["１．色をぬった部分を、分数で答えましょう。"],
                 fig_bar(1), 10, 1, ("1つ分をいくつに分けたか（分母）と、", "そのいくつ分か（分子）を数えます。"), exact=True),
            Unit("数直線のめもりを分数で", ["１．矢印のめもりが表す数を、分数で答えましょう。"],
                 fig_line(1), 10, 1, ("0から1までをいくつに分けているか数えます。",), exact=True),
            Unit("円の図を分数で", ["１．色をぬった部分は、円のどれだけですか。"],
                 fig_pie, 10, 1, ("円がいくつに等しく分けられているか数えます。",), exact=True),
            Unit("1より大きい分数（図）", ["１．テープ1本の長さを1とします。", "　色をぬった部分を、仮分数で答えましょう。"],
                 fig_bar(2), 10, 1, ("1つ分の分け方を分母にして、", "色をぬったますの数を分子にします。"), exact=True),
            Unit("1より大きい分数（数直線）", ["１．矢印のめもりが表す数を、仮分数で答えましょう。"],
                 fig_line(2), 10, 0, ("1より大きい数も、めもりの数で分子が決まります。",), exact=True),
        ], ("例　1を4等分した3つ分は　@/3/4@/（4分の3）",)),
        Section("分数の大きさくらべ（３年・４年）", [
            Unit("分母が同じ分数のくらべ方", COMPARE, compare(pair_same_den), 11, 2,
                 ("分母が同じときは、分子が大きいほうが大きい分数です。",), choice=True, softkey=SIGN_KEYS),
            Unit("分子が同じ分数のくらべ方", COMPARE, compare(pair_same_num), 11, 2,
                 ("分子が同じときは、分母が小さいほうが大きい分数です。",), choice=True, softkey=SIGN_KEYS),
            Unit("分数と整数のくらべ方", COMPARE, compare(pair_one), 11, 1,
                 ("分母と分子が同じ分数は1です。",), choice=True, softkey=SIGN_KEYS),
            Unit("分母がちがう分数のくらべ方", COMPARE, compare(pair_diff), 11, 2,
                 ("1より大きいか小さいかを考えます。", "分子が同じなら、分母が小さいほうが大きい分数です。"), choice=True),
            Unit("帯分数と仮分数のくらべ方", COMPARE, compare(pair_mixed), 11, 1,
                 ("仮分数が、整数のいくつといくつの間にあるかを考えます。",), choice=True),
        ], ("例　@/3/5 < 4/5@/　（分子の大きいほうが大きい）",)),
        Section("仮分数と帯分数（４年）", [
            Unit("仮分数を帯分数になおす", ["１．仮分数を帯分数になおしましょう。"], to_mixed(False), 11, 3,
                 ("分子を分母でわって、商が整数の部分、", "あまりが分子になります。"), exact=True),
            Unit("帯分数を仮分数になおす", ["１．帯分数を仮分数になおしましょう。"], to_improper(False), 11, 3,
                 ("分母×整数＋分子 が、仮分数の分子になります。",), exact=True),
            Unit("整数か帯分数になおす", ["１．仮分数を、整数か帯分数になおしましょう。"], to_mixed(False, True), 11, 2,
                 ("わりきれるときは整数になります。",), exact=True, wholes=4),
            Unit("大きな数の仮分数を帯分数に", ["１．仮分数を帯分数になおしましょう。"], to_mixed(True), 11, 1, exact=True),
            Unit("大きな数の帯分数を仮分数に", ["１．帯分数を仮分数になおしましょう。"], to_improper(True), 11, 1, exact=True),
            Unit("帯分数と仮分数のくらべ方（なおしてくらべる）", COMPARE, compare(pair_mixed_any), 11, 1,
                 ("帯分数を仮分数になおしてからくらべます。",), choice=True),
        ], ("例　@/7/3=2&1/3@/　（7÷3＝2あまり1）",)),
        Section("分数と小数・整数（３年・５年）", [
            Unit("わり算の商を分数で（1より小さい）", ["１．わり算の商を分数で表しましょう。"], quotient(False), 11, 2,
                 ("□÷○ の商は、○分の□ です。",)),
            Unit("わり算の商を分数で（1より大きい）", ["１．わり算の商を分数で表しましょう。"], quotient(True), 11, 2),
            Unit("分数を小数で", ["１．分数を小数で表しましょう。"], to_decimal(False), 11, 2,
                 ("分子÷分母 を計算します。",), exact=True),
            Unit("小数を分数で", ["１．小数を分数で表しましょう。", "　約分できるときは約分しましょう。"], from_decimal, 11, 2,
                 ("0.1は1/10、0.01は1/100です。",)),
            Unit("帯分数を小数で", ["１．帯分数を小数で表しましょう。"], to_decimal(True), 11, 0, exact=True),
            Unit("小数と分数のくらべ方", COMPARE, compare(pair_decimal), 11, 1,
                 ("分数を小数になおしてくらべます。",), choice=True),
            Unit("整数を分数で（５年）", ["１．整数を、分母が□の分数で表しましょう。"], whole_as_fraction, 11, 1,
                 ("2は、2÷1＝2/1、4÷2＝4/2 とも表せます。",), exact=True, wholes=11),
            Unit("1/10と小数（３年）", ["１．小数を分数で、分数を小数で表しましょう。"], tenths, 11, 0,
                 ("0.1は、1を10等分した1つ分で、1/10です。",), exact=True),
        ], ("例　@/2\\3=2/3@/　（2÷3の商は、3分の2）",)),
        Section("大きさの等しい分数（４年・５年）", [
            Unit("分母を大きくして等しい分数に", ["１．大きさの等しい分数を書きましょう。"], w.equal_fraction(True), 11, 1,
                 ("分母と分子に同じ数をかけても、大きさは変わりません。",), exact=True),
            Unit("分母を小さくして等しい分数に", ["１．大きさの等しい分数を書きましょう。"], w.equal_fraction(False), 11, 1,
                 ("分母と分子を同じ数でわっても、大きさは変わりません。",), exact=True),
            Unit("分子を決めて等しい分数に", ["１．大きさの等しい分数を書きましょう。"], w.equal_numerator, 11, 1,
                 ("分子が何倍になったかを見て、分母も同じ数をかけます。",), exact=True),
            Unit("数直線で等しい分数を見つける",
                 ["１．上の数直線の矢印と等しい大きさの分数を、", "　下の数直線のめもりで答えましょう。"],
                 w.equal_on_lines, 10, 1, ("矢印からまっすぐ下の、下の数直線のめもりを読みます。",), exact=True),
            Unit("等しい分数のくらべ方", COMPARE, w.equal_compare, 11, 1,
                 ("分母をそろえてからくらべます。",), choice=True, softkey=SIGN_KEYS),
        ], ("例　@/1/2=2/4=3/6@/（分母と分子に同じ数をかける）",)),
        Section("分数で表す文章題（３年・５年・６年）", [
            Unit("等分した長さやかさ（３年）", WORDS, w.word(w.SPLIT_ONE, w.split_one), 10, 1,
                 ("1を□等分した○こ分は、□分の○です。",), size=11),
            Unit("わり算の商を分数で表す文章題（５年）", WORDS, w.word(w.SHARE, w.whole_pair), 10, 1,
                 ("□÷○ の商は、○分の□ です。",), size=11),
            Unit("何倍かを分数で表す文章題（５年）", WORDS, w.word(w.WHOLE_TIMES, w.whole_pair), 10, 1,
                 ("□は○の何倍か は、□÷○ で求めます。",), size=11),
            Unit("小数で表されたりょうを分数に（５年）", WORDS_REDUCE, w.word(w.DECIMAL_AMOUNT, w.decimal_amount), 10, 1,
                 ("0.1は1/10、0.01は1/100です。",), size=11),
            Unit("時間を分数で表す（６年）", WORDS_REDUCE, w.word(w.MINUTES + w.SECONDS, w.minutes), 10, 1,
                 ("1時間は60分、1分は60秒です。", "□分は□/60時間、□秒は□/60分です。"), size=11),
        ], ("例　1 mを4等分した3こ分の長さは　@/3/4@/ m",)),
    ]),
    Lesson("分数のたし算とひき算", "tasu", [
        Section("分母が同じ分数（３年・４年）", [
            Unit("たし算（答えが1より小さい）", CALC, same_den("+", "lt1"), 11, 3,
                 ("分母はそのままにして、分子どうしをたします。",)),
            Unit("ひき算", CALC, same_den("-", "any"), 11, 3, ("分母はそのままにして、分子どうしをひきます。",)),
            Unit("たし算（答えが1以上）", CALC, same_den("+", "ge1"), 11, 2,
                 ("答えが仮分数になったら、帯分数にもなおしてみましょう。",)),
            Unit("整数から分数をひく", CALC, whole_minus, 11, 2, ("1を、分母と分子が同じ分数になおします。",)),
            Unit("3つの分数の計算", CALC, three_same_den, 11, 1, ("左から順に計算します。",)),
        ], ("例　@/2/5+1/5=3/5@/　（分子どうしをたす）",)),
        Section("帯分数のたし算とひき算（４年）", [
            Unit("帯分数のたし算", CALC_MIXED,
                 mixed_same_den("+", False), 11, 3, ("整数の部分と分数の部分を、べつべつにたします。",)),
            Unit("くり上がりのある帯分数のたし算", CALC_MIXED,
                 mixed_same_den("+", True), 11, 2, ("分数の部分が1以上になったら、整数の部分に1くり上げます。",)),
            Unit("帯分数のひき算", CALC_MIXED,
                 mixed_same_den("-", False), 11, 3, ("整数の部分と分数の部分を、べつべつにひきます。",)),
            Unit("くり下がりのある帯分数のひき算", CALC_MIXED,
                 mixed_same_den("-", True), 11, 2, ("分数の部分がひけないときは、整数の部分から1くり下げます。",)),
            Unit("帯分数と真分数の計算", CALC_MIXED, mixed_and_proper, 11, 1),
            Unit("整数から帯分数をひく", CALC_MIXED, whole_minus_mixed, 11, 1,
                 ("整数から1をくり下げて、分数にしてからひきます。",)),
        ], ("例　@/1&1/4+2&2/4=3&3/4",)),
        Section("約分と通分（５年）", [
            Unit("約分", ["１．約分しましょう。"], reduce_fraction(False), 11, 3,
                 ("分母と分子を、同じ数でわります。", "いちばん大きい公約数でわると1回ですみます。")),
            Unit("約分（大きな数）", ["１．約分しましょう。"], reduce_fraction(True), 11, 2,
                 ("分母と分子の最大公約数でわります。",)),
            Unit("2つの分数の通分", ["１．（　）の中の分数を通分しましょう。"], common_denominators(2), 11, 2,
                 ("分母の最小公倍数を、共通な分母にします。",), exact=True),
            Unit("3つの分数の通分", ["１．（　）の中の分数を通分しましょう。"], common_denominators(3), 10, 1,
                 ("3つの分母の最小公倍数を見つけます。",), exact=True),
            Unit("約分と通分のまとめ", ["１．約分や通分をしましょう。"],
                 mixture([reduce_fraction(False), common_denominators(2)]), 11, 1, exact=True),
            Unit("通分して大きさくらべ", COMPARE, compare(pair_common), 11, 1,
                 ("通分して、分子の大きさでくらべます。",), choice=True, softkey=SIGN_KEYS),
        ], ("例　@/6/8=3/4@/　（分母と分子を2でわる）",)),
        Section("分母がちがう分数の計算（５年）", [
            Unit("通分してたし算", CALC, different_den("+", False), 11, 3, ("分母の最小公倍数で通分してからたします。",)),
            Unit("通分してひき算", CALC, different_den("-", False), 11, 3, ("分母の最小公倍数で通分してからひきます。",)),
            Unit("答えを約分するたし算・ひき算", CALC_CHOOSE, different_den("+-", True), 10, 2,
                 ("答えが約分できるときは、かならず約分します。",), choice=True),
            Unit("帯分数のたし算・ひき算", CALC_REDUCE_MIXED,
                 different_den("+-", None, mixed_numbers=True), 11, 2,
                 ("整数の部分と分数の部分に分けて計算するか、", "仮分数になおして計算します。")),
            Unit("3つの分数のたし算・ひき算", CALC_REDUCE, different_den("+-", None, terms=3), 11, 1,
                 ("3つの分母の最小公倍数で通分します。",)),
        ], ("例　@/1/2+1/3=3/6+2/6=5/6",)),
        Section("たし算とひき算の文章題（３年・４年）", [
            Unit("あわせていくつ（３年）", WORDS, w.word(w.ADD, w.same_den("lt1"), 0), 10, 1,
                 ("あわせるときは、たし算です。",), size=11),
            Unit("のこりはいくつ（３年）", WORDS, w.word(w.SUB, w.same_den("sub"), 0), 10, 1,
                 ("のこりをもとめるときは、ひき算です。",), size=11),
            Unit("ちがいはいくつ（３年）", WORDS, w.word(w.DIFF, w.same_den("sub"), 0), 10, 1,
                 ("ちがいは、大きいほうから小さいほうをひきます。",), size=11),
            Unit("1より大きくなるたし算の文章題（４年）", WORDS_MIXED, w.word(w.ADD, w.same_den("ge1"), 0), 10, 1,
                 ("1より大きい答えは、帯分数になおして書きます。",), size=11),
            Unit("帯分数の文章題（４年）", WORDS_MIXED, w.word(w.ADD + w.SUB + w.DIFF, w.mixed_same_den, 0, "mixed"), 10, 1,
                 ("整数の部分と分数の部分を、べつべつに計算します。",), size=11),
        ], ("例　@/2/5@/ Lと@/1/5@/ Lで　@/2/5+1/5=3/5@/　答え @/3/5@/ L",)),
        Section("たし算とひき算の文章題（５年）", [
            Unit("通分してたす文章題", WORDS_REDUCE, w.word(w.ADD, w.different_den(False)), 10, 1,
                 ("通分してからたします。",), size=11),
            Unit("通分してひく文章題", WORDS_REDUCE, w.word(w.SUB, w.different_den(True)), 10, 1,
                 ("通分してからひきます。",), size=11),
            Unit("ちがいをもとめる文章題", WORDS_REDUCE, w.word(w.DIFF, w.different_den(True)), 10, 1,
                 ("大きいほうから小さいほうをひきます。",), size=11),
            Unit("帯分数のたし算の文章題", WORDS_REDUCE, w.word(w.ADD, w.different_den(False, True), None, "mixed"),
                 10, 1, ("帯分数は、整数の部分と分数の部分に分けて計算できます。",), size=11),
            Unit("帯分数のひき算の文章題", WORDS_REDUCE, w.word(w.SUB + w.DIFF, w.different_den(True, True), None, "mixed"),
                 10, 1, ("ひけないときは、整数の部分から1くり下げます。",), size=11),
        ], ("例　@/1/2@/ Lと@/1/3@/ Lをあわせると　@/1/2+1/3=5/6@/ L",)),
    ]),
    Lesson("分数のかけ算とわり算", "kake", [
        Section("分数と整数のかけ算・わり算（６年）", [
            Unit("分数×整数", CALC, times_whole("*", False), 11, 3, ("分母はそのままにして、分子に整数をかけます。",)),
            Unit("分数×整数（約分あり）", CALC_REDUCE, times_whole("*", True), 11, 2, ("計算のとちゅうで約分すると楽です。",)),
            Unit("分数÷整数", CALC, times_whole("/", False), 11, 3, ("分子はそのままにして、分母に整数をかけます。",)),
            Unit("分数÷整数（約分あり）", CALC_REDUCE, times_whole("/", True), 11, 2),
            Unit("帯分数と整数のかけ算・わり算", CALC_REDUCE_MIXED,
                 mixture([times_whole("*", None, True), times_whole("/", None, True)]), 11, 1,
                 ("帯分数を仮分数になおしてから計算します。",)),
        ], ("例　@/2/7*3=6/7@/　（分子に3をかける）",)),
        Section("分数×分数（６年）", [
            Unit("分数×分数", CALC, fraction_by_fraction("*", False), 11, 3, ("分母どうし、分子どうしをかけます。",)),
            Unit("分数×分数（約分あり）", CALC_REDUCE, fraction_by_fraction("*", True), 11, 3,
                 ("かける前に約分できるか見てみましょう。",)),
            Unit("整数×分数", CALC_REDUCE, fraction_by_fraction("*", None, first_whole=True), 11, 2,
                 ("整数は、分母が1の分数と考えます。",)),
            Unit("帯分数のかけ算", CALC_REDUCE_MIXED,
                 fraction_by_fraction("*", None, mixed_numbers=True), 11, 2, ("帯分数を仮分数になおしてからかけます。",)),
            Unit("3つの分数のかけ算", CALC_REDUCE, three_fractions(["**"]), 11, 1, ("まとめて1つの分数の式にして約分します。",)),
            Unit("帯分数どうしのかけ算", CALC_REDUCE_MIXED, mixed_by_mixed("*"), 11, 1,
                 ("2つの帯分数を仮分数になおしてからかけます。",)),
        ], ("例　@/2/3*4/5=8/15",)),
        Section("分数÷分数（６年）", [
            Unit("分数÷分数", CALC, fraction_by_fraction("/", False), 11, 3, ("わる数の分母と分子を入れかえて、かけ算にします。",)),
            Unit("分数÷分数（約分あり）", CALC_REDUCE, fraction_by_fraction("/", True), 11, 3),
            Unit("整数÷分数", CALC_REDUCE, fraction_by_fraction("/", None, first_whole=True), 11, 2),
            Unit("帯分数のわり算", CALC_REDUCE_MIXED,
                 fraction_by_fraction("/", None, mixed_numbers=True), 11, 2, ("帯分数を仮分数になおしてからわります。",)),
            Unit("かけ算とわり算のまじった計算", CALC_REDUCE, three_fractions(["*/", "/*", "//"]), 11, 1,
                 ("わる数を逆数にして、かけ算だけの式にします。",)),
            Unit("帯分数どうしのわり算", CALC_REDUCE_MIXED, mixed_by_mixed("/"), 11, 1,
                 ("2つの帯分数を仮分数になおして、わる数の逆数をかけます。",)),
        ], ("例　@/2/3\\4/5=2/3*5/4=5/6",)),
        Section("計算のきまり（６年）", [
            Unit("（　）のある計算", CALC_REDUCE, brackets, 11, 2, ("（　）の中を先に計算します。",)),
            Unit("分配のきまりを使う計算", CALC_REDUCE, distributive, 11, 2,
                 ("a×c＋b×c＝(a＋b)×c、a×c－b×c＝(a－b)×c、", "c×a＋c×b＝c×(a＋b)、c×a－c×b＝c×(a－b) を使います。")),
            Unit("小数と分数のまじった計算", CALC_REDUCE, decimal_and_fraction, 11, 2, ("小数を分数になおして計算します。",)),
            Unit("四則のまじった計算", CALC_REDUCE, four_operations, 11, 1, ("かけ算・わり算を、たし算・ひき算より先にします。",)),
            Unit("答えをえらぶ計算", CALC_CHOOSE,
                 mixture([fraction_by_fraction("*", True), fraction_by_fraction("/", True)]), 10, 1,
                 ("答えを計算してから、同じものをえらびます。",), choice=True),
            Unit("かける数・わる数と積・商の大きさ", COMPARE, product_size, 11, 1,
                 ("1より小さい数をかけると積はもとの数より小さく、", "1より小さい数でわると商はもとの数より大きくなります。"),
                 choice=True, softkey=SIGN_KEYS),
            Unit("小数と分数のたし算・ひき算", CALC_REDUCE, decimal_fraction_add, 11, 1,
                 ("小数を分数になおしてから計算します。",)),
            Unit("□にあてはまる数を求める", ["１．□にあてはまる数を求めましょう。"],
                 unknown_factor, 11, 1, ("□×a＝b なら □＝b÷a、□÷a＝b なら □＝b×a です。",)),
        ], ("例　@/(1/2+1/3)*6=5/6*6=5@/　（（　）の中を先に）",)),
        Section("かけ算とわり算の文章題（５年・６年）", [
            Unit("分数×整数の文章題（６年）", WORDS_REDUCE, w.word(w.TIMES_WHOLE, w.fraction_and_whole()), 10, 1,
                 ("1つ分×いくつ分 で求めます。",), size=11),
            Unit("分数÷整数の文章題（６年）", WORDS_REDUCE, w.word(w.BY_WHOLE, w.by_whole), 10, 1,
                 ("全体÷いくつ分 で、1つ分を求めます。",), size=11),
            Unit("分数×分数の文章題（６年）", WORDS_REDUCE, w.word(w.TIMES_FRACTION, w.two_fractions), 10, 1,
                 ("1あたりの量×いくつ分 で求めます。",), size=11),
            Unit("分数÷分数の文章題（６年）", WORDS_REDUCE, w.word(w.BY_FRACTION, w.two_fractions), 10, 1,
                 ("全体の量÷いくつ分 で、1あたりの量を求めます。",), size=11),
            Unit("分数倍の文章題（６年）", WORDS_REDUCE,
                 mixture([w.word(w.TIMES_OF, w.two_fractions), w.word(w.AMOUNT_OF, w.two_fractions)]), 10, 1,
                 ("何倍かは、くらべる量÷もとにする量 で求めます。",), size=11),
            Unit("数直線で考える文章題（かけ算・６年）", DOUBLE_LINES, w.word(w.TIMES_FRACTION, w.mixed_and_fraction), 10, 1,
                 ("2本の数直線をかいて、1にあたる量を見つけます。", "1にあたる量×いくつ分 の式になります。"), size=11),
            Unit("数直線で考える文章題（わり算・６年）", DOUBLE_LINES, w.word(w.BY_FRACTION, w.mixed_and_fraction), 10, 1,
                 ("2本の数直線をかいて、1にあたる量を見つけます。", "1にあたる量を□にして、わり算の式にします。"), size=11),
            Unit("面積・体積の文章題（６年）", WORDS_REDUCE,
                 mixture([w.word(w.AREA, w.sides(2)), w.word(w.VOLUME, w.sides(3))]), 10, 1,
                 ("長方形の面積は たて×横、直方体の体積は たて×横×高さ です。",), size=11),
        ], ("例　1本@/2/7@/ Lのジュース3本分は　@/2/7*3=6/7@/ L",)),
        Section("逆数・分数倍・時間（６年）", [
            Unit("逆数（分数）", ["１．逆数を書きましょう。"], w.reciprocal("fraction"), 11, 1,
                 ("分母と分子を入れかえた数が逆数です。",)),
            Unit("逆数（整数・帯分数・小数）", ["１．逆数を書きましょう。"], w.reciprocal("other"), 11, 1,
                 ("整数は分母が1の分数、帯分数は仮分数、小数は分数になおします。",)),
            Unit("何倍かを分数で", WORDS_REDUCE,
                 w.word(w.NUMBER_TIMES, w.two_fractions), 11, 1, ("□は○の何倍か は、□÷○ で求めます。",), size=11),
            Unit("時間を分になおす", ["１．次の問題に答えましょう。"], w.word(w.HOURS, w.hours), 11, 1,
                 ("1時間は60分です。□時間は□×60分です。",), wholes=11, size=11),
            Unit("時間と道のり", WORDS_REDUCE, w.word(w.WALK, w.walk), 10, 1,
                 ("1時間に歩く道のり×時間 で求めます。",), size=11),
        ], ("例　@/3/4@/の逆数は@/4/3@/、@/5@/の逆数は@/1/5",)),
    ]),
    Lesson("まとめ", "matome", [
        Section("まとめのテスト（３年～６年）", [
            Unit("3・4年のまとめ", CALC,
                 mixture([same_den("+", "lt1"), same_den("-", "any"), mixed_same_den("+", True),
                          mixed_same_den("-", True), whole_minus, same_den("+", "ge1")]), 11, 2),
            Unit("5年のまとめ（たし算・ひき算）", CALC_REDUCE,
                 mixture([different_den("+", None), different_den("-", None), reduce_fraction(False),
                          different_den("+-", None, mixed_numbers=True), quotient(False)]), 11, 2),
            Unit("6年のまとめ（かけ算・わり算）", CALC_REDUCE,
                 mixture([times_whole("*", None), times_whole("/", None), fraction_by_fraction("*", None),
                          fraction_by_fraction("/", None), three_fractions(["*/", "/*"])]), 11, 2),
            Unit("総まとめテスト１", CALC_REDUCE,
                 mixture([different_den("+", None), fraction_by_fraction("*", None), whole_minus,
                          fraction_by_fraction("/", None), brackets, decimal_and_fraction]), 11, 1),
            Unit("総まとめテスト２", CALC_REDUCE,
                 mixture([different_den("+-", None, terms=3), four_operations, distributive,
                          fraction_by_fraction("/", None, mixed_numbers=True), mixed_and_proper]), 11, 1),
        ], ("例　@/1&3/5+2/5=2@/　（くり上がり）",)),
        Section("文章題のまとめ（３年～６年）", [
            Unit("３年の文章題", WORDS, mixture([w.word(w.ADD, w.same_den("lt1"), 0), w.word(w.SUB, w.same_den("sub"), 0),
                                             w.word(w.SPLIT_ONE, w.split_one)]), 10, 1, size=11),
            Unit("４年の文章題", WORDS_MIXED, mixture([w.word(w.ADD, w.same_den("ge1"), 0),
                                             w.word(w.ADD + w.SUB, w.mixed_same_den, 0, "mixed")]), 10, 1, size=11),
            Unit("５年の文章題", WORDS_REDUCE,
                 mixture([w.word(w.ADD, w.different_den(False)), w.word(w.SUB, w.different_den(True)),
                          w.word(w.DECIMAL_AMOUNT, w.decimal_amount), w.word(w.WHOLE_TIMES, w.whole_pair),
                          w.word(w.SHARE, w.whole_pair)]), 10, 1, size=11),
            Unit("６年の文章題", WORDS_REDUCE,
                 mixture([w.word(w.TIMES_FRACTION, w.two_fractions), w.word(w.BY_FRACTION, w.two_fractions),
                          w.word(w.TIMES_OF, w.two_fractions), w.word(w.WALK, w.walk)]), 10, 1, size=11),
            Unit("３～６年の文章題の総まとめ", WORDS_REDUCE,
                 mixture([w.word(w.ADD, w.same_den("lt1"), 0), w.word(w.ADD + w.SUB, w.mixed_same_den, 0, "mixed"),
                          w.word(w.ADD, w.different_den(False)), w.word(w.TIMES_FRACTION, w.two_fractions),
                          w.word(w.AMOUNT_OF, w.two_fractions)]), 10, 1, size=11),
        ], ("例　@/2/5@/ Lと@/1/5@/ Lをあわせると　@/2/5+1/5=3/5@/ L",)),
    ]),
]


# ---- layout ----

def drawn_width(text: str) -> int:
    """The width the worksheet gives a text at character size 14 on the screen, in layout units. A piece between
    style codes that holds a double-byte character is drawn as plain text, the others as expressions."""
    if "@" in text:
        pieces = re.split(r"@.", text)
        return sum(drawn_width(piece) for piece in pieces)
    if any(ord(c) > 127 for c in text):
        return sum(19 if ord(c) > 127 else 10 for c in text)
    width, i = 0, 0
    while i < len(text):
        c = text[i]
        if c.isdigit() or c == ".":
            j = i
            while j < len(text) and (text[j].isdigit() or text[j] == "."):
                j += 1
            run = text[i:j]
            if j < len(text) - 1 and text[j] == "/" and text[j + 1].isdigit():
                k = j + 1
                while k < len(text) and text[k].isdigit():
                    k += 1
                width += 16 * max(len(run), k - j - 1) + 1
                i = k
                continue
            width += 16 * len(run) + 2
            i = j
        elif c == "&":
            i += 1
        elif c == "@":
            i += 2
        elif c in "*\\":
            width += 20
            i += 1
        elif ord(c) > 127:
            width += 19
            i += 1
        else:
            width += 18 if c != " " else 16
            i += 1
    return width


LEFT = 50  # left margin 5 in tens of layout units
RIGHT = 580  # the right margin, 5 in tens of layout units from the page's 630
FIGURE_X = 150  # figures start right of the widest problem number
PAGE_BOTTOM = 879  # the last line's answer box ends 47 units below the line, 12 above the paper's edge


def choice_lines(items: list[str], size: int) -> list[str]:
    """The choices of a choice unit as lines under the instruction, so that the printed page shows them too."""
    def key(t: str):
        v = num(t)
        return (0, v, t) if v is not None else (1, 0, t)
    lines, row = [], []
    for item in sorted(items, key=key):
        head = "　えらぶもの：@/ " if not lines else "　　　　　　　@/ "
        if row and drawn_width(head + "  ".join(row + [item])) * size / 14 > RIGHT - LEFT - 10:
            lines.append(head + "  ".join(row))
            row = []
        row.append(item)
    head = "　えらぶもの：@/ " if not lines else "　　　　　　　@/ "
    return lines + [head + "  ".join(row)]


INDENT = "　　"  # the question of a word problem under its situation
BLANK = 14  # a blank of an answer, drawn as a cell of its own at character size 11, in pixels of the screen


def answer_px(text: str) -> int:
    """The drawn width of a number at character size 11 (the word problems' size): a fraction's cell grows by a
    blank's width for every digit after the first of its longer part, a whole number is 16 a digit."""
    whole, _, fraction = text.strip().rpartition("&") if "&" in text else ("", "", text.strip())
    if "/" not in fraction:
        return 16 * len(fraction)
    n, d = fraction.split("/")
    return 16 * len(whole) + 15 + BLANK * (max(len(n), len(d)) - 1)


def unit_box(problems: list[Problem], scale: float) -> tuple[int, list[str]]:
    """The box of a word problem unit and the blanks that end every answer at its right edge. The unit of the
    answer follows the answer's text, so every answer is padded to one width, and the unit stands a full-width
    blank right of the box on every line; the box also holds the alternative answers (別解), which are drawn 50
    units right of its left edge, so that they never run into the unit."""
    assert abs(scale - 11 / 14) < 1e-9, "word problems are laid out at character size 11"
    # " a;b;c " draws the blank and a; a single answer also its closing blank.
    widths = [BLANK + answer_px(p.answers[0]) + (BLANK if len(p.answers) == 1 else 0) for p in problems]
    alternatives = max((sum(BLANK + answer_px(a) for a in p.answers[1:]) for p in problems), default=0)
    target = max(max(widths), 50 + alternatives + 4 if alternatives else 0)
    blanks = [max(0, (target - w) // BLANK) for w in widths]
    ends = [w + BLANK * b for w, b in zip(widths, blanks)]
    if max(ends) - min(ends) > 6:
        # Round up where rounding down leaves an answer far short of the others.
        blanks = [b + (1 if max(ends) - e > 6 else 0) for b, e in zip(blanks, ends)]
        ends = [w + BLANK * b for w, b in zip(widths, blanks)]
    box_px = max(ends) + 3
    return -(-box_px // 5) - 5, [" " * b for b in blanks]


def unit_lines(unit: Unit, problems: list[Problem], figures_at: dict,
               head: list[str]) -> tuple[list[str], list[str], list[str]]:
    """The problem lines, the figure lines and the layout blocks of one unit record; `head` are the lines above
    the problems (instruction, worked example, choices)."""
    figure_unit = problems[0].figure is not None
    compare_unit = problems[0].answers[0] in SIGNS
    scale = unit.size / 14
    for p in problems:
        # A label before words would be drawn with them as plain text: it stands apart, drawn as the numbers are.
        if any(ord(c) > 127 for c in p.text) and not p.text.startswith("@/"):
            p.text = "@/" + p.text
        if p.lead and not p.lead.startswith("@/"):
            p.lead = "@/" + p.lead
    labels = [f"({k})" + (" " if k >= 10 or unit.size < 14 else "  ") for k in range(1, len(problems) + 1)]
    text_end = max(drawn_width((INDENT if p.lead else lab) + p.text) for lab, p in zip(labels, problems)) * scale
    for lab, p in zip(labels, problems):
        if p.lead and LEFT + drawn_width(lab + p.lead) * scale > RIGHT:
            raise RuntimeError(f"{unit.name}: the situation {p.lead!r} is wider than the page")
    answer_width = max(drawn_width(" " + p.answers[0] + " ") for p in problems) * scale
    after_width = max(drawn_width(p.after) for p in problems) * scale
    for line in head:
        if LEFT + drawn_width(line) * scale > RIGHT:
            raise RuntimeError(f"{unit.name}: the line {line!r} is wider than the page")
    # A sign's box is just wide enough for the sign between its blanks; the right side follows after one blank.
    if figure_unit:
        figure_right = max(FIGURE_X + p.figure[1].width for p in problems)
        column = -(-(figure_right + 20) // 10)
    else:
        column = -(-int(LEFT + text_end + 16) // 10)
    box = 6 if compare_unit else max(10, -(-int(answer_width + 12) // 5) - 5)
    alternatives = max(sum(drawn_width(" " + a) for a in p.answers[1:]) for p in problems) * scale
    if not compare_unit and alternatives:
        # The alternative answers (別解) are drawn 50 units right of the box's left edge: a box of 60 units
        # leaves them outside it; where the answer needs more, the box takes them in, as far as the margin lets.
        if answer_width <= 52:
            box = 7
        else:
            room = (RIGHT - int(after_width) - 10 * column) // 5 - 5
            box = min(max(box, -(-int(50 + alternatives + 8) // 5) - 5), room)
    padding = [""] * len(problems)
    if any(p.after.strip() for p in problems) and not compare_unit:
        box, padding = unit_box(problems, scale)
    if any(p.more for p in problems):
        # Boxes in a row: each answer right after the text before it, padded with blanks to the width of its
        # frame, so that the text after it stands clear of the frame.
        widest = max(drawn_width(" " + a[0] + " ") for p in problems for a in [p.answers] + list(p.more))
        box = max(6, -(-(widest + 6) // 5) - 5)
        column = 0

    leads = any(p.lead for p in problems)
    if leads:
        # The box of a two-line word problem stands at the right, under the end of the situation above it, where
        # the situation has words only; its frame is low, so that it keeps clear of them.
        column = (RIGHT - int(after_width) - 5 * (box + 5)) // 10
    if 10 * column + 5 * (box + 5) + after_width > RIGHT + 10:
        raise RuntimeError(f"{unit.name}: the answer box and its unit run past the margin")
    # Lines are 0.7875 of the spacing apart; a long page (an example, a list of choices) packs them closer.
    count = len(head) + len(problems) + sum(1 for p in problems if p.lead)
    spacing = min(80, int((PAGE_BOTTOM - 98 - 50) / (count - 1) / 0.7875))
    # A word problem of two lines has its box on every other line.
    if spacing < (38 if problems[0].lead else 75):
        raise RuntimeError(f"{unit.name}: {count} lines do not fit the page with room between their boxes")
    if figure_unit:
        spacing = max(spacing, min(80, max(p.figure[1].height for p in problems) + 16))
    lines = list(head)
    graph = []
    step = spacing * 0.7875
    y = 98 + len(lines) * step  # the first line of a page without "§" split in its title
    for lab, p, pad in zip(labels, problems, padding):
        # Blanks inside the "#" as the editor inserts them; judging trims them.
        # The padding of a word problem's answer belongs to the answer drawn in the box, the first one.
        answer = " " + ";".join([p.answers[0] + pad] + p.answers[1:]) + " "
        if p.lead:
            lines.append(f"{lab}{p.lead}")
            lines.append(f"{INDENT}{p.text}#{answer}#{p.after}")
        elif p.more:
            # Each answer ends just inside its frame; a full-width blank keeps the next frame clear of it.
            frame = 5 * (box + 5) - 6
            row = [" " + a[0] + " " * max(1, (frame - drawn_width(" " + a[0])) // 16) for a in
                   [p.answers] + list(p.more)]
            lines.append(f"{lab}{p.text}#" + "#　#".join(row) + f"#{p.after}")
        else:
            lines.append(f"{lab}{p.text}#{answer}#{p.after}")
        if figure_unit:
            name, picture = p.figure
            figures_at[name] = picture
            top = round(y) + 21 - picture.height // 2
            graph += [name, str(FIGURE_X), str(top)]
        y += step
    layout = ["<<value", "630", "False", str(spacing), "5", "5", "1", "7", ">>",
              "<<font", str(unit.size), "MS 明朝", "False", "False", "False", "False", "0", ">>",
              "<<kran", "1", str(box), "14" if leads else "20", "0", str(column), "0", "15", "10", "0", "0", ">>"]
    return lines, graph, layout


def settle(unit: Unit, p: Problem) -> Problem:
    """The accepted answers as the unit's instruction asks for them: in a unit that says 約分, only reduced forms
    (the mixed number first where it says 帯分数で); elsewhere every right form, the one the unit teaches first
    and, after it, the reduced forms and the forms at the denominator the problem was worked at."""
    first = p.answers[0]
    v = num(first)
    if unit.exact or v is None:
        return p
    words = "".join(unit.instruction)
    wants_mixed = "帯分数で" in words
    if "約分" in words:
        mixed_first = wants_mixed or "&" in p.text
        p.answers = [mixed(v)] if wants_mixed else unique([mixed(v), frac(v)] if mixed_first else [frac(v), mixed(v)])
        return p
    d = written_den(first)
    at_d = []
    if "/" in first and (v * d).denominator == 1 and v.denominator != 1:
        n = int(v * d)
        at_d = [plain(n, d)] + ([plain_mixed(n // d, n % d, d)] if n > d else [])
        if wants_mixed and n > d:
            first = plain_mixed(n // d, n % d, d)
    elif wants_mixed and v > 1:
        first = mixed(v)
    if wants_mixed:  # the mixed number asked for, reduced or not; a proper fraction as it is
        p.answers = unique([first] + [a for a in p.answers[1:] + [mixed(v)] + at_d if "&" in a or v < 1])
    else:
        p.answers = unique([first] + p.answers[1:] + [frac(v), mixed(v)] + at_d)
    return p


def draw_problems(unit: Unit, rng: Rng, seen: set) -> list[Problem]:
    """One page of problems: no two equal up to the order of their operands (nor equal to one of an earlier page
    of the unit), few whole-number answers, few of one denominator, in order of difficulty."""
    problems: list[Problem] = []
    tries = 0
    while len(problems) < unit.count:
        tries += 1
        if tries > 40000:
            raise RuntimeError(f"not enough problems for {unit.name}")
        p = unit.kind(rng)
        if p is None:
            continue
        key = canonical(p)
        if key in seen:
            continue
        p = settle(unit, p)
        strict = tries < 3000  # a kind of few denominators (tenths and hundredths) may fill a page with them
        v = num(p.answers[0])
        if v is not None and v.denominator == 1 and not p.figure:
            if sum(1 for q in problems if (num(q.answers[0]) or F(1, 2)).denominator == 1) >= unit.wholes:
                continue
        dens = denominators(p)
        if strict and dens != (1,) and sum(1 for q in problems if denominators(q) == dens) >= 3:
            continue
        seen.add(key)
        problems.append(p)
    problems.sort(key=difficulty)
    return problems


def master_file(lesson: Lesson, s: int, section: Section) -> tuple[list[str], dict]:
    """The lines of the master file of a section and the figures its units use."""
    out: list[str] = []
    figures: dict = {}
    for u, unit in enumerate(section.units, start=1):
        rng = Rng(f"{lesson.stem}{s}-{u}")
        seen: set = set()
        for r in range(unit.similar + 1):
            problems = draw_problems(unit, rng, seen)
            head = list(unit.instruction) + (list(section.example) if u == 1 else [])
            choices: list[str] = []
            dummies: list[str] = []
            if unit.choice:
                choices = unique([a for p in problems for a in p.answers[:1]])
                dummies = [d for d in unique([d for p in problems for d in p.dummies] + ["="])
                           if d not in choices and not any(d in p.answers for p in problems)]
                dummies = dummies[:2]
                if problems[0].answers[0] in SIGNS:
                    dummies = [d for d in ["=", ">", "<"] if d not in choices]  # the signs stand in the instruction
                else:
                    head += choice_lines(choices + dummies, unit.size)
            lines, graph, layout = unit_lines(unit, problems, figures, head)
            out.append(f"[[unit{u}" + (f"R{r}" if r else ""))
            out += ["<<ques"] + lines + [">>"]
            if unit.choice:
                out += ["<<kgroup"] + sorted(choices + dummies) + [">>"]
                out += ["<<dummy"] + dummies + [">>"]
            else:
                out += ["<<dummy", ">>"]
            if unit.softkey:
                out += ["<<softkey"] + list(unit.softkey) + [">>"]
            if graph:
                out += ["<<graph"] + graph + [">>"]
            if unit.hint:
                out += ["<<hint"] + list(unit.hint) + [">>"]
            out += layout + ["]]"]
    return out, figures
