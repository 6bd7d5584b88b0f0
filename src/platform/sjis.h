#pragma once
// Shift-JIS (code page 932) text. Every text that comes from or goes to a courseware, copy, index or learner file
// is kept as CP932 bytes in a std::string and never decoded on the way through; it is converted to UTF-8 only at
// the edge (the window, the file system, the terminal). Conversion uses iconv's "CP932", which maps 0x5C to "\"
// and the wave dash, minus sign and yen sign the way Windows does.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tavola::sjis {

// CP932 → UTF-8. Bytes that are not valid CP932 become U+FFFD; conversion never fails.
std::string toUtf8(std::string_view cp932);

// UTF-8 → CP932; nullopt when the text holds a character CP932 cannot represent, or is not valid UTF-8.
std::optional<std::string> fromUtf8(std::string_view utf8);

// UTF-8 → CP932 for the program's own fixed texts, which are all representable. A character that is not becomes "?".
std::string encode(std::string_view utf8);

// True for the first byte of a double-byte character (0x81–0x9F, 0xE0–0xFC).
inline bool isLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

// True for a byte that can end a double-byte character (0x40–0x7E, 0x80–0xFC).
inline bool isTrailByte(unsigned char c) { return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC); }

// Byte length of the character starting at i: 2 for a lead byte followed by another byte, otherwise 1.
inline std::size_t charLength(std::string_view text, std::size_t i)
{
    return (i + 1 < text.size() && isLeadByte(static_cast<unsigned char>(text[i]))) ? 2 : 1;
}

// Position of the first character equal to the single-byte c, stepping by characters, so that the second byte of
// a double-byte character (表 is 95 5C) is never taken for c; npos when there is none.
std::size_t findChar(std::string_view text, char c, std::size_t from = 0);

} // namespace tavola::sjis

namespace tavola {
// "問題の行は６０行以下です"_sj: a fixed text of the system, written in the source as UTF-8, as CP932 bytes.
inline std::string operator""_sj(const char* text, std::size_t length) { return sjis::encode({text, length}); }
} // namespace tavola
