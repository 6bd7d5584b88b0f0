#!/usr/bin/env bash
# tavola-cli vary prints a unit with new numbers that check finds right, the same for the same seed, the unit as
# authored for copy 1; check reports a first answer that disagrees with its arithmetic; garbage never crashes it.
set -uo pipefail
cli="$1"
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}exitcode=99"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:+$UBSAN_OPTIONS:}exitcode=99:print_stacktrace=1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Writes stdin (UTF-8, LF) as a Shift-JIS, CR LF file of the courseware in $1.
sj() { mkdir -p "$(dirname "$1")"; iconv -f UTF-8 -t CP932 | sed 's/$/\r/' > "$1"; }

cw="$work/cw"
sj "$cw/Main.ind" <<'EOF'
教材
free
たし算,les\\les
>>
EOF
sj "$cw/les/les.ind" <<'EOF'
たし算
[[sect1
区分1
<<
単元1
単元2
>>
]]
EOF
sj "$cw/les/les1.que" <<'EOF'
[[unit1
<<ques
１．次の計算をしましょう。
(1)  3/6+1/6=# 4/6;2/3 #
(2)  1/2+1/9=# 11/18 #
(3)  5&2/4-2&3/4=# 2&3/4;11/4 #
(4)  (3/4+2/5)*20=# 23 #
(5)  4/5=# 0.8 #
(6)  1/2# > # 1/3
>>
]]
[[unit2
<<ques
(1)  3/6+1/6=# 4/7 #
(2)  1/2+1/3=# 5/6 #
>>
]]
EOF

# Copy 1 is the unit as authored; another seed varies every problem but the comparison.
out="$("$cli" vary "$cw" 1 1 1 --seed 1)" || fail "vary --seed 1"
python3 - "$out" <<'EOF' || fail "vary --seed 1 output"
import json, sys
d = json.loads(sys.argv[1])
assert d["seed"] == 1 and d["varied"] == [] and d["lines"][1] == "(1)  3/6+1/6=# 4/6;2/3 #", d
EOF
"$cli" vary "$cw" 1 1 1 --seed 7 > "$work/seven" || fail "vary --seed 7"
"$cli" vary "$cw" 1 1 1 --seed 7 | cmp -s - "$work/seven" || fail "the same seed gave another page"
"$cli" vary "$cw" 1 1 1 > "$work/default" || fail "vary without a seed"
python3 - "$work/seven" "$work/default" "$cw/les/les1.que" <<'EOF' || fail "vary --seed 7 output"
import json, sys
seven = json.load(open(sys.argv[1]))
default = json.load(open(sys.argv[2]))
assert default["seed"] == 2 and default["lines"] != seven["lines"], default
assert seven["varied"] == [2, 3, 4, 5, 6], seven["varied"]
assert seven["lines"][0] == "１．次の計算をしましょう。" and seven["lines"][6] == "(6)  1/2# > # 1/3"
assert len(seven["answers"]) == 6 and seven["answers"][0].count(";") == 1, seven["answers"]
# The varied unit written as unit 2 of the master file, for check to recompute.
lines = open(sys.argv[3], encoding="cp932", newline="").read().split("\r\n")
at = lines.index("[[unit2")
unit2 = ["[[unit2", "<<ques"] + seven["lines"] + [">>", "]]"]
open(sys.argv[3], "w", encoding="cp932", newline="").write("\r\n".join(lines[:at] + unit2) + "\r\n")
EOF
out="$("$cli" check "$cw")"; rc=$?
[ $rc -eq 0 ] && [ -z "$out" ] || fail "check of the varied unit: $rc $out"

# check reports the wrong first answer with the value of the arithmetic.
sj "$cw/les/les1.que" <<'EOF'
[[unit1
<<ques
(1)  3/6+1/6=# 4/7 #
(2)  1/2+1/3=# 5/6 #
(3)  2\0=# 1 #
>>
]]
[[unit2
<<ques
(1) # ア #
>>
]]
EOF
out="$("$cli" check "$cw")"; rc=$?
expected='les/les1.que:3: 最初の解答「4/7」は 3/6+1/6 の値（2/3）ではありません
les/les1.que:5: 2\0 は計算できません（分母か割る数が0、または数が大きすぎます）'
[ $rc -eq 1 ] && [ "$out" = "$expected" ] || fail "check of wrong answers: $rc $out"
# A unit with nothing to vary comes back as it is.
out="$("$cli" vary "$cw" 1 1 2 --seed 3)" || fail "vary of a unit without calculations"
grep -q '"varied": \[\]' <<< "$out" || fail "a unit without calculations was varied: $out"

# Wrong arguments and missing units.
for args in "vary" "vary $cw 1 1" "vary $cw 1 1 1 --seed" "vary $cw 1 1 1 --seed 0" "vary $cw 1 1 1 --seed x" \
            "vary $cw 1 1 1 1 1"; do
    # shellcheck disable=SC2086
    "$cli" $args > /dev/null 2>&1; rc=$?
    [ $rc -eq 2 ] || fail "tavola-cli $args exited $rc"
done
out="$("$cli" vary "$cw" 1 1 9 2>&1)"; rc=$?
[ $rc -eq 1 ] && [ "$out" = "not found" ] || fail "vary of a missing unit: $rc $out"

# Garbage problem lines: any exit but a crash.
garbage="$work/garbage"
for seed in 1 2 3 4; do
    rm -rf "$garbage" && mkdir -p "$garbage/g"
    printf 'title\r\nfree\r\ng,g\\\\g\r\n>>\r\n' > "$garbage/Main.ind"
    printf 'lesson\r\n[[sect1\r\nname\r\n<<\r\nu1\r\n>>\r\n' > "$garbage/g/g.ind"
    { printf '[[unit1\r\n<<ques\r\n'
      LC_ALL=C awk -v seed="$seed" 'BEGIN { srand(seed); split("( ) (1) 1 9 0 / & . + - * \\ = # ; 99999999999 \x82", w, " ");
          for (i = 0; i < 400; i++) { printf "%s", w[int(rand() * 18) + 1]; if (rand() < 0.1) printf "\r\n" } }'
      printf '\r\n>>\r\n]]\r\n'; } > "$garbage/g/g1.que"
    for args in "vary $garbage 1 1 1 --seed $seed" "check $garbage"; do
        # shellcheck disable=SC2086
        "$cli" $args > /dev/null 2>&1; rc=$?
        [ $rc -le 2 ] || fail "tavola-cli $args on garbage (seed $seed) ended with $rc"
    done
done

[ $failures -eq 0 ] && echo "tavola-cli vary: all checks passed"
[ $failures -eq 0 ]
