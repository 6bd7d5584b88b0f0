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


# The sentences: a small situation a child of the grade knows, with {0}, {1} … for the numbers; "|" parts the
# situation (a line of its own) from the question (the line of the answer box). Then the unit after the answer
# box, and the value.
Sentence = tuple[str, str, Callable[..., F]]

ADD = [
    ("牛にゅうが{0} Lあります。{1} L買ってきました。|牛にゅうは何Lになりましたか。", "　L", lambda a, b: a + b),
    ("赤いリボンが{0} m、青いリボンが{1} mあります。|あわせて何mですか。", "　m", lambda a, b: a + b),
    ("ジュースを、朝{0} L、夕方{1} L飲みました。|あわせて何L飲みましたか。", "　L", lambda a, b: a + b),
    ("さとうを、おかしに{0} kg、ジャムに{1} kg使いました。|あわせて何kg使いましたか。", "　kg",
     lambda a, b: a + b),
]
SUB = [
    ("ジュースが{0} Lありました。そのうち{1} L飲みました。|のこりは何Lですか。", "　L", lambda a, b: a - b),
    ("リボンが{0} mあります。かざりに{1} m使いました。|のこりは何mですか。", "　m", lambda a, b: a - b),
    ("小麦粉が{0} kgあります。ケーキに{1} kg使いました。|のこりは何kgですか。", "　kg", lambda a, b: a - b),
]
DIFF = [
    ("赤いテープは{0} m、白いテープは{1} mです。|長さのちがいは何mですか。", "　m", lambda a, b: abs(a - b)),
    ("水とうに、兄は{0} L、弟は{1} Lのお茶を入れました。|ちがいは何Lですか。", "　L", lambda a, b: abs(a - b)),
]
TIMES_WHOLE = [
    ("1本{0} Lのジュースが{1}本あります。|ジュースは全部で何Lですか。", "　L", lambda a, k: a * k),
    ("1 mの重さが{0} kgのはり金を、{1} m買いました。|はり金の重さは何kgですか。", "　kg", lambda a, k: a * k),
    ("1まいの重さが{0} kgの板を、{1}まい重ねました。|全部で何kgですか。", "　kg", lambda a, k: a * k),
]
BY_WHOLE = [
    ("{0} Lのジュースを、{1}人で同じように分けます。|1人分は何Lですか。", "　L", lambda a, k: a / k),
    ("{0} mのリボンを、同じ長さに{1}本に切ります。|1本は何mですか。", "　m", lambda a, k: a / k),
    ("{0} kgのさとうを、{1}つのふくろに同じように分けます。|1ふくろは何kgですか。", "　kg", lambda a, k: a / k),
]
TIMES_FRACTION = [
    ("1 mの重さが{0} kgのはり金を、{1} m買いました。|はり金の重さは何kgですか。", "　kg", lambda a, b: a * b),
    ("1 dLで{0} ㎡ぬれるペンキを、{1} dL使いました。|何㎡ぬれましたか。", "　㎡", lambda a, b: a * b),
    ("1 Lの重さが{0} kgのすなを、{1} Lはかりました。|すなの重さは何kgですか。", "　kg", lambda a, b: a * b),
]
BY_FRACTION = [
    ("{0} mの重さが{1} kgのはり金があります。|このはり金1 mの重さは何kgですか。", "　kg", lambda b, c: c / b),
    ("{0} dLのペンキで、{1} ㎡のかべをぬりました。|1 dLでは何㎡ぬれますか。", "　㎡", lambda b, c: c / b),
    ("{0} Lのすなの重さをはかると、{1} kgでした。|このすな1 Lの重さは何kgですか。", "　kg", lambda b, c: c / b),
]
TIMES_OF = [
    ("赤いテープは{0} m、白いテープは{1} mです。|赤は白の何倍ですか。", "　倍", lambda a, b: a / b),
    ("ジュースが{0} L、お茶が{1} Lあります。|ジュースはお茶の何倍ですか。", "　倍", lambda a, b: a / b),
]
AMOUNT_OF = [
    ("白いテープは{0} m、赤いテープは白の{1}倍の長さです。|赤いテープは何mですか。", "　m",
     lambda b, p: b * p),
    ("お茶が{0} L、牛にゅうはお茶の{1}倍あります。|牛にゅうは何Lですか。", "　L", lambda b, p: b * p),
]
SPLIT_ONE = [
    ("1 mのテープを{0}等分しました。|その{1}こ分の長さは何mですか。", "　m", lambda d, n: n / d),
    ("1 Lの牛にゅうを{0}等分しました。|その{1}こ分のかさは何Lですか。", "　L", lambda d, n: n / d),
    ("1 kgのねん土を{0}等分しました。|その{1}こ分の重さは何kgですか。", "　kg", lambda d, n: n / d),
]
SHARE = [
    ("{0} Lのジュースを、{1}人で同じように分けます。|1人分は何Lですか。", "　L", lambda a, k: a / k),
    ("{0} mのリボンを、{1}人で同じ長さに分けます。|1人分は何mですか。", "　m", lambda a, k: a / k),
    ("{0} kgのお米を、{1}つのふくろに同じように分けます。|1ふくろは何kgですか。", "　kg", lambda a, k: a / k),
]
WHOLE_TIMES = [
    ("赤いリボンは{0} m、青いリボンは{1} mです。|赤は青の何倍ですか。", "　倍", lambda a, b: a / b),
    ("バケツに{0} L、なべに{1} Lの水が入ります。|バケツはなべの何倍ですか。", "　倍", lambda a, b: a / b),
]
DECIMAL_AMOUNT = [
    ("お米が{0} kgあります。|分数で表すと何kgですか。", "　kg", lambda x: x),
    ("水とうにお茶が{0} L入っています。|分数で表すと何Lですか。", "　L", lambda x: x),
]
MINUTES = [
    ("えいがを{0}分見ました。|何時間見ましたか。", "　時間", lambda m: m / 60),
    ("駅まで{0}分歩きました。|何時間歩きましたか。", "　時間", lambda m: m / 60),
]
SECONDS = [("なわとびを{0}秒とびました。|何分とびましたか。", "　分", lambda s: s / 60)]
HOURS = [
    ("{0}時間、本を読みました。|何分読みましたか。", "　分", lambda t: t * 60),
    ("公園で{0}時間遊びました。|何分遊びましたか。", "　分", lambda t: t * 60),
]
WALK = [("時速{0} kmで、{1}時間歩きました。|何km進みましたか。", "　km", lambda a, t: a * t)]
RECIPROCAL = [("{0}の逆数は", "", lambda x: 1 / x)]
NUMBER_TIMES = [("{0}は、{1}の何倍ですか。", "　倍", lambda a, b: a / b)]
AREA = [
    ("たて{0} m、横{1} mの長方形の花だんがあります。|面積は何㎡ですか。", "　㎡", lambda a, b: a * b),
    ("たて{0} m、横{1} mの長方形のシートがあります。|面積は何㎡ですか。", "　㎡", lambda a, b: a * b),
]
VOLUME = [
    ("たて{0} m、横{1} m、高さ{2} mの直方体の箱があります。|体積は何立方メートルですか。", "　立方メートル",
     lambda a, b, c: a * b * c),
]

