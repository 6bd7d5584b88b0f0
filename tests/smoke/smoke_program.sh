#!/usr/bin/env bash
# The program comes up in a copy of the sample courseware, creates its settings and learner folder, shows its
# main window and stays up until it is told to quit. Started in a folder without Main.ind it ends with a
# failure status.
set -euo pipefail
program="$1"
sample="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
if [ -f "$sample/Main.ind" ]; then
    cp -r "$sample" "$work/courseware"
else
    # No sample yet: a courseware of one lesson is enough to come up.
    mkdir -p "$work/courseware"
    printf 'Fractions\r\n\r\nLesson,tasu\\\\tasu\r\n>>\r\n' > "$work/courseware/Main.ind"
fi
export TAVOLA_CONFIG_DIR="$work/config"
export XDG_DATA_HOME="$work/data"
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"

cd "$work/courseware"
TAVOLA_QUIT_AFTER_MS=1500 TAVOLA_SCREENSHOT="$work/main.png" "$program"
test -s "$work/main.png" || { echo "no picture of the main window"; exit 1; }
grep -q '^KeyLock' "$TAVOLA_CONFIG_DIR/Tavola++/Sheetpak.reg" || { echo "settings not written"; exit 1; }
test -d "$XDG_DATA_HOME/tavola/Tavola/LogOn" || { echo "learner folder not made"; exit 1; }

mkdir "$work/empty"
cd "$work/empty"
status=0
TAVOLA_QUIT_AFTER_MS=1500 "$program" || status=$?
if [ "$status" -eq 0 ]; then
    echo "the program went on without Main.ind"
    exit 1
fi
echo "smoke test passed"
