"""The tables of the sample courseware: lessons, sections, units, and the kinds of problem each unit is made of.

A kind is a rule that draws one problem from a random source: the problem text in the worksheet's notation
("1&2/3" a mixed number, "*" times, "\\" divided by), the accepted answers in order (the form the unit teaches
first, the fully reduced form always among them, the other forms a teacher accepts after it) and, for a figure
problem, its picture. Values are computed with exact fractions.
"""
import dataclasses
import math
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
        first = plain(n, d)
        return Problem("", answers(v, first), figure=(name, pics.area_bars(v, d)))
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
        return Problem("", answers(v, plain(n, d)), figure=(f"line{n}_{d}.bmp", pics.number_line(v, d, wholes)))
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
    a, b = proper(r, range(2, 11)), proper(r, range(2, 11))
    if a[1] == b[1] or a[0] == b[0]:
        return None
    return plain(*a), F(*a), plain(*b), F(*b)


def pair_mixed(r: Rng):
    d = r.int(2, 8)
    w = r.int(1, 3)
    n = r.int(1, d - 1)
    m = w * d + n + r.int(-2, 2)
    d2 = d if r.below(2) else r.pick([x for x in range(2, 9) if x != d])
    m = max(d2 + 1, m * d2 // d)
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
        d = r.int(2, 12 if big else 9)
        w = r.int(1, 9 if big else 3)
        n = 0 if wholes_too and r.below(3) == 0 else r.int(1, d - 1)
        if math.gcd(n, d) != 1 and n != 0:
            return None
        v = F(w * d + n, d)
        return Problem(plain(w * d + n, d) + "=", [mixed(v)])
    return kind


def to_improper(big: bool) -> Kind:
    def kind(r: Rng):
        d = r.int(2, 12 if big else 9)
        w = r.int(1, 9 if big else 3)
        n = r.int(1, d - 1)
        if math.gcd(n, d) != 1:
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
    k = r.int(1, 3 * top - 1)
    if k % 10 == 0 and places == 2:
        return None
    v = F(k, top)
    if v.denominator == 1:
        return None
    return Problem(decimal_text(v) + "=", answers(v, None, "improper", (plain(k, top),)))


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
        right = ",".join(plain(n * l // d, l) for n, d in fr)
        return Problem(left + "@/　→　@/", [right])
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
    a, b = proper(r, range(2, 9), lowest=True), proper(r, range(2, 9), lowest=True)
    c = proper(r, range(2, 10), lowest=True)
    op = r.pick(["+", "-"])
    v = apply(op, F(*a) * F(*c), F(*b) * F(*c))
    if v <= 0 or (F(*a) + F(*b)).denominator != 1 and op == "+" and r.below(2):
        return None
    if op == "-" and (F(*a) - F(*b)).denominator > 4:
        return None
    return Problem(f"{plain(*a)}*{plain(*c)}{op}{plain(*b)}*{plain(*c)}=", answers(v))


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


# ---- the tables ----

@dataclasses.dataclass
class Unit:
    name: str  # the unit's line in the index
    instruction: list[str]  # the lines above the problems
    kind: Kind
    count: int = 11
    similar: int = 0  # number of similar problems R1, R2, ...
    hint: tuple = ()
    choice: bool = False  # the answers are chosen from a list (<<kgroup), with dummy answers
    softkey: tuple = ()


@dataclasses.dataclass
class Section:
    name: str
    units: list[Unit]


@dataclasses.dataclass
class Lesson:
    name: str
    stem: str
    sections: list[Section]


CALC = ["１．次の計算をしましょう。"]
CALC_REDUCE = ["１．次の計算をしましょう。答えは約分して書きましょう。"]
COMPARE = ["１．　にあてはまる等号・不等号を書きましょう。"]
SIGN_KEYS = ("＞＜＝",)

LESSONS = [
    Lesson("分数の意味と大きさ", "imi", [
        Section("分数の表し方", [
            Unit("図の色をぬった部分を分数で", ["１．色をぬった部分を、分数で答えましょう。"],
                 fig_bar(1), 10, 1, ("1つ分をいくつに分けたか（分母）と、", "そのいくつ分か（分子）を数えます。")),
            Unit("数直線のめもりを分数で", ["１．矢印のめもりが表す数を、分数で答えましょう。"],
                 fig_line(1), 10, 1, ("0から1までをいくつに分けているか数えます。",)),
            Unit("円の図を分数で", ["１．色をぬった部分は、円のどれだけですか。"],
                 fig_pie, 10, 1, ("円がいくつに等しく分けられているか数えます。",)),
            Unit("1より大きい分数（図）", ["１．色をぬった部分を、仮分数で答えましょう。"],
                 fig_bar(2), 10, 1, ("1つ分の分け方を分母にして、", "色をぬったますの数を分子にします。")),
            Unit("1より大きい分数（数直線）", ["１．矢印のめもりが表す数を、仮分数で答えましょう。"],
                 fig_line(2), 10, 0, ("1より大きい数も、めもりの数で分子が決まります。",)),
        ]),
        Section("分数の大きさくらべ", [
            Unit("分母が同じ分数のくらべ方", COMPARE, compare(pair_same_den), 11, 2,
                 ("分母が同じときは、分子が大きいほうが大きい分数です。",), choice=True, softkey=SIGN_KEYS),
            Unit("分子が同じ分数のくらべ方", COMPARE, compare(pair_same_num), 11, 2,
                 ("分子が同じときは、分母が小さいほうが大きい分数です。",), choice=True, softkey=SIGN_KEYS),
            Unit("分数と整数のくらべ方", COMPARE, compare(pair_one), 11, 1,
                 ("分母と分子が同じ分数は1です。",), choice=True, softkey=SIGN_KEYS),
            Unit("分母がちがう分数のくらべ方", COMPARE, compare(pair_diff), 11, 2,
                 ("通分して、分子の大きさでくらべます。",), choice=True),
            Unit("帯分数と仮分数のくらべ方", COMPARE, compare(pair_mixed), 11, 1,
                 ("帯分数を仮分数になおしてからくらべます。",), choice=True),
        ]),
        Section("仮分数と帯分数", [
            Unit("仮分数を帯分数になおす", ["１．仮分数を帯分数になおしましょう。"], to_mixed(False), 11, 3,
                 ("分子を分母でわって、商が整数の部分、", "あまりが分子になります。")),
            Unit("帯分数を仮分数になおす", ["１．帯分数を仮分数になおしましょう。"], to_improper(False), 11, 3,
                 ("分母×整数＋分子 が、仮分数の分子になります。",)),
            Unit("整数か帯分数になおす", ["１．仮分数を、整数か帯分数になおしましょう。"], to_mixed(False, True), 11, 2,
                 ("わりきれるときは整数になります。",)),
            Unit("大きな数の仮分数を帯分数に", ["１．仮分数を帯分数になおしましょう。"], to_mixed(True), 11, 1),
            Unit("大きな数の帯分数を仮分数に", ["１．帯分数を仮分数になおしましょう。"], to_improper(True), 11, 1),
        ]),
        Section("分数と小数・整数", [
            Unit("わり算の商を分数で（1より小さい）", ["１．わり算の商を分数で表しましょう。"], quotient(False), 11, 2,
                 ("□÷○ の商は、○分の□ です。",)),
            Unit("わり算の商を分数で（1より大きい）", ["１．わり算の商を分数で表しましょう。"], quotient(True), 11, 2),
            Unit("分数を小数で", ["１．分数を小数で表しましょう。"], to_decimal(False), 11, 2,
                 ("分子÷分母 を計算します。",)),
            Unit("小数を分数で", ["１．小数を分数で表しましょう。（約分して書きます）"], from_decimal, 11, 2,
                 ("0.1は1/10、0.01は1/100です。",)),
            Unit("帯分数を小数で", ["１．帯分数を小数で表しましょう。"], to_decimal(True), 11, 0),
            Unit("小数と分数のくらべ方", COMPARE, compare(pair_decimal), 11, 1,
                 ("分数を小数になおしてくらべます。",), choice=True),
        ]),
    ]),
    Lesson("分数のたし算とひき算", "tasu", [
        Section("分母が同じ分数", [
            Unit("たし算（答えが1より小さい）", CALC, same_den("+", "lt1"), 11, 3,
                 ("分母はそのままにして、分子どうしをたします。",)),
            Unit("ひき算", CALC, same_den("-", "any"), 11, 3, ("分母はそのままにして、分子どうしをひきます。",)),
            Unit("たし算（答えが1以上）", CALC, same_den("+", "ge1"), 11, 2,
                 ("答えが仮分数になったら、帯分数にもなおしてみましょう。",)),
            Unit("整数から分数をひく", CALC, whole_minus, 11, 2, ("1を、分母と分子が同じ分数になおします。",)),
            Unit("3つの分数の計算", CALC, three_same_den, 11, 1, ("左から順に計算します。",)),
        ]),
        Section("帯分数のたし算とひき算", [
            Unit("帯分数のたし算", ["１．次の計算をしましょう。答えは帯分数で書きましょう。"],
                 mixed_same_den("+", False), 11, 3, ("整数の部分と分数の部分を、べつべつにたします。",)),
            Unit("くり上がりのある帯分数のたし算", ["１．次の計算をしましょう。答えは帯分数で書きましょう。"],
                 mixed_same_den("+", True), 11, 2, ("分数の部分が1以上になったら、整数の部分に1くり上げます。",)),
            Unit("帯分数のひき算", ["１．次の計算をしましょう。答えは帯分数で書きましょう。"],
                 mixed_same_den("-", False), 11, 3, ("整数の部分と分数の部分を、べつべつにひきます。",)),
            Unit("くり下がりのある帯分数のひき算", ["１．次の計算をしましょう。答えは帯分数で書きましょう。"],
                 mixed_same_den("-", True), 11, 2, ("分数の部分がひけないときは、整数の部分から1くり下げます。",)),
            Unit("帯分数と真分数の計算", ["１．次の計算をしましょう。答えは帯分数で書きましょう。"],
                 mixed_and_proper, 11, 1),
        ]),
        Section("約分と通分", [
            Unit("約分", ["１．約分しましょう。"], reduce_fraction(False), 11, 3,
                 ("分母と分子を、同じ数でわります。", "いちばん大きい公約数でわると1回ですみます。")),
            Unit("約分（大きな数）", ["１．約分しましょう。"], reduce_fraction(True), 11, 2,
                 ("分母と分子の最大公約数でわります。",)),
            Unit("2つの分数の通分", ["１．（　）の中の分数を通分しましょう。"], common_denominators(2), 11, 2,
                 ("分母の最小公倍数を、共通な分母にします。",)),
            Unit("3つの分数の通分", ["１．（　）の中の分数を通分しましょう。"], common_denominators(3), 10, 1,
                 ("3つの分母の最小公倍数を見つけます。",)),
            Unit("約分と通分のまとめ", ["１．約分や通分をしましょう。"],
                 mixture([reduce_fraction(False), common_denominators(2)]), 11, 1),
        ]),
        Section("分母がちがう分数のたし算とひき算", [
            Unit("通分してたし算", CALC, different_den("+", False), 11, 3, ("分母の最小公倍数で通分してからたします。",)),
            Unit("通分してひき算", CALC, different_den("-", False), 11, 3, ("分母の最小公倍数で通分してからひきます。",)),
            Unit("答えを約分するたし算・ひき算", CALC_REDUCE, different_den("+-", True), 11, 2,
                 ("答えが約分できるときは、かならず約分します。",), choice=True),
            Unit("帯分数のたし算・ひき算", ["１．次の計算をしましょう。答えは帯分数で書きましょう。"],
                 different_den("+-", None, mixed_numbers=True), 11, 2,
                 ("整数の部分と分数の部分に分けて計算するか、", "仮分数になおして計算します。")),
            Unit("3つの分数のたし算・ひき算", CALC_REDUCE, different_den("+-", None, terms=3), 11, 1,
                 ("3つの分母の最小公倍数で通分します。",)),
        ]),
    ]),
    Lesson("分数のかけ算とわり算", "kake", [
        Section("分数と整数のかけ算・わり算", [
            Unit("分数×整数", CALC, times_whole("*", False), 11, 3, ("分母はそのままにして、分子に整数をかけます。",)),
            Unit("分数×整数（約分あり）", CALC_REDUCE, times_whole("*", True), 11, 2, ("計算のとちゅうで約分すると楽です。",)),
            Unit("分数÷整数", CALC, times_whole("/", False), 11, 3, ("分子はそのままにして、分母に整数をかけます。",)),
            Unit("分数÷整数（約分あり）", CALC_REDUCE, times_whole("/", True), 11, 2),
            Unit("帯分数と整数のかけ算・わり算", ["１．次の計算をしましょう。答えは帯分数で書きましょう。"],
                 mixture([times_whole("*", None, True), times_whole("/", None, True)]), 11, 1,
                 ("帯分数を仮分数になおしてから計算します。",)),
        ]),
        Section("分数×分数", [
            Unit("分数×分数", CALC, fraction_by_fraction("*", False), 11, 3, ("分母どうし、分子どうしをかけます。",)),
            Unit("分数×分数（約分あり）", CALC_REDUCE, fraction_by_fraction("*", True), 11, 3,
                 ("かける前に約分できるか見てみましょう。",)),
            Unit("整数×分数", CALC_REDUCE, fraction_by_fraction("*", None, first_whole=True), 11, 2,
                 ("整数は、分母が1の分数と考えます。",)),
            Unit("帯分数のかけ算", ["１．次の計算をしましょう。答えは帯分数で書きましょう。"],
                 fraction_by_fraction("*", None, mixed_numbers=True), 11, 2, ("帯分数を仮分数になおしてからかけます。",)),
            Unit("3つの分数のかけ算", CALC_REDUCE, three_fractions(["**"]), 11, 1, ("まとめて1つの分数の式にして約分します。",)),
        ]),
        Section("分数÷分数", [
            Unit("分数÷分数", CALC, fraction_by_fraction("/", False), 11, 3, ("わる数の分母と分子を入れかえて、かけ算にします。",)),
            Unit("分数÷分数（約分あり）", CALC_REDUCE, fraction_by_fraction("/", True), 11, 3),
            Unit("整数÷分数", CALC_REDUCE, fraction_by_fraction("/", None, first_whole=True), 11, 2),
            Unit("帯分数のわり算", ["１．次の計算をしましょう。答えは帯分数で書きましょう。"],
                 fraction_by_fraction("/", None, mixed_numbers=True), 11, 2, ("帯分数を仮分数になおしてからわります。",)),
            Unit("かけ算とわり算のまじった計算", CALC_REDUCE, three_fractions(["*/", "/*", "//"]), 11, 1,
                 ("わる数を逆数にして、かけ算だけの式にします。",)),
        ]),
        Section("計算のきまり", [
            Unit("（　）のある計算", CALC_REDUCE, brackets, 11, 2, ("（　）の中を先に計算します。",)),
            Unit("分配のきまりを使う計算", CALC_REDUCE, distributive, 11, 2,
                 ("a×c＋b×c＝(a＋b)×c を使うと楽になります。",)),
            Unit("小数と分数のまじった計算", CALC_REDUCE, decimal_and_fraction, 11, 2, ("小数を分数になおして計算します。",)),
            Unit("四則のまじった計算", CALC_REDUCE, four_operations, 11, 1, ("かけ算・わり算を、たし算・ひき算より先にします。",)),
            Unit("答えをえらぶ計算", ["１．次の計算の答えを、えらびましょう。"],
                 mixture([fraction_by_fraction("*", True), fraction_by_fraction("/", True)]), 11, 1,
                 ("答えを計算してから、同じものをえらびます。",), choice=True),
        ]),
    ]),
    Lesson("まとめ", "matome", [
        Section("まとめのテスト", [
            Unit("3・4年のまとめ", CALC,
                 mixture([same_den("+", "lt1"), same_den("-", "any"), mixed_same_den("+", True),
                          mixed_same_den("-", True), to_mixed(False), to_improper(False)]), 11, 2),
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
        ]),
    ]),
]


# ---- layout ----

def drawn_width(text: str) -> int:
    """The width the worksheet gives a text at character size 14 on the screen, in layout units."""
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
FIGURE_X = 150  # figures start right of the widest problem number


def unit_lines(unit: Unit, problems: list[Problem], figures_at: dict) -> tuple[list[str], list[str], list[str]]:
    """The problem lines, the figure lines and the layout blocks of one unit record."""
    figure_unit = problems[0].figure is not None
    compare_unit = bool(problems[0].after)
    labels = [f"({k})" + (" " if k >= 10 else "  ") for k in range(1, len(problems) + 1)]
    text_end = max(drawn_width(lab + p.text) for lab, p in zip(labels, problems))
    answer_width = max(drawn_width(" " + p.answers[0] + " ") for p in problems)
    # A sign's box is just wide enough for the sign between its blanks; the right side follows after one blank.
    if figure_unit:
        figure_right = max(FIGURE_X + p.figure[1].width for p in problems)
        column = -(-(figure_right + 20) // 10)
    else:
        column = -(-(LEFT + text_end + 16) // 10)
    box = 6 if compare_unit else max(10, -(-(answer_width + 12) // 5) - 5)
    alternatives = max(sum(drawn_width(" " + a) for a in p.answers[1:]) for p in problems)
    if not compare_unit and alternatives:
        # The alternative answers (別解) are drawn 50 units right of the box's left edge: a box of 60 units
        # leaves them outside it; where the answer needs more, the box takes them in, as far as the margin lets.
        if answer_width <= 52:
            box = 7
        else:
            box = min(max(box, -(-(50 + alternatives + 8) // 5) - 5), (580 - 10 * column) // 5 - 5)
    spacing = 80
    lines = list(unit.instruction)
    graph = []
    step = spacing * 0.7875
    y = 98 + len(lines) * step  # the first line of a page without "§" split in its title
    for lab, p in zip(labels, problems):
        # Blanks inside the "#" as the editor inserts them; judging trims them.
        answer = " " + ";".join(p.answers) + " "
        lines.append(f"{lab}{p.text}#{answer}#{p.after}")
        if figure_unit:
            name, picture = p.figure
            figures_at[name] = picture
            top = round(y) + 21 - picture.height // 2
            graph += [name, str(FIGURE_X), str(top)]
        y += step
    layout = ["<<value", "630", "False", str(spacing), "5", "5", "1", "7", ">>",
              "<<font", "14", "MS 明朝", "False", "False", "False", "False", "0", ">>",
              "<<kran", "1", str(box), "20", "0", str(column), "0", "15", "10", "0", "0", ">>"]
    return lines, graph, layout


def draw_problems(unit: Unit, rng: Rng, seen: set) -> list[Problem]:
    problems: list[Problem] = []
    tries = 0
    while len(problems) < unit.count:
        tries += 1
        if tries > 20000:
            raise RuntimeError(f"not enough problems for {unit.name}")
        p = unit.kind(rng)
        if p is None:
            continue
        key = p.text + (p.figure[0] if p.figure else "") + p.after
        if key in seen:
            continue
        seen.add(key)
        problems.append(p)
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
            lines, graph, layout = unit_lines(unit, problems, figures)
            out.append(f"[[unit{u}" + (f"R{r}" if r else ""))
            out += ["<<ques"] + lines + [">>"]
            if unit.choice:
                choices = unique([a for p in problems for a in p.answers[:1]])
                dummies = [d for d in unique([d for p in problems for d in p.dummies] + ["="])
                           if d not in choices and not any(d in p.answers for p in problems)]
                if problems[0].after:
                    dummies = [d for d in ["=", ">", "<"] if d not in choices]
                dummies = dummies[:4]
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
