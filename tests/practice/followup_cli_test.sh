#!/usr/bin/env bash
# tavola-cli followup on the test courseware: the JSON of two learners (one with problems to go over, one without),
# the same units chosen with --units, and one PDF of the sheets with their keys.
set -uo pipefail
cli="$1"
sample="$2"
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}exitcode=99"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export XDG_DATA_HOME="$work/data"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
cw="$work/cw"
cp -r "$sample" "$cw"
chmod -R u+w "$cw"
sj() { iconv -f UTF-8 -t CP932 | sed 's/$/\r/' > "$cw/$1"; }
sj tasu/taro.ini <<'EOF2'
[S11分母が同じ分数のたし算]
1=2026年03月01日 09:07 [010000]  5/ 6  83点 01:00
2=2026年03月02日 09:07 []  6/ 6 100点 01:00
[S12分母が同じ分数のひき算]
1=2026年03月03日 09:07 [abc]  5/ 6  83点 01:00
EOF2
sj tasu/hanako.ini <<'EOF2'
[S11分母が同じ分数のたし算]
1=2026年03月01日 09:07 [000000]  6/ 6 100点 01:00
EOF2

"$cli" followup "$cw" --lesson 1 taro hanako > "$work/out.json" 2> "$work/err.txt" || fail "followup exit $?"
python3 - "$work/out.json" <<'PY' || fail "JSON"
import json, sys
out = json.load(open(sys.argv[1]))
taro, hanako = out["sheets"]
assert taro["learner"] == "taro" and taro["title"] == "taroさんのふくしゅう", taro
[p] = taro["problems"]
assert (p["section"], p["unit"], p["line"], p["boxes"]) == (1, 1, 3, [2]), p
assert p["text"].startswith("(1)") and p["answers"], p
assert any("S12" in n or "§1-2" in n for n in taro["notes"]), taro["notes"]
assert hanako["problems"] == [] and hanako["message"] == "hanakoさんには、ふくしゅうする問題がありません", hanako
PY
grep -q "§1-2" "$work/err.txt" || fail "the unit left out is not named on stderr"

"$cli" followup "$cw" --lesson 1 taro --units 1-2 > "$work/units.json" 2>/dev/null || fail "--units exit $?"
python3 -c 'import json,sys; assert json.load(open(sys.argv[1]))["sheets"][0]["problems"] == []' "$work/units.json" \
    || fail "--units 1-2 chose problems of another unit"
"$cli" followup "$cw" --lesson 1 taro --units 9-9 > /dev/null 2>&1 && fail "a unit outside the lesson was taken"

"$cli" followup "$cw" --lesson 1 taro hanako --out "$work/f.pdf" --key > /dev/null 2>&1 || fail "PDF exit $?"
pages="$(pdfinfo "$work/f.pdf" 2>/dev/null | awk '/^Pages:/ {print $2}')"
[ "$pages" = 2 ] || fail "the PDF has ${pages:-no} pages, not the sheet and its key"
pdftotext "$work/f.pdf" - | grep -q "taroさんのふくしゅう（解答）" || fail "no key page"

[ "$failures" -eq 0 ] && echo "all passed"
exit "$failures"
