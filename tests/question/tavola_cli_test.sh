#!/usr/bin/env bash
# tavola-cli on a courseware with every kind of fault check must find, and on garbage files, which it must
# survive: every run ends with exit code 0, 1 or 2, never by a signal.
set -uo pipefail
cli="$1"
# Under the sanitizers a fault must not pass for an ordinary exit code 1.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}exitcode=99"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:+$UBSAN_OPTIONS:}exitcode=99:print_stacktrace=1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Writes stdin (UTF-8, LF) as a Shift-JIS, CR LF file of the courseware.
sj() { mkdir -p "$(dirname "$cw/$1")"; iconv -f UTF-8 -t CP932 | sed 's/$/\r/' > "$cw/$1"; }

cw="$work/broken"
sj Main.ind <<'EOF'
壊れた教材
free
良い課,good\\good
カンマのない行
ない課,missing\\missing
>>
EOF
sj good/good.ind <<'EOF'
良い課
[[sect1
区分1
<<
単元1
単元2
単元3
単元4
単元5
単元6
単元7
単元8
>>
]]
[[sect2
ファイルのない区分
<<
単元
>>
]]
[[sect3
閉じない区分
<<
単元
EOF
sj good/good1.que <<'EOF'
[[unit1
<<ques
1/2+1/3=#5/6#
>>
<<graph
fig.bmp
-1
-1
none.bmp
10
10
>>
]]
[[unit1R1
<<ques
x#1#
>>
<<font
大
MS 明朝
False
False
False
False
0
>>
]]
[[unit2
<<ques
1/2+1/3=#5/6
>>
]]
[[unit3
<<ques
a##b
c#1;#d
e# #f
>>
]]
[[unit4
<<value
630
False
40
5
5
1
>>
]]
[[unit5
<<kran
5
15
x
>>
]]
[[unit6
<<ques
{
memo
}
1/4+1/4=#1/2;2/4#
>>
]]
[[unit8
<<ques
1/2
EOF
mkdir -p "$cw/good/Graph" && printf 'BM' > "$cw/good/Graph/Fig.BMP"

expected="$work/expected"
cat > "$expected" <<'EOF'
Main.ind:4: 「,」のないレッスンの行です（「?」と表示され、読み込めません）
good/good1.que:5: BROKEN/good\Graph\fig.bmp は正しいビットマップではありません
good/good1.que:5: ファイル BROKEN/good\Graph\none.bmp が見つかりません
good/good1.que:19: BROKEN/good\good1.que 19行目：数値ではありません：大
good/good1.que:30: ＃の数は偶数にしてください
good/good1.que:35: 解答がありません
good/good1.que:36: 解答「1;」は何も入力しなくても正解になります
good/good1.que:37: 解答「 」は何も入力しなくても正解になります
good/good1.que:41: <<value block error
good/good1.que:54: BROKEN/good\good1.que 54行目：数値ではありません：x
good/good.ind:11: good/good1.que に「[[unit7」がありません
good/good1.que:66: BROKEN/good\good1.que：<<ques ブロックが >> で閉じられていません
good/good.ind:15: ファイル BROKEN/good\good2.que が見つかりません
good/good.ind:21: 節のブロックが「>>」で閉じられていません（ファイルの終わりまでが単元になります）
good/good.ind:21: ファイル BROKEN/good\good3.que が見つかりません
Main.ind:5: ディレクトリ BROKEN/missing\ が見つかりません
EOF
sed -i "s|BROKEN|$cw|g" "$expected"
"$cli" check "$cw" > "$work/out" 2> "$work/err"
rc=$?
[ $rc -eq 1 ] || fail "check on the broken courseware exited $rc"
diff -u "$expected" "$work/out" || fail "check output differs"

# An index that names no lesson, and files that are named pipes: reported with the program's messages, never
# waited on.
empty="$work/empty"
mkdir -p "$empty" && printf 'title\r\n\r\n>>\r\n' > "$empty/Main.ind"
out="$(timeout 30 "$cli" check "$empty")"; rc=$?
[ $rc -eq 1 ] && [ "$out" = "Main.ind: レッスンがひとつもありません: メニューを選択してください" ] || fail "empty index: $rc $out"
for pipe in Main.ind good/good.ind good/good1.que good/Graph/Fig.BMP; do
    rm -rf "$work/piped" && cp -r "$cw" "$work/piped" && rm "$work/piped/$pipe" && mkfifo "$work/piped/$pipe"
    out="$(timeout 30 "$cli" check "$work/piped")"; rc=$?
    [ $rc -eq 1 ] && grep -qi "$(basename "$pipe") が見つかりません" <<< "$out" || fail "check with $pipe a pipe: $rc $out"
done
mkfifo "$work/pipe.prp"
timeout 30 "$cli" show --copy "$work/pipe.prp" > /dev/null 2>&1; rc=$?
[ $rc -eq 1 ] || fail "show --copy of a pipe: $rc"

# show: a refused unit exits 1 with the system's message; a missing record says "not found".
out="$("$cli" show "$cw" 1 1 4 2>&1)"; rc=$?
[ $rc -eq 1 ] && [ "$out" = "<<value block error" ] || fail "show of a broken unit: $rc $out"
out="$("$cli" show "$cw" 1 1 7 2>&1)"; rc=$?
[ $rc -eq 1 ] && [ "$out" = "not found" ] || fail "show of a missing unit: $rc $out"
out="$("$cli" show "$cw" 1 1 6)" || fail "show of a good unit"
grep -q '"1/4+1/4=#1/2;2/4#"' <<< "$out" || fail "show lines: $out"
grep -q '"title": "良い課//区分1§1-6 単元6"' <<< "$out" || fail "show title: $out"
out="$("$cli" index "$cw")" || fail "index of the broken courseware"
grep -q '"error": "ディレクトリ ' <<< "$out" || fail "index error of a missing lesson folder: $out"

# A copy file written by hand reads back; a short header is refused.
sj copy.prp <<'EOF'
[[unitX
<<header
題名
学校
氏名
>>
<<ques
1/2=#1/2#
>>
]]
EOF
out="$("$cli" show --copy "$cw/copy.prp")" || fail "show --copy"
grep -q '"title": "題名"' <<< "$out" || fail "copy title: $out"
printf '[[unitX\r\n<<header\r\nx\r\n>>\r\n]]\r\n' > "$cw/short.prp"
"$cli" show --copy "$cw/short.prp" > /dev/null 2>&1; [ $? -eq 1 ] || fail "short header accepted"

# Garbage: random bytes and keyword soup in every file the tool reads.
garbage="$work/garbage"
mkdir -p "$garbage/g"
noise() { LC_ALL=C awk -v seed="$1" 'BEGIN { srand(seed); for (i = 0; i < 20000; i++) printf "%c", int(rand() * 256) }'; }
soup() {
    LC_ALL=C awk -v seed="$1" 'BEGIN { srand(seed); split("[[unit1 [[unit1R1 [[unitX <<ques <<value <<font <<kran <<graph <<AGraph <<header <<ans >> ]] { } [[sect1 , \\ # ; 1/2#3 -1 True", w, " ");
        for (i = 0; i < 3000; i++) { printf "%s", w[int(rand() * 22) + 1]; if (rand() < 0.7) printf "\r\n"; else printf "%c", int(rand() * 256) } }'
}
for seed in 1 2 3 4 5 6; do
    rm -rf "$garbage" && mkdir -p "$garbage/g"
    if [ $((seed % 2)) -eq 0 ]; then gen=noise; else gen=soup; fi
    { printf 'title\r\nfree\r\ng,g\\\\g\r\n'; $gen "$seed"; } > "$garbage/Main.ind"
    { printf 'lesson\r\n[[sect1\r\nname\r\n<<\r\nu1\r\nu2\r\n>>\r\n'; $gen $((seed + 10)); } > "$garbage/g/g.ind"
    for s in 1 2 3; do $gen $((seed * 100 + s)) > "$garbage/g/g$s.que"; done
    $gen $((seed + 50)) > "$garbage/x.prp"
    for args in "index $garbage" "check $garbage" "show $garbage 1 1 1" "show $garbage 1 1 2 1" "show $garbage 1 2 1" \
                "show --copy $garbage/x.prp" "show --copy $garbage/g/g1.que"; do
        # shellcheck disable=SC2086
        "$cli" $args > /dev/null 2>&1
        rc=$?
        [ $rc -le 2 ] || fail "tavola-cli $args on garbage (seed $seed) ended with $rc"
    done
done

[ $failures -eq 0 ] && echo "tavola-cli: all checks passed"
exit $((failures > 0))
