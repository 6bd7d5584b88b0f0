#!/usr/bin/env bash
# tavola-cli print and render write their file safely: into a temporary file beside it, checked and renamed. A full
# device, a file-size limit or a missing folder gives a message and a non-zero exit, leaves a file that was at the
# path as it was and no temporary file behind.
set -uo pipefail
cli="$1"
sample="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# A good PDF and PNG to start from.
"$cli" print "$sample" 1 1 1 --out "$work/set.pdf" --copies 2 > /dev/null || fail "first print"
"$cli" render "$sample" 1 1 1 --out "$work/page.png" > /dev/null || fail "first render"
cp "$work/set.pdf" "$work/set.before"
cp "$work/page.png" "$work/page.before"

"$cli" print "$sample" 1 1 1 --out /dev/full > /dev/null 2> "$work/err.txt"
[ $? = 1 ] || fail "print to /dev/full: exit code"
grep -q 'ファイル /dev/full に書き込めませんでした (No space left on device)' "$work/err.txt" ||
    fail "print to /dev/full: $(cat "$work/err.txt")"

# Past the file-size limit (the PDF of 30 copies is far larger than 8 KiB).
(ulimit -f 8; "$cli" print "$sample" 1 1 1 --out "$work/set.pdf" --copies 30 > /dev/null 2> "$work/err.txt")
[ $? = 1 ] || fail "print past the file-size limit: exit code"
grep -q "ファイル $work/set.pdf に書き込めませんでした" "$work/err.txt" || fail "print past the limit: $(cat "$work/err.txt")"
cmp -s "$work/set.pdf" "$work/set.before" || fail "print past the limit changed the earlier PDF"

(ulimit -f 8; "$cli" render "$sample" 1 1 1 --out "$work/page.png" > /dev/null 2> "$work/err.txt")
[ $? = 1 ] || fail "render past the file-size limit: exit code"
grep -q "ファイル $work/page.png に書き込めませんでした" "$work/err.txt" || fail "render past the limit: $(cat "$work/err.txt")"
cmp -s "$work/page.png" "$work/page.before" || fail "render past the limit changed the earlier PNG"

"$cli" render "$sample" 1 1 1 --out "$work/no/such/page.png" > /dev/null 2> "$work/err.txt"
[ $? = 1 ] || fail "render into a missing folder: exit code"

leftover="$(ls "$work" | grep -v -x -e set.pdf -e set.before -e page.png -e page.before -e err.txt)"
[ -z "$leftover" ] || fail "left behind: $leftover"

# A print that succeeds replaces the file whole.
"$cli" print "$sample" 1 1 1 --out "$work/set.pdf" --copies 3 > /dev/null || fail "print over the earlier PDF"
[ "$(pdfinfo "$work/set.pdf" 2>/dev/null | awk '/^Pages:/ {print $2}')" = 3 ] || fail "the new PDF is not whole"

[ "$failures" = 0 ] && echo "all passed"
exit "$failures"
