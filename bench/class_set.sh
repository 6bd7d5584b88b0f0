#!/usr/bin/env bash
# The whole process of a class set: tavola-cli print of 30 numbered copies of a 20-problem fraction page, 600 dpi,
# with the class flag, from a copy file, on A4 and on B4 (PAPERS: the paper widths, default "630 771"). Runs each
# RUNS times (default 11) under /usr/bin/time and prints per paper the median wall time, the median processor time
# (user + system: what the run costs on a busy machine), the largest peak memory and the size of the PDF.
#   bench/class_set.sh [path/to/tavola-cli]
# PRINT_ARGS adds options to the print, e.g. PRINT_ARGS="--variants --key" for a class set with different numbers
# on every copy and its 30 key pages.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
cli="${1:-$here/build/release/src/tavola-cli}"
runs="${RUNS:-11}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cp "$here/sample/Main.ind" "$here/sample/classFlag.bmp" "$work/"

for paper in ${PAPERS:-630 771}; do
    case "$paper" in 546) name=B5 ;; 630) name=A4 ;; 771) name=B4 ;; 891) name=A3 ;; *) name="$paper" ;; esac
    {
        printf '[[unitX\n<<header\n分数のたし算とひき算//§1-1 分数のたし算\n小学校\n　年　組　番　氏名\n>>\n<<ques\n'
        printf '１．次の計算をしましょう。\n'
        for i in $(seq 1 20); do
            a=$((i % 7 + 1)); b=$((i % 5 + 2)); d=$((i % 9 + 11))
            printf '(%d)  %d/%d+%d/%d=# %d/%d #\n' "$i" "$a" "$d" "$b" "$d" $((a + b)) "$d"
        done
        printf '>>\n<<ans\n>>\n<<value\n%s\nFalse\n40\n5\n5\n1\n7\n>>\n]]\n' "$paper"
    } | iconv -f UTF-8 -t CP932 | sed 's/$/\r/' > "$work/class.prp"

    : > "$work/times"
    for _ in $(seq 1 "$runs"); do
        /usr/bin/time -f '%e %M %U %S' -a -o "$work/times" \
            "$cli" print "$work" --copy "$work/class.prp" --out "$work/class.pdf" --copies 30 --numbered ${PRINT_ARGS:-} > /dev/null
    done
    pages="$(pdfinfo "$work/class.pdf" 2>/dev/null | awk '/^Pages:/ {print $2}' || true)"
    cpu="$(awk '{ print $3 + $4 }' "$work/times" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }')"
    sort -n "$work/times" | awk -v runs="$runs" -v bytes="$(stat -c %s "$work/class.pdf")" -v pages="${pages:-?}" -v cpu="$cpu" -v paper="$name" '
        { wall[NR] = $1; if ($2 > rss) rss = $2 }
        END { printf "class set %s: median %.3f s wall, %.3f s processor over %d runs, peak memory %.1f MiB, PDF %.1f KB, %s pages\n",
                     paper, wall[int((NR + 1) / 2)], cpu, runs, rss / 1024, bytes / 1000, pages }'
done
