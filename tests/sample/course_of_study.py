"""The fraction topics of grades 3 to 6 as the 2017 Japanese course of study places them, and the topic of one
problem as a teacher reads it from the worksheet line (its numbers, signs and words, never the generator's tables).

    topic_of_problem(body, after, answers, figure) -> topic name, a key of GRADES
    topics_of_example(line) -> the topics a worked example shows
"""
import math
import re
from fractions import Fraction

# Topic -> grade. Grade 3: fractions as parts of one, unit fractions, tenths, adding and taking away below 1.
# Grade 4: improper and mixed numbers, equal fractions seen on number lines, adding and taking away with them.
# Grade 5: equal fractions by the rule, reducing, common denominators, different denominators, quotients as
# fractions, fractions and decimals. Grade 6: multiplying and dividing by whole numbers and fractions, reciprocals,
# mixed calculation with decimals, the rules of calculation, times as fractions, areas and volumes, the unknown.
GRADES = {
    "分数の表し方": 3,
    "1/10と小数": 3,
    "分母が同じ分数の大小": 3,
    "分母が同じ分数のたし算": 3,
    "分母が同じ分数のひき算": 3,
    "仮分数と帯分数": 4,
    "分子が同じ分数の大小": 4,
    "1をもとにした大小": 4,
    "数直線で等しい分数": 4,
    "帯分数・仮分数のたし算": 4,
    "帯分数・仮分数のひき算": 4,
    "整数−帯分数": 4,
    "3つの分数のたし算・ひき算（分母が同じ）": 4,
    "約分": 5,
    "通分": 5,
    "通分して大小": 5,
    "等しい分数のきまり": 5,
    "分母がちがう分数のたし算": 5,
    "分母がちがう分数のひき算": 5,
    "分母がちがう分数のたし算・ひき算": 5,
    "わり算の商と分数": 5,
    "分数と小数": 5,
    "整数と分数": 5,
    "分数×整数": 6,
    "分数÷整数": 6,
    "分数×分数": 6,
    "分数÷分数": 6,
    "帯分数×帯分数": 6,
    "帯分数÷帯分数": 6,
    "かけ算とわり算のまじった計算": 6,
    "（　）のある計算": 6,
    "分配のきまり": 6,
    "四則のまじった計算": 6,
    "小数と分数のかけ算・わり算": 6,
    "小数と分数のたし算・ひき算": 6,
    "かける数・わる数と積・商の大きさ": 6,
    "逆数": 6,
    "分数倍": 6,
    "時間と分数": 6,
    "面積・体積": 6,
    "□を求める式": 6,
}

# Topics the book must teach somewhere (a teacher of grades 3 to 6 looks for each of them).
REQUIRED = ("整数−帯分数", "帯分数×帯分数", "帯分数÷帯分数", "かける数・わる数と積・商の大きさ", "面積・体積",
            "小数と分数のたし算・ひき算", "□を求める式", "等しい分数のきまり", "逆数", "分数倍", "時間と分数",
            "1/10と小数", "わり算の商と分数")

NUMBER = re.compile(r"\d+&\d+/\d+|\d+/\d+|\d+\.\d+|\d+")

# A sentence of a word problem: the expression it asks for ({0}, {1} … its numbers in order) and, where the
# sentence itself names the topic, that topic.
SENTENCES: dict[str, tuple[str, str | None]] = {}


def sentence(text: str, expression: str, topic: str | None = None) -> None:
    SENTENCES[text] = (expression, topic)


def grade_labels(text: str) -> set[int]:
    """The grades a name gives: "（３年・５年）", "（３年～６年）", "3・4年のまとめ", "５年の文章題"."""
    t = text.translate(str.maketrans("０１２３４５６７８９", "0123456789"))
    grades: set[int] = set()
    for m in re.finditer(r"([3-6])年?\s*([・～~])\s*([3-6])年|([3-6])年", t):
        if m.group(4):
            grades.add(int(m.group(4)))
        elif m.group(2) in "～~":
            grades |= set(range(int(m.group(1)), int(m.group(3)) + 1))
        else:
            grades |= {int(m.group(1)), int(m.group(3))}
    return grades