Numbers = Callable[[Rng], Optional[list[tuple[str, F]]]]


def word(sentences: list[Sentence], numbers: Numbers, first_at: Optional[int] = None, style: str = "improper",
         whole_ok: bool = True) -> Kind:
    """A word problem: one of the sentences with numbers drawn by `numbers`. first_at: the denominator the first
    answer is written with (the common denominator, before reducing), None for the reduced form."""
    turn = {"k": 0}

    def kind(r: Rng):
        picked = numbers(r)
        if picked is None:
            return None
        # The situations take turns, so that a page tells several of them.
        text, make, op = sentences[turn["k"] % len(sentences)]
        v = op(*(value for _, value in picked))
        if v <= 0 or v.denominator == 1 and not whole_ok:
            return None
        body = text.format(*(shown(t) for t, _ in picked))
        lead, _, body = body.rpartition("|")
        den = math.lcm(*(su.written_den(t) for t, _ in picked)) if first_at == 0 else first_at
        first = None
        if den and (v * den).denominator == 1 and v.denominator != 1:
            n = int(v * den)
            first = plain(n, den) if style == "improper" or n < den else plain_mixed(n // den, n % den, den)
        turn["k"] += 1
        return Problem(body, answers(v, first, style), after=make, lead=lead)
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


def sides(count: int) -> Numbers:
    """The sides of a rectangle or a box in metres: fractions, one of them a whole or a mixed number."""
    def numbers(r: Rng):
        picked = []
        for k in range(count):
            n, d = proper(r, range(2, 9), lowest=True)
            w = r.int(1, 2) if k == 0 and r.below(2) else 0
            picked.append((plain_mixed(w, n, d), F(w * d + n, d)))
        v = math.prod(x for _, x in picked)
        if v.denominator > 60 or v.numerator > 60 or len({t for t, _ in picked}) < count:
            return None
        return picked
    return numbers


def by_whole(r: Rng):
    """An amount shared by a few: at least a half, so that a share is not a crumb."""
    n, d = proper(r, range(2, 10), lowest=True)
    w = r.int(1, 2) if r.below(3) == 0 else 0
    if w == 0 and 2 * n < d:
        return None
    k = r.int(2, 5)
    return [(plain_mixed(w, n, d), F(w * d + n, d)), (str(k), F(k))]


def mixed_and_fraction(r: Rng):
    """A fraction and a mixed number in either order, for problems thought out on a double number line."""
    (a, d), (b, e) = proper(r, range(2, 7), lowest=True), proper(r, range(2, 7), lowest=True)
    w = r.int(1, 2)
    x, y = (plain(a, d), F(a, d)), (plain_mixed(w, b, e), F(w * e + b, e))
    if (x[1] * y[1]).denominator > 30 or (y[1] / x[1]).numerator > 60 or (x[1] / y[1]).numerator > 60:
        return None
    return [x, y] if r.below(2) else [y, x]


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


def reciprocal(kind: str) -> Kind:
    """The reciprocal of a number: the number with numerator and denominator swapped as the child writes it
    (0.6 gives 10/6), then its reduced forms."""
    base = word(RECIPROCAL, reciprocal_of(kind))

    def make(r: Rng):
        p = base(r)
        if p is None:
            return None
        x = su.numbers_in(p.text)[0]
        if "." in x:
            direct = plain(10 ** len(x.split(".")[1]), int(x.replace(".", "")))
        elif "&" in x:
            w, f = x.split("&")
            n, d = map(int, f.split("/"))
            direct = plain(d, int(w) * d + n)
        elif "/" in x:
            n, d = map(int, x.split("/"))
            direct = plain(d, n)
        else:
            direct = plain(1, int(x))
        v = 1 / su.num(x)
        extra = [direct]
        dn, dd = map(int, direct.split("/"))
        if dn > dd and dn % dd:
            extra.append(plain_mixed(dn // dd, dn % dd, dd))
        p.answers = su.unique(p.answers + extra) if direct != su.frac(v) else p.answers
        return p
    return make


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
