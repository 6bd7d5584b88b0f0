#!/usr/bin/env python3
"""Writes the sample courseware: the fraction curriculum of grades 3 to 6, its pictures and its help pages.

    python3 scripts/make_sample.py [TARGET]      (TARGET defaults to sample/; then commit the files)

Everything is made here from the tables in sample_units.py (the kinds written in words are in sample_words.py),
with no other input, so that the same script always writes the same bytes. Write into an empty folder: a file of
an earlier sample that is no longer made stays behind otherwise. Index and master files are Shift-JIS (code page
932) with CR LF line ends, as the program reads them. Every answer is computed with exact fraction arithmetic;
the problems of a unit and of its similar problems are drawn by a fixed-seed generator under the rules of the
unit's kind, no problem repeats within a unit and its similar problems (not even with its operands swapped), and
a page goes from easy to hard.
"""
import pathlib
import sys

HERE = pathlib.Path(__file__).resolve().parent
sys.path.insert(0, str(HERE))

import sample_help  # noqa: E402
import sample_pictures  # noqa: E402
import sample_units  # noqa: E402

TARGET = HERE.parent / "sample"


def text_file(lines: list[str]) -> bytes:
    return "".join(line + "\r\n" for line in lines).encode("cp932")


def courseware() -> dict[str, bytes]:
    """Every file of the courseware by its path relative to the courseware folder."""
    files: dict[str, bytes] = {}
    main = [sample_units.TITLE, sample_units.FREE_LINE]
    for lesson in sample_units.LESSONS:
        main.append(f"{lesson.name},{lesson.stem}\\\\{lesson.stem}")
        sub = [lesson.name]
        for s, section in enumerate(lesson.sections, start=1):
            sub += [f"[[sect{s}", section.name, "<<"] + [u.name for u in section.units] + [">>", "]]"]
            lines, pictures = sample_units.master_file(lesson, s, section)
            files[f"{lesson.stem}/{lesson.stem}{s}.que"] = text_file(lines)
            for name, picture in pictures.items():
                files[f"{lesson.stem}/Graph/{name}"] = picture.bmp()
        files[f"{lesson.stem}/{lesson.stem}.ind"] = text_file(sub)
    main.append(">>")
    files["Main.ind"] = text_file(main)
    files["Title.BMP"] = sample_pictures.title_picture().bmp()
    files["classFlag.bmp"] = sample_pictures.class_flag().bmp()
    for name, page in sample_help.pages().items():
        files[name] = text_file(page)
    return files


def main(argv: list[str]) -> int:
    target = pathlib.Path(argv[1]) if len(argv) > 1 else TARGET
    for name, data in sorted(courseware().items()):
        path = target / name
        path.parent.mkdir(parents=True, exist_ok=True)
        path.write_bytes(data)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