def number(t: str) -> Fraction:
    if "&" in t:
        w, f = t.split("&")
        return int(w) + Fraction(f)
    return Fraction(t)


def den_of(t: str) -> int:
    return int(t.split("/")[1]) if "/" in t else 10 ** len(t.split(".")[1]) if "." in t else 1


def is_fraction(t: str) -> bool:
    return "/" in t


def single(expr: str, answer: str) -> str:
    """A number written in another way: the topic is the change of form."""
    t = expr.strip()
    v = number(t)
    if "." in t or "." in answer:
        tenths = (v * 10).denominator == 1 and v < 1
        return "1/10と小数" if tenths else "分数と小数"
    if "&" in t:
        return "仮分数と帯分数"
    if "/" in t:
        n, d = map(int, t.split("/"))
        if math.gcd(n, d) != 1 and "/" in answer and "&" not in answer:
            return "約分"
        return "仮分数と帯分数"
    return "整数と分数"


def products(expr: str) -> list[str]:
    return [p for p in re.split(r"[+-]", expr) if p]


def calculation(expr: str) -> str:
    """The topic of an arithmetic expression in the worksheet notation."""
    e = expr.replace(" ", "")
    nums = NUMBER.findall(e)
    ops = [c for c in e if c in "+-*\\"]
    if len(nums) == 1:
        return single(e, "")
    muldiv = [o for o in ops if o in "*\\"]
    addsub = [o for o in ops if o in "+-"]
    decimals = any("." in n for n in nums)
    if decimals and any("/" in n for n in nums):
        return "小数と分数のかけ算・わり算" if muldiv else "小数と分数のたし算・ひき算"
    if "(" in e:
        return "（　）のある計算" if muldiv else "分母がちがう分数のたし算・ひき算"
    if muldiv and addsub:
        terms = products(e)
        if len(terms) == 2 and all("*" in t for t in terms):
            a, b = (t.split("*") for t in terms)
            if len(a) == len(b) == 2 and (a[0] == b[0] or a[1] == b[1]):
                return "分配のきまり"
        return "四則のまじった計算"
    if muldiv:
        if len(nums) > 2:
            return "かけ算とわり算のまじった計算"
        x, y = nums
        op = "×" if muldiv[0] == "*" else "÷"
        if not is_fraction(x) and not is_fraction(y):
            return "わり算の商と分数" if op == "÷" else "整数"
        if "&" in x and "&" in y:
            return f"帯分数{op}帯分数"
        if is_fraction(x) and not is_fraction(y):
            return f"分数{op}整数"
        return f"分数{op}分数"
    # additions and subtractions
    fractions = [n for n in nums if "/" in n]
    dens = {den_of(n) for n in fractions}
    if len(dens) > 1:
        if len(set(addsub)) > 1 or len(nums) > 2:
            return "分母がちがう分数のたし算・ひき算"
        return "分母がちがう分数のたし算" if addsub[0] == "+" else "分母がちがう分数のひき算"
    if len(nums) > 2:
        return "3つの分数のたし算・ひき算（分母が同じ）"
    x, y = nums
    if addsub[0] == "-" and "/" not in x and "&" in y:
        return "整数−帯分数"
    big = any("&" in n or "/" not in n and number(n) > 1 or number(n) > 1 for n in nums)
    value = number(x) + number(y) if addsub[0] == "+" else number(x) - number(y)
    if big or value > 1:
        return "帯分数・仮分数のたし算" if addsub[0] == "+" else "帯分数・仮分数のひき算"
    return "分母が同じ分数のたし算" if addsub[0] == "+" else "分母が同じ分数のひき算"


