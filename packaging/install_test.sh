#!/usr/bin/env bash
# Installs the build into a temporary prefix and uses what was installed: the files a desktop expects, the
# installed tavola-cli checking the installed sample, and the desktop launcher starting the installed program on
# a first copy of the sample in a fresh data folder.
set -uo pipefail
cmake="$1"
build="$2"
work="$(mktemp -d)"
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

prefix="$work/prefix"
"$cmake" --install "$build" --prefix "$prefix" > "$work/install.log" 2>&1 || { cat "$work/install.log"; exit 1; }
for f in bin/tavola bin/tavola-cli bin/tavola-desktop share/applications/tavola.desktop \
         share/icons/hicolor/16x16/apps/tavola.png share/icons/hicolor/48x48/apps/tavola.png \
         share/icons/hicolor/256x256/apps/tavola.png share/icons/hicolor/scalable/apps/tavola.svg \
         share/tavola/sample/Main.ind share/tavola/pictures/main/app_icon.png; do
    [ -f "$prefix/$f" ] || fail "not installed: $f"
done
grep -q '^Categories=Education;' "$prefix/share/applications/tavola.desktop" || fail "desktop entry category"
grep -q '^Name\[ja\]=' "$prefix/share/applications/tavola.desktop" || fail "desktop entry Japanese name"
if command -v desktop-file-validate > /dev/null; then
    desktop-file-validate "$prefix/share/applications/tavola.desktop" || fail "desktop entry is not valid"
fi

# The installed tool on the installed sample, from a folder that is neither.
(cd "$work" && "$prefix/bin/tavola-cli" check "$prefix/share/tavola/sample") > "$work/check.out" 2>&1 \
    || fail "installed tavola-cli check on the installed sample: $(cat "$work/check.out")"

# The launcher copies the sample the first time, starts the program there, and leaves the user's copy alone after.
data="$work/data"
mkdir -p "$work/runtime" && chmod 700 "$work/runtime"
launch() {
    (cd "$work" && HOME="$work" XDG_DATA_HOME="$data" XDG_RUNTIME_DIR="$work/runtime" TAVOLA_CONFIG_DIR="$work/config" \
        TAVOLA_QUIT_AFTER_MS=1500 timeout 60 "$prefix/bin/tavola-desktop") > "$work/launch.out" 2>&1
}
launch || fail "the desktop launcher did not start the program: $(cat "$work/launch.out")"
cmp -s "$prefix/share/tavola/sample/Main.ind" "$data/tavola/courseware/Main.ind" || fail "sample not copied"
printf 'edited' >> "$data/tavola/courseware/Main.ind"
launch || fail "second start: $(cat "$work/launch.out")"
tail -c 6 "$data/tavola/courseware/Main.ind" | grep -q edited || fail "the user's courseware was copied over"

[ $failures -eq 0 ] && echo "install: all checks passed"
exit $((failures > 0))
