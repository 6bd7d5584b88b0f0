#!/usr/bin/env bash
# The whole process of a class's follow-up sheets: tavola-cli followup of 40 learners against a lesson of 20 units
# (4 sections of 5 units, 12 fraction problems each), every learner with a practice of every unit and two or three
# boxes wrong in each, printed as one PDF with the keys (A4, 600 dpi). Runs it RUNS times (default 11) under
# /usr/bin/time and prints the median wall time, the median processor time, the largest peak memory, the pages and
# the size of the PDF.
#   bench/followup_set.sh [path/to/tavola-cli]
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
cli="${1:-$here/build/release/src/tavola-cli}"
runs="${RUNS:-11}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

python3 - "$work" <<'EOF'
import os, sys
work = sys.argv[1]

def write(name, lines):
    path = os.path.join(work, name)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(("\r\n".join(lines) + "\r\n").encode("cp932"))

write("Main.ind", ["算数", "", "分数のたし算,les\\\\les", ">>"])
index = ["分数のたし算"]
for s in range(1, 5):
    index += ["[[sect%d" % s, "第%d節" % s, "<<"] + ["たし算 %d-%d" % (s, u) for u in range(1, 6)] + [">>", "]]"]
write("les/les.ind", index)
for s in range(1, 5):
    master = []
    for u in range(1, 6):
        master += ["[[unit%d" % u, "<<ques", "１．次の計算をしましょう。"]
        for k in range(1, 13):
            d = 5 + (k + u + s) % 9
            a = 1 + k % 3
            b = 1 + (k + u) % 2
            master.append("(%d)  %d/%d+%d/%d=# %d/%d #" % (k, a, d, b, d, a + b, d))
        master += [">>", "<<value", "630", "False", "40", "5", "5", "1", "7", ">>", "]]"]
    write("les/les%d.que" % s, master)
names = ["learner%02d" % n for n in range(1, 41)]
write("LogOn/sname.txt", names)
for n, name in enumerate(names):
    lines = ["[password]", "pw=?"]
    for s in range(1, 5):
        for u in range(1, 6):
            trail = "".join("1" if (k * 7 + n + s * 5 + u) % 5 == 0 else "0" for k in range(12))
            lines += ["[S%d%dたし算 %d-%d]" % (s, u, s, u),
                      "1=2026年03月%02d日 09:%02d [%s]  9/12  75点 03:10" % (1 + s, 10 + u, trail)]
    write("les/%s.ini" % name, lines)
EOF

: > "$work/times"
for _ in $(seq 1 "$runs"); do
    /usr/bin/time -f '%e %M %U %S' -a -o "$work/times" \
        "$cli" followup "$work" --lesson 1 --out "$work/followup.pdf" --key > /dev/null
done
pages="$(pdfinfo "$work/followup.pdf" 2>/dev/null | awk '/^Pages:/ {print $2}' || true)"
cpu="$(awk '{ print $3 + $4 }' "$work/times" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }')"
sort -n "$work/times" | awk -v runs="$runs" -v bytes="$(stat -c %s "$work/followup.pdf")" -v pages="${pages:-?}" -v cpu="$cpu" '
    { wall[NR] = $1; if ($2 > rss) rss = $2 }
    END { printf "follow-up sheets: median %.3f s wall, %.3f s processor over %d runs, peak memory %.1f MiB, PDF %.1f KB, %s pages\n",
                 wall[int((NR + 1) / 2)], cpu, runs, rss / 1024, bytes / 1000, pages }'