def comparison(left: str, right: str) -> str:
    if re.search(r"[*\\]", left + right):
        return "かける数・わる数と積・商の大きさ"
    a, b = left.strip(), right.strip()
    if "." in a + b:
        tenths = all(den_of(t) in (1, 10) for t in (a, b)) and max(number(a), number(b)) < 1
        return "1/10と小数" if tenths else "分数と小数"
    va, vb = number(a), number(b)
    if "&" in a + b:
        return "仮分数と帯分数"
    if "/" not in a or "/" not in b:  # a fraction and a whole number
        return "分母が同じ分数の大小" if max(va, vb) <= 1 else "仮分数と帯分数"
    (na, da), (nb, db) = (map(int, t.split("/")) for t in (a, b))
    if da == db:
        return "分母が同じ分数の大小" if max(va, vb) <= 1 else "仮分数と帯分数"
    if na == nb and max(va, vb) < 1:
        return "分子が同じ分数の大小"
    if min(va, vb) < 1 < max(va, vb):
        return "1をもとにした大小"
    return "通分して大小"


def figure_topic(name: str) -> str:
    if name.startswith("eqline"):
        return "数直線で等しい分数"
    m = re.match(r"(dmul|ddiv)", name)
    if m:
        return "分数×分数" if m.group(1) == "dmul" else "分数÷分数"
    n, d = map(int, re.findall(r"\d+", name)[:2])
    return "分数の表し方" if n < d else "仮分数と帯分数"


def unknown(body: str) -> bool:
    return "□" in body


def words_of(body: str) -> tuple[str, list[str]]:
    pieces = body.split("@/")
    nums = [p for p in pieces if NUMBER.fullmatch(p)]
    text = "".join("{}" if NUMBER.fullmatch(p) else p for p in pieces)
    return text, nums


def word_expression(body: str) -> tuple[str, str | None]:
    """The expression a word problem asks for ("|" in front: the difference, larger minus smaller) and the topic
    its sentence names; KeyError for a sentence not in the table."""
    text, nums = words_of(body)
    expression, topic = SENTENCES[text]
    return expression.format(*nums), topic


def topic_of_problem(body: str, after: str, answers: list[str], figure: str) -> str:
    first = answers[0] if answers else ""
    if figure:
        return figure_topic(figure)
    if first in (">", "<", "=", ">=", "<="):
        return comparison(body, after)
    if "→" in body:
        return "通分"
    m = re.fullmatch(r"(分母|分子)を(\d+)に：@/(.*)=", body)
    if m:
        return "整数と分数" if "/" not in m.group(3) else "等しい分数のきまり"
    if unknown(body):
        return "□を求める式"
    if "@/" in body:
        expression, topic = word_expression(body)
        expression = expression.lstrip("|")
        if topic:
            return topic
        if len(NUMBER.findall(expression)) == 1:
            return single(expression, first)
        return calculation(expression)
    expr = body.rstrip("=").strip()
    if len(NUMBER.findall(expr)) == 1 and not re.search(r"[*\\+-]", expr):
        return single(expr, first)
    return calculation(expr)


KEYWORDS = (("逆数", "逆数"), ("→", "通分"), ("通分", "通分"), ("約分", "約分"), ("時間", "時間と分数"),
            ("等分した", "分数の表し方"), ("□", "□を求める式"))


def topics_of_example(line: str) -> set[str]:
    """What a worked example shows: the topic of the first member of each equation chain, the distributive
    rule where a member is written with it, and the topics its words name."""
    topics = set()
    words = "".join(p for p in re.split(r"@.", line) if not p.isascii())
    for key, topic in KEYWORDS:
        if key in words or key == "→" and key in line:
            topics.add(topic)
    for piece in re.split(r"@.", line):
        if not piece.isascii() or "=" not in piece and "<" not in piece and ">" not in piece:
            continue
        members = re.split(r"\s*[=<>]\s*", piece.strip())
        if re.search(r"[<>]", piece):
            topics.add(comparison(members[0], members[1]))
            continue
        first = members[0]
        if re.search(r"[*\\+-]", first):
            topics.add(calculation(first))
        elif "時間と分数" not in topics and "逆数" not in topics:
            nxt = members[1] if len(members) > 1 else ""
            if "/" in first and "/" in nxt and "." not in first + nxt and "&" not in first + nxt \
                    and len(members) > 1 and den_of(first) < den_of(nxt):
                topics.add("等しい分数のきまり")
            else:
                topics.add(single(first, nxt))
        for member in members[1:]:
            if re.search(r"[*\\+-]", member) and calculation(member) == "分配のきまり":
                topics.add("分配のきまり")
    return topics


