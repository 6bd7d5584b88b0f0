#!/usr/bin/env bash
# Installs the build into a temporary prefix and uses what was installed: the files a desktop expects, the
# installed tavola-cli checking the installed sample, and the desktop launcher starting the installed program on
# a first copy of the sample in a fresh data folder; then the Debian package made from the same build.
set -uo pipefail
cmake="$1"
build="$2"
cpack="${3:-}"
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

# The package: the same files under /usr, and the packages the program needs named as its dependencies.
if [ -n "$cpack" ]; then
    (cd "$work" && "$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$work/package") > "$work/cpack.log" 2>&1 \
        || fail "cpack -G DEB: $(tail -5 "$work/cpack.log")"
    deb="$(ls "$work"/package/tavola_*.deb 2> /dev/null | head -1)"
    if [ -z "$deb" ]; then
        fail "no package made"
    else
        contents="$(dpkg-deb -c "$deb")"
        for f in usr/bin/tavola usr/bin/tavola-cli usr/share/applications/tavola.desktop \
                 usr/share/tavola/sample/Main.ind usr/share/icons/hicolor/48x48/apps/tavola.png; do
            grep -q "\./$f\$" <<< "$contents" || fail "not in the package: $f"
        done
        depends="$(dpkg-deb -f "$deb" Depends)"
        for p in libqt6widgets6 libqt6printsupport6 qt6-qpa-plugins fonts-ipafont-mincho; do
            grep -q "$p" <<< "$depends" || fail "the package does not depend on $p: $depends"
        done
        dpkg-deb -f "$deb" Description | grep -q ';' && fail "the description holds a list separator"
        [ "$(dpkg-deb -f "$deb" Section)" = education ] || fail "package section"
    fi
fi

[ $failures -eq 0 ] && echo "install: all checks passed"
exit $((failures > 0))
