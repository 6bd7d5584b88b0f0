#!/usr/bin/env bash
# tavola-cli print on the sample courseware: a numbered class set as the pages of one PDF, a copy file printed the
# same way, the answer key, and the failures (bad arguments, a PDF that cannot be written).
set -uo pipefail
cli="$1"
sample="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pages() { pdfinfo "$1" 2>/dev/null | awk '/^Pages:/ {print $2}'; }

"$cli" print "$sample" 1 1 1 --out "$work/set.pdf" --copies 3 --numbered --start 5 > "$work/set.json" || fail "numbered set"
[ "$(pages "$work/set.pdf")" = 3 ] || fail "numbered set: pages $(pages "$work/set.pdf")"
numbers="$(pdftotext "$work/set.pdf" - | grep -o '№ [0-9]*' | tr '\n' ' ')"
[ "$numbers" = "№ 5 № 6 № 7 " ] || fail "numbered set: numbers '$numbers'"
grep -q '"dpi": 600' "$work/set.json" || fail "numbered set: not 600 dpi"

# Without --numbered the copies carry no number.
"$cli" print "$sample" 1 1 1 --out "$work/plain.pdf" --copies 2 > /dev/null || fail "plain set"
[ "$(pages "$work/plain.pdf")" = 2 ] || fail "plain set: pages"
pdftotext "$work/plain.pdf" - | grep -q '№' && fail "plain set: numbered"

# A copy file keeps its paper (here B5) and prints the same way.
printf '[[unitX\r\n<<header\r\nコピー\r\n小学校\r\n氏名\r\n>>\r\n<<ques\r\n(1)  1/2+1/3=# 5/6 #\r\n>>\r\n<<value\r\n546\r\nFalse\r\n30\r\n5\r\n5\r\n1\r\n4\r\n>>\r\n]]\r\n' |
    iconv -f UTF-8 -t CP932 > "$work/copy.prp"
"$cli" print "$sample" --copy "$work/copy.prp" --out "$work/copy.pdf" --numbered > "$work/copy.json" || fail "copy file"
grep -q '"paper": "B5"' "$work/copy.json" || fail "copy file: paper"
pdfinfo "$work/copy.pdf" | grep -q 'Page size: *516' || fail "copy file: page size $(pdfinfo "$work/copy.pdf" | grep 'Page size')"

# A page never shown on a screen prints its answer boxes (one bracket pair a box) in both modes; the answer key
# carries the answers, and a page with hidden answers carries none of them, not even as invisible text.
printf '[[unitX\r\n<<header\r\nかぎ\r\n\r\n\r\n>>\r\n<<ques\r\n(1)  1/2+1/3=# 5/6 #\r\n(2)  みかんは#ななつ#です\r\n>>\r\n<<value\r\n630\r\nFalse\r\n30\r\n5\r\n5\r\n1\r\n0\r\n>>\r\n]]\r\n' |
    iconv -f UTF-8 -t CP932 > "$work/key.prp"
for answers in on off; do
    "$cli" print "$sample" --copy "$work/key.prp" --out "$work/key-$answers.pdf" --answers "$answers" --copies 2 \
        --numbered > /dev/null || fail "answers $answers: print"
    text="$(pdftotext "$work/key-$answers.pdf" -)"
    boxes="$(printf '%s' "$text" | grep -o '［' | wc -l)"
    [ "$boxes" = 4 ] || fail "answers $answers: $boxes boxes on 2 pages of 2"
    if [ "$answers" = on ]; then
        printf '%s' "$text" | grep -q 'ななつ' || fail "answer key without its answers"
    else
        printf '%s' "$text" | grep -q 'ななつ' && fail "hidden answers are in the PDF"
    fi
    printf '%s' "$text" | grep -q 'です' || fail "answers $answers: the text after the answer is missing"
done

# Different numbers on every copy from the second on, and after the class set one answer key page per copy with the
# copy's number, whose problems are those of its copy.
"$cli" print "$sample" 1 1 1 --out "$work/var.pdf" --copies 3 --numbered --variants --key > /dev/null || fail "variants"
[ "$(pages "$work/var.pdf")" = 6 ] || fail "variants: pages $(pages "$work/var.pdf")"
numbers="$(pdftotext "$work/var.pdf" - | grep -o '№ [0-9]*' | tr '\n' ' ')"
[ "$numbers" = "№ 1 № 2 № 3 № 1 № 2 № 3 " ] || fail "variants: numbers '$numbers'"
for k in 1 2 3; do pdftotext -f "$k" -l "$k" "$work/var.pdf" "$work/copy$k.txt"; done
for k in 1 2 3; do pdftotext -f $((k + 3)) -l $((k + 3)) "$work/var.pdf" "$work/key$k.txt"; done
cmp -s "$work/copy1.txt" "$work/copy2.txt" && fail "variants: copy 2 has the numbers of copy 1"
python3 - "$work" <<'PY' || fail "variants: a key page does not hold the problems of its copy"
import re, sys
def problems(path):
    # The problem lines' digits in reading order, from the first "(" on (the header carries the time).
    text = open(path, encoding="utf-8").read()
    return re.sub(r"[^0-9]", "", text[text.index("("):])
for k in (1, 2, 3):
    # The copy's digits come in the same order on its key page, between the answers.
    key, copy = iter(problems(f"{sys.argv[1]}/key{k}.txt")), problems(f"{sys.argv[1]}/copy{k}.txt")
    if not all(d in key for d in copy):
        sys.exit(1)
PY

"$cli" print "$sample" 1 1 1 --out "$work/bad.pdf" --copies 0 2> /dev/null
[ $? = 2 ] || fail "copies 0 is not a usage error"
"$cli" print "$sample" 1 1 1 --out "$work/no/such/folder/x.pdf" 2> "$work/err.txt"
[ $? = 1 ] || fail "unwritable PDF does not fail"
grep -q "ファイル $work/no/such/folder/x.pdf に書き込めませんでした" "$work/err.txt" || fail "unwritable PDF: $(cat "$work/err.txt")"

[ "$failures" = 0 ] && echo "all passed"
exit "$failures"
