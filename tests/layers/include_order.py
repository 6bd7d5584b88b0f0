#!/usr/bin/env python3
"""Checks every #include "folder/..." of src/ against the order of the folders.

A folder may include its own headers and those of the folders below it:

    platform → courseware, render, variant → question → worksheet → practice, authoring → server → app → tools

Folders on one step do not include one another. The logic (every file but the windows Tfrm*, the Qt helpers qt_*,
platform/qt/ and main.cpp) includes no window or Qt helper header, whatever its folder. Prints each wrong include and exits 1.
"""
import pathlib
import re
import sys

ORDER = [["platform"], ["courseware", "render", "variant"], ["question"], ["worksheet"], ["practice", "authoring"],
         ["server"], ["app"], ["tools"]]
STEP = {folder: step for step, folders in enumerate(ORDER) for folder in folders}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([a-z_]+)/([^"]+)"')


def is_window_side(path):
    return (path.name.startswith(("Tfrm", "qt_")) or path.name == "main.cpp" or "platform/qt/" in path.as_posix())


def wrong_includes(src):
    for path in sorted(src.rglob("*")):
        if path.suffix not in (".cpp", ".h"):
            continue
        folder = path.relative_to(src).parts[0]
        if folder not in STEP:
            yield f"{path}: folder {folder} has no place in the order"
            continue
        for number, line in enumerate(path.read_text(encoding="utf-8", errors="replace").splitlines(), 1):
            match = INCLUDE.match(line)
            if not match:
                continue
            target, rest = match.groups()
            where = f"{path}:{number}: {line.strip()}"
            if target not in STEP:
                yield f"{where}: no folder {target}"
            elif target != folder and STEP[target] >= STEP[folder]:
                yield f"{where}: {folder} may not include {target}"
            elif not is_window_side(path) and is_window_side(pathlib.Path(target) / rest):
                yield f"{where}: logic may not include a window or Qt header"


def main():
    src = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else "src")
    wrong = list(wrong_includes(src))
    for line in wrong:
        print(line)
    return 1 if wrong else 0


if __name__ == "__main__":
    sys.exit(main())
