#pragma once
// The system names its fonts "ＭＳ 明朝", "ＭＳ ゴシック", "ＭＳ Ｐゴシック" and "Bookman Old Style". They are mapped
// once at start-up to installed metric-compatible faces (IPAMincho, IPAGothic, IPAPGothic, TeX Gyre Bonum), and
// the system's names are kept everywhere else. Without the mapping fontconfig falls back to a face that looks wrong.

namespace tavola {
void installFontSubstitutions();
}