# The sentences of the book's word problems. "|" before an expression: the difference, larger minus smaller.
for _text, _expression, _topic in [
    ("ジュース{} Lと{} L、あわせて何Lですか。", "{0}+{1}", None),
    ("{} mと{} mのテープをつなぐと何mですか。", "{0}+{1}", None),
    ("{} mから{} m切ると、のこりは何mですか。", "{0}-{1}", None),
    ("{} Lから{} L飲むと、のこりは何Lですか。", "{0}-{1}", None),
    ("{} mと{} mの長さのちがいは何mですか。", "|{0}-{1}", None),
    ("1本{} Lのジュース{}本分は何Lですか。", "{0}*{1}", None),
    ("1 mが{} kgのぼう、{} mの重さは何kgですか。", "{0}*{1}", None),
    ("{} mを{}人で等分すると1人分は何mですか。", "{0}\\{1}", None),
    ("{} Lを{}つに等分すると1つ分は何Lですか。", "{0}\\{1}", None),
    ("1 mが{} kgのぼう{} mの重さは何kgですか。", "{0}*{1}", None),
    ("1 dLで{} ㎡ぬれます。{} dLでは何㎡ですか。", "{0}*{1}", None),
    ("{} mが{} kgのぼう1 mの重さは何kgですか。", "{1}\\{0}", None),
    ("{} dLで{} ㎡ぬれます。1 dLでは何㎡ですか。", "{1}\\{0}", None),
    ("赤{} m、白{} mのテープ。赤は白の何倍ですか。", "{0}\\{1}", "分数倍"),
    ("{} mの{}倍の長さは何mですか。", "{0}*{1}", "分数倍"),
    ("1 mを{}等分した{}こ分の長さは何mですか。", "{1}\\{0}", "分数の表し方"),
    ("1 Lを{}等分した{}こ分のかさは何Lですか。", "{1}\\{0}", "分数の表し方"),
    ("{} Lを{}人で等分すると1人分は何Lですか。", "{0}\\{1}", None),
    ("ひも{} mを{}等分した1本は何mですか。", "{0}\\{1}", None),
    ("{} mは、{} mの何倍ですか。", "{0}\\{1}", None),
    ("{} kgは、分数で表すと何kgですか。", "{0}", None),
    ("{} Lは、分数で表すと何Lですか。", "{0}", None),
    ("{}分は何時間ですか。", "{0}\\60", "時間と分数"),
    ("{}秒は何分ですか。", "{0}\\60", "時間と分数"),
    ("{}時間は何分ですか。", "{0}*60", "時間と分数"),
    ("時速{} kmで{}時間歩くと何kmですか。", "{0}*{1}", None),
    ("{}の逆数は", "1\\{0}", "逆数"),
    ("{}は、{}の何倍ですか。", "{0}\\{1}", "分数倍"),
]:
    sentence(_text, _expression, _topic)

