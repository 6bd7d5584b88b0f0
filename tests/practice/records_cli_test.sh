#!/usr/bin/env bash
# tavola-cli records: a learner's records as CSV, matched to their units through the index (section 1 unit 12 and
# section 11 unit 2 have the same digits), copy files without section and unit, an unreadable line reported on
# standard error while the others are listed, and the password never printed.
set -uo pipefail
cli="$1"
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}exitcode=99"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export XDG_DATA_HOME="$work/data"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
sj() { mkdir -p "$(dirname "$cw/$1")"; iconv -f UTF-8 -t CP932 | sed 's/$/\r/' > "$cw/$1"; }

cw="$work/cw"
sj Main.ind <<'EOF2'
教材
free
課1,l1\\l1
課2,l2\\l2
>>
EOF2
{
    echo "課1"; echo "[[s1"; echo "区分1"; echo "<<"
    for u in $(seq 1 12); do echo "単元1-$u"; done
    echo ">>"; echo "]]"
    for s in $(seq 2 11); do echo "[[s$s"; echo "区分$s"; echo "<<"; echo "単元$s-1"; echo "単元$s-2"; echo ">>"; echo "]]"; done
} | sj l1/l1.ind
sj l2/l2.ind <<'EOF2'
課2
[[s1
区分
<<
たし算
>>
]]
EOF2
sj l1/花子.ini <<'EOF2'
[password]
pw=secret
[S112単元11-2]
1=2026年03月05日 09:07 [0100]  3/ 4  75点 02:15
2=壊れた行
3=類題2)2026年03月06日 10:00 [] 12/12 100点 100:00
[S112単元1-12]
1=2026年03月04日 08:05 []  1/ 2  50点 00:07
[copy, "one".prp]
1=2026年03月07日 11:11 [1]  2/ 2 100点 00:30
EOF2
sj l2/花子.ini <<'EOF2'
[S11たし算]
1=2026年04月01日 12:00 []  4/ 4 100点 01:00
EOF2

expected="$work/expected.csv"
cat > "$expected" <<'EOF2'
lesson,section,unit,title,similar,date,time,trail,correct,total,score,seconds
1,1,12,単元1-12,0,2026-03-04,08:05,,1,2,50,7
1,11,2,単元11-2,0,2026-03-05,09:07,0100,3,4,75,135
1,11,2,単元11-2,2,2026-03-06,10:00,,12,12,100,6000
1,,,"copy, ""one"".prp",0,2026-03-07,11:11,1,2,2,100,30
2,1,1,たし算,0,2026-04-01,12:00,,4,4,100,60
EOF2
"$cli" records "$cw" 花子 --csv > "$work/out.csv" 2> "$work/err.txt"
rc=$?
[ $rc -eq 0 ] || fail "records --csv exit code $rc"
diff -u "$expected" "$work/out.csv" || fail "CSV differs"
grep -q '\[S112単元11-2\] 5行目：キー 2 の記録が壊れています: 2=壊れた行' "$work/err.txt" ||
    fail "the broken line is not reported: $(cat "$work/err.txt")"
grep -q 'secret' "$work/out.csv" "$work/err.txt" && fail "the password was printed"

"$cli" records "$cw" 花子 --lesson 2 > "$work/table.txt" 2>&1 || fail "records --lesson 2 failed"
grep -q 'たし算' "$work/table.txt" || fail "the table lacks the unit"
grep -q '単元1-12' "$work/table.txt" && fail "the table of lesson 2 lists lesson 1"

"$cli" records "$cw" "../x" > /dev/null 2>&1
[ $? -eq 1 ] || fail "a name that leaves the folder is not refused"
"$cli" records > /dev/null 2>&1
[ $? -eq 2 ] || fail "a missing learner is no usage error"

# Records by their real keys: a gap is named and record 3 is listed. A title holding an escape sequence reaches
# the terminal escaped, and a copy file named like a formula is text in the CSV.
printf '[S11\xe3\x81\x9f\xe3\x81\x97\xe7\xae\x97]\n1=2026年04月01日 12:00 []  4/ 4 100点 01:00\n3=2026年04月02日 12:00 []  3/ 4  75点 01:00\n[=HYPERLINK("x")\x1b[2J.prp]\n1=2026年04月03日 12:00 []  1/ 4  25点 01:00\n' |
    iconv -f UTF-8 -t CP932 | sed 's/$/\r/' > "$cw/l2/次郎.ini"
"$cli" records "$cw" 次郎 --csv > "$work/jiro.csv" 2> "$work/jiro.err" || fail "records of 次郎"
grep -q '^2,1,1,たし算,0,2026-04-02,12:00,,3,4,75,60$' "$work/jiro.csv" || fail "record 3 after a gap: $(cat "$work/jiro.csv")"
grep -q 'キー 2 がありません' "$work/jiro.err" || fail "the gap is not named: $(cat "$work/jiro.err")"
grep -q "^2,,,\"'=HYPERLINK(\"\"x\"\")\\\\x1B\[2J.prp\"," "$work/jiro.csv" || fail "formula cell: $(grep HYPER "$work/jiro.csv")"
"$cli" records "$cw" 次郎 > "$work/jiro.txt" 2>&1
grep -q $'\x1b' "$work/jiro.txt" && fail "an escape sequence reached the terminal"

# A learner file too large for any class is refused by name; the other lesson is still listed.
truncate -s 17M "$cw/l1/次郎.ini"
"$cli" records "$cw" 次郎 --csv > "$work/big.csv" 2> "$work/big.err"
grep -q "l1.次郎.ini は大きすぎて読み込めません" "$work/big.err" || fail "too large: $(cat "$work/big.err")"
grep -q '^2,1,1,たし算' "$work/big.csv" || fail "the other lesson is not listed"

# A lesson whose folder climbs out of the courseware is refused where the index is read, and check reports it.
sj Main.ind <<'EOF2'
教材
free
課1,l1\\l1
外,..\\outside\\x
>>
EOF2
"$cli" check "$cw" > "$work/check.txt" 2>&1
grep -q '^Main.ind:4: \.\.\\\\outside\\\\x は教材フォルダの外を指しているので読み込めません$' "$work/check.txt" ||
    fail "check does not report the lesson outside: $(cat "$work/check.txt")"
"$cli" records "$cw" 花子 --lesson 2 > /dev/null 2>&1 || fail "records of a refused lesson"

[ $failures -eq 0 ] && echo "records: all passed"
exit $((failures > 0))
