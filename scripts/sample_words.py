"""The kinds of the sample courseware that are written in words: word problems (文章題) with quantities and their
units, equal fractions, reciprocals (逆数), "how many times" (分数倍) and time in fractions.

A word problem is one worksheet line: a short sentence whose numbers sit between "@/" codes (so that the
expression renderer stacks the fractions while the words stay plain text), the answer box, and the unit of the
answer after the box. Every sentence below names the operation it asks for; the value is computed from the
numbers the sentence shows, exactly.
"""
import math
from fractions import Fraction as F
from typing import Callable, Optional

import sample_pictures as pics
import sample_units as su
from sample_units import Kind, Problem, Rng, answers, decimal_text, plain, plain_mixed, proper, sign


def shown(text: str) -> str:
    """A number set into a sentence: between style codes, so that it is drawn as a number, not as words."""
    return f"@/{text}@/"


# The sentences: text with {0}, {1} … for the numbers, the unit after the answer box, and the value.
Sentence = tuple[str, str, Callable[..., F]]

ADD = [
    ("ジュース{0} Lと{1} L、あわせて何Lですか。", "　L", lambda a, b: a + b),
    ("{0} mと{1} mのテープをつなぐと何mですか。", "　m", lambda a, b: a + b),
]
SUB = [
    ("{0} mから{1} m切ると、のこりは何mですか。", "　m", lambda a, b: a - b),
    ("{0} Lから{1} L飲むと、のこりは何Lですか。", "　L", lambda a, b: a - b),
]
DIFF = [
    ("{0} mと{1} mの長さのちがいは何mですか。", "　m", lambda a, b: abs(a - b)),
]
TIMES_WHOLE = [
    ("1本{0} Lのジュース{1}本分は何Lですか。", "　L", lambda a, k: a * k),
    ("1 mが{0} kgのぼう、{1} mの重さは何kgですか。", "　kg", lambda a, k: a * k),
]
BY_WHOLE = [
    ("{0} mを{1}人で等分すると1人分は何mですか。", "　m", lambda a, k: a / k),
    ("{0} Lを{1}つに等分すると1つ分は何Lですか。", "　L", lambda a, k: a / k),
]
TIMES_FRACTION = [
    ("1 mが{0} kgのぼう{1} mの重さは何kgですか。", "　kg", lambda a, b: a * b),
    ("1 dLで{0} ㎡ぬれます。{1} dLでは何㎡ですか。", "　㎡", lambda a, b: a * b),
]
BY_FRACTION = [
    ("{0} mが{1} kgのぼう1 mの重さは何kgですか。", "　kg", lambda b, c: c / b),
    ("{0} dLで{1} ㎡ぬれます。1 dLでは何㎡ですか。", "　㎡", lambda b, c: c / b),
]
TIMES_OF = [
    ("赤{0} m、白{1} mのテープ。赤は白の何倍ですか。", "　倍", lambda a, b: a / b),
]
AMOUNT_OF = [
    ("{0} mの{1}倍の長さは何mですか。", "　m", lambda b, p: b * p),
]
SPLIT_ONE = [
    ("1 mを{0}等分した{1}こ分の長さは何mですか。", "　m", lambda d, n: n / d),
    ("1 Lを{0}等分した{1}こ分のかさは何Lですか。", "　L", lambda d, n: n / d),
]
SHARE = [
    ("{0} Lを{1}人で等分すると1人分は何Lですか。", "　L", lambda a, k: a / k),
    ("ひも{0} mを{1}等分した1本は何mですか。", "　m", lambda a, k: a / k),
]
WHOLE_TIMES = [
    ("{0} mは、{1} mの何倍ですか。", "　倍", lambda a, b: a / b),
]
DECIMAL_AMOUNT = [
    ("{0} kgは、分数で表すと何kgですか。", "　kg", lambda x: x),
    ("{0} Lは、分数で表すと何Lですか。", "　L", lambda x: x),
]
MINUTES = [("{0}分は何時間ですか。", "　時間", lambda m: m / 60)]
SECONDS = [("{0}秒は何分ですか。", "　分", lambda s: s / 60)]
HOURS = [("{0}時間は何分ですか。", "　分", lambda t: t * 60)]
WALK = [("時速{0} kmで{1}時間歩くと何kmですか。", "　km", lambda a, t: a * t)]
RECIPROCAL = [("{0}の逆数は", "", lambda x: 1 / x)]
NUMBER_TIMES = [("{0}は、{1}の何倍ですか。", "　倍", lambda a, b: a / b)]