for _expression, _topic, _texts in [
    ("{0}+{1}", None, ["牛にゅうが{} Lあります。{} L買ってきました。牛にゅうは何Lになりましたか。",
                       "赤いリボンが{} m、青いリボンが{} mあります。あわせて何mですか。",
                       "ジュースを、朝{} L、夕方{} L飲みました。あわせて何L飲みましたか。",
                       "さとうを、おかしに{} kg、ジャムに{} kg使いました。あわせて何kg使いましたか。"]),
    ("{0}-{1}", None, ["ジュースが{} Lありました。そのうち{} L飲みました。のこりは何Lですか。",
                       "リボンが{} mあります。かざりに{} m使いました。のこりは何mですか。",
                       "小麦粉が{} kgあります。ケーキに{} kg使いました。のこりは何kgですか。"]),
    ("|{0}-{1}", None, ["赤いテープは{} m、白いテープは{} mです。長さのちがいは何mですか。",
                        "水とうに、兄は{} L、弟は{} Lのお茶を入れました。ちがいは何Lですか。"]),
    ("{0}*{1}", None, ["1本{} Lのジュースが{}本あります。ジュースは全部で何Lですか。",
                       "1 mの重さが{} kgのはり金を、{} m買いました。はり金の重さは何kgですか。",
                       "1まいの重さが{} kgの板を、{}まい重ねました。全部で何kgですか。",
                       "1 dLで{} ㎡ぬれるペンキを、{} dL使いました。何㎡ぬれましたか。",
                       "1 Lの重さが{} kgのすなを、{} Lはかりました。すなの重さは何kgですか。",
                       "時速{} kmで、{}時間歩きました。何km進みましたか。"]),
    ("{0}\\{1}", None, ["{} Lのジュースを、{}人で同じように分けます。1人分は何Lですか。",
                        "{} mのリボンを、同じ長さに{}本に切ります。1本は何mですか。",
                        "{} kgのさとうを、{}つのふくろに同じように分けます。1ふくろは何kgですか。",
                        "{} mのリボンを、{}人で同じ長さに分けます。1人分は何mですか。",
                        "{} kgのお米を、{}つのふくろに同じように分けます。1ふくろは何kgですか。",
                        "赤いテープは{} m、白いテープは{} mです。赤は白の何倍ですか。",
                        "ジュースが{} L、お茶が{} Lあります。ジュースはお茶の何倍ですか。",
                        "赤いリボンは{} m、青いリボンは{} mです。赤は青の何倍ですか。",
                        "バケツに{} L、なべに{} Lの水が入ります。バケツはなべの何倍ですか。"]),
    ("{1}\\{0}", None, ["{} mの重さが{} kgのはり金があります。このはり金1 mの重さは何kgですか。",
                        "{} dLのペンキで、{} ㎡のかべをぬりました。1 dLでは何㎡ぬれますか。",
                        "{} Lのすなの重さをはかると、{} kgでした。このすな1 Lの重さは何kgですか。"]),
    ("{0}*{1}", "分数倍", ["白いテープは{} m、赤いテープは白の{}倍の長さです。赤いテープは何mですか。",
                          "お茶が{} L、牛にゅうはお茶の{}倍あります。牛にゅうは何Lですか。"]),
    ("{1}\\{0}", "分数の表し方", ["1 mのテープを{}等分しました。その{}こ分の長さは何mですか。",
                               "1 Lの牛にゅうを{}等分しました。その{}こ分のかさは何Lですか。",
                               "1 kgのねん土を{}等分しました。その{}こ分の重さは何kgですか。"]),
    ("{0}", None, ["お米が{} kgあります。分数で表すと何kgですか。",
                   "水とうにお茶が{} L入っています。分数で表すと何Lですか。"]),
    ("{0}\\60", "時間と分数", ["えいがを{}分見ました。何時間見ましたか。", "駅まで{}分歩きました。何時間歩きましたか。",
                              "なわとびを{}秒とびました。何分とびましたか。"]),
    ("{0}*60", "時間と分数", ["{}時間、本を読みました。何分読みましたか。", "公園で{}時間遊びました。何分遊びましたか。"]),
    ("{0}*{1}", "面積・体積", ["たて{} m、横{} mの長方形の花だんがあります。面積は何㎡ですか。",
                              "たて{} m、横{} mの長方形のシートがあります。面積は何㎡ですか。"]),
    ("{0}*{1}*{2}", "面積・体積", ["たて{} m、横{} m、高さ{} mの直方体の箱があります。体積は何立方メートルですか。"]),
]:
    for _text in _texts:
        sentence(_text, _expression, _topic)