ALL_SENTENCES = (ADD + SUB + DIFF + TIMES_WHOLE + BY_WHOLE + TIMES_FRACTION + BY_FRACTION + TIMES_OF + AMOUNT_OF
                 + SPLIT_ONE + SHARE + WHOLE_TIMES + DECIMAL_AMOUNT + MINUTES + SECONDS + HOURS + WALK + RECIPROCAL
                 + NUMBER_TIMES)

Numbers = Callable[[Rng], Optional[list[tuple[str, F]]]]


def word(sentences: list[Sentence], numbers: Numbers, first_at: Optional[int] = None, style: str = "improper",
         whole_ok: bool = True) -> Kind:
    """A word problem: one of the sentences with numbers drawn by `numbers`. first_at: the denominator the first
    answer is written with (the common denominator, before reducing), None for the reduced form."""
    def kind(r: Rng):
        picked = numbers(r)
        if picked is None:
            return None
        text, make, op = r.pick(sentences)
        v = op(*(value for _, value in picked))
        if v <= 0 or v.denominator == 1 and not whole_ok:
            return None
        body = text.format(*(shown(t) for t, _ in picked))
        den = math.lcm(*(su.written_den(t) for t, _ in picked)) if first_at == 0 else first_at
        first = None
        if den and (v * den).denominator == 1 and v.denominator != 1:
            n = int(v * den)
            first = plain(n, den) if style == "improper" or n < den else plain_mixed(n // den, n % den, den)
        return Problem(body, answers(v, first, style), after=make)
    return kind


# ---- the numbers of the word problems ----

def same_den(kind: str) -> Numbers:
    """Two fractions of one denominator: "lt1" their sum below 1, "ge1" at least 1, "sub" the first bigger."""
    def numbers(r: Rng):
        d = r.int(3, 10)
        a, b = r.int(1, d - 1), r.int(1, d - 1)
        if kind == "lt1" and a + b >= d or kind == "ge1" and a + b <= d or kind == "sub" and a <= b:
            return None
        return [(plain(a, d), F(a, d)), (plain(b, d), F(b, d))]
    return numbers


def mixed_same_den(r: Rng):
    d = r.int(3, 8)
    w1, w2 = r.int(1, 4), r.int(1, 3)
    a, b = r.int(1, d - 1), r.int(1, d - 1)
    if w1 * d + a <= w2 * d + b:
        return None
    return [(plain_mixed(w1, a, d), F(w1 * d + a, d)), (plain_mixed(w2, b, d), F(w2 * d + b, d))]


def different_den(sub: bool, mixed_numbers: bool = False) -> Numbers:
    def numbers(r: Rng):
        (a, d), (b, e) = proper(r, range(2, 11), lowest=True), proper(r, range(2, 11), lowest=True)
        if d == e or math.lcm(d, e) > 30:
            return None
        w1, w2 = (r.int(1, 3), r.int(1, 2)) if mixed_numbers else (0, 0)
        x, y = F(w1 * d + a, d), F(w2 * e + b, e)
        if sub and x <= y:
            return None
        return [(plain_mixed(w1, a, d), x), (plain_mixed(w2, b, e), y)]
    return numbers


def fraction_and_whole(low: int = 2, high: int = 9) -> Numbers:
    def numbers(r: Rng):
        a, d = proper(r, range(2, 10), lowest=True)
        k = r.int(low, high)
        return [(plain(a, d), F(a, d)), (str(k), F(k))]
    return numbers


def two_fractions(r: Rng):
    (a, d), (b, e) = proper(r, range(2, 10), lowest=True), proper(r, range(2, 10), lowest=True)
    if (a, d) == (b, e):
        return None
    x, y = F(a, d), F(b, e)
    if (x * y).denominator > 40 or (y / x).denominator > 40:
        return None
    return [(plain(a, d), x), (plain(b, e), y)]


def whole_pair(r: Rng):
    a, b = r.int(1, 9), r.int(2, 9)
    if math.gcd(a, b) != 1 or a == b:
        return None
    return [(str(a), F(a)), (str(b), F(b))]


def split_one(r: Rng):
    d = r.int(2, 10)
    n = r.int(1, d - 1)
    if math.gcd(n, d) != 1:
        return None
    return [(str(d), F(d)), (str(n), F(n))]


def decimal_amount(r: Rng):
    if r.below(2):
        k = r.int(1, 29)
        v = F(k, 10)
        if k % 10 == 0:
            return None
    else:
        v = F(r.pick([4, 8, 12, 15, 16, 24, 25, 35, 36, 45, 48, 55, 64, 75, 84, 95]), 100)
    return [(decimal_text(v), v)]


def minutes(r: Rng):
    m = r.pick([5, 10, 12, 15, 20, 25, 30, 35, 40, 45, 50, 55, 6, 18, 24, 36, 42, 48, 4, 8, 16, 27, 32, 54])
    return [(str(m), F(m))]


def hours(r: Rng):
    n, d = proper(r, [2, 3, 4, 5, 6, 10, 12, 15, 20, 30], lowest=True)
    return [(plain(n, d), F(n, d))]


def walk(r: Rng):
    a = r.int(2, 5)
    n, d = proper(r, [2, 3, 4, 5, 6], lowest=True)
    a_text, a_value = (str(a), F(a)) if r.below(2) else (plain_mixed(a, 1, 2), F(2 * a + 1, 2))
    return [(a_text, a_value), (plain(n, d), F(n, d))]


def reciprocal_of(kind: str) -> Numbers:
    def numbers(r: Rng):
        if kind == "fraction":
            n, d = proper(r, range(2, 13), lowest=True)
            if r.below(3) == 0:
                n = d + r.int(1, d - 1)
                if math.gcd(n, d) != 1:
                    return None
            return [(plain(n, d), F(n, d))]
        pick = r.below(3)
        if pick == 0:
            k = r.int(2, 15)
            return [(str(k), F(k))]
        if pick == 1:
            n, d = proper(r, range(2, 9), lowest=True)
            w = r.int(1, 3)
            return [(plain_mixed(w, n, d), F(w * d + n, d))]
        t = r.int(1, 19)
        if t % 10 == 0:
            return None
        return [(decimal_text(F(t, 10)), F(t, 10))]
    return numbers


# ---- equal fractions (大きさの等しい分数) ----

def equal_fraction(larger: bool) -> Kind:
    """The fraction of the same size written with the denominator the problem names (larger or smaller)."""
    def kind(r: Rng):
        n, d = proper(r, range(2, 9), lowest=True)
        k = r.int(2, 24 // d)
        big = (n * k, d * k)
        given, wanted = ((n, d), big) if larger else (big, (n, d))
        return Problem(f"分母を{wanted[1]}に：@/{plain(*given)}=", [plain(*wanted)])
    return kind


def equal_numerator(r: Rng):
    n, d = proper(r, range(2, 7), lowest=True)
    k = r.int(2, 4)
    return Problem(f"分子を{n * k}に：@/{plain(n, d)}=", [plain(n * k, d * k)])


def equal_on_lines(r: Rng):
    d = r.pick([2, 3, 4, 5, 6])
    k = r.int(2, 12 // d)
    n = r.int(1, d - 1)
    if math.gcd(n, d) != 1:
        return None
    fine = r.below(2) == 0  # the arrow on the finer line, the answer on the coarser one
    top, bottom = (d * k, d) if fine else (d, d * k)
    shown_n = n * k if fine else n
    answer_n = n if fine else n * k
    name = f"eqline{shown_n}_{top}_{bottom}.bmp"
    return Problem("", [plain(answer_n, bottom)], figure=(name, pics.double_number_line(shown_n, top, bottom)))


def equal_compare(r: Rng):
    n, d = proper(r, range(2, 7), lowest=True)
    k = r.int(2, 12 // d) if 12 // d >= 2 else 0
    if not k:
        return None
    m = n * k + r.pick([-1, 0, 1])
    if not 0 < m < d * k:
        return None
    left, right = (plain(n, d), F(n, d)), (plain(m, d * k), F(m, d * k))
    lt, lv, rt, rv = left + right if r.below(2) else right + left
    return Problem(lt, [sign(lv, rv)], after=" " + rt)



def on_double_lines(times: bool) -> Kind:
    """A double number line with the number asked for in a box: multiplying, the amount for one unit times the
    size; dividing, the amount for a size divided by the size."""
    def kind(r: Rng):
        (a, d), (b, e) = proper(r, range(2, 10), lowest=True), proper(r, range(2, 10), lowest=True)
        if (a, d) == (b, e):
            return None
        x, y = F(a, d), F(b, e)
        top, bottom = r.pick([("m", "kg"), ("L", "kg")])
        v = x * y if times else y / x
        if v.denominator > 30 or v.numerator > 30:
            return None
        name = f"{'dmul' if times else 'ddiv'}{a}_{d}_{b}_{e}.bmp"
        return Problem("", answers(v), figure=(name, pics.quantity_lines(x, y, times, top, bottom)))
    return kind
