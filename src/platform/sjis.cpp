#include "platform/sjis.h"

#include <iconv.h>

#include <cerrno>
#include <memory>

namespace tavola::sjis {
namespace {

struct IconvCloser {
    void operator()(void* cd) const
    {
        if (cd != nullptr) iconv_close(static_cast<iconv_t>(cd));
    }
};

// One conversion descriptor per direction, opened on first use; the program runs on one thread.
iconv_t descriptor(const char* to, const char* from)
{
    iconv_t cd = iconv_open(to, from);
    return cd;
}

iconv_t toUtf8Descriptor()
{
    static std::unique_ptr<void, IconvCloser> cd(descriptor("UTF-8", "CP932"));
    iconv(static_cast<iconv_t>(cd.get()), nullptr, nullptr, nullptr, nullptr);
    return static_cast<iconv_t>(cd.get());
}

iconv_t fromUtf8Descriptor()
{
    static std::unique_ptr<void, IconvCloser> cd(descriptor("CP932", "UTF-8"));
    iconv(static_cast<iconv_t>(cd.get()), nullptr, nullptr, nullptr, nullptr);
    return static_cast<iconv_t>(cd.get());
}

bool isAscii(std::string_view text)
{
    for (unsigned char c : text)
        if (c >= 0x80) return false;
    return true;
}

// Converts as much as possible; on a bad sequence calls onBad(input position) which may append a replacement
// and returns how many input bytes to skip (0 means give up).
template <class OnBad>
bool convert(iconv_t cd, std::string_view in, std::string& out, OnBad onBad)
{
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    out.reserve(in.size() * 2);
    std::size_t pos = 0;
    char buffer[1024];
    while (pos < in.size()) {
        char* inPtr = const_cast<char*>(in.data() + pos);
        std::size_t inLeft = in.size() - pos;
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        std::size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
        int err = errno;
        out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
        pos = in.size() - inLeft;
        if (rc != static_cast<std::size_t>(-1)) break;
        if (err == E2BIG) continue;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        std::size_t skip = onBad(pos, out);
        if (skip == 0) return false;
        pos += skip;
    }
    return true;
}

} // namespace

std::string toUtf8(std::string_view cp932)
{
    if (isAscii(cp932)) return std::string(cp932);
    std::string out;
    convert(toUtf8Descriptor(), cp932, out, [&](std::size_t pos, std::string& o) -> std::size_t {
        o += "\xEF\xBF\xBD";
        // A lead byte whose pair is unmapped stands for one character of two bytes; one followed by a byte that
        // cannot end a pair (a blank, a line end) stands alone, and the byte after it is kept.
        return (pos + 1 < cp932.size() && isLeadByte(static_cast<unsigned char>(cp932[pos])) &&
                isTrailByte(static_cast<unsigned char>(cp932[pos + 1])))
                   ? 2
                   : 1;
    });
    return out;
}

std::optional<std::string> fromUtf8(std::string_view utf8)
{
    if (isAscii(utf8)) return std::string(utf8);
    std::string out;
    if (!convert(fromUtf8Descriptor(), utf8, out, [](std::size_t, std::string&) -> std::size_t { return 0; }))
        return std::nullopt;
    return out;
}

std::string encode(std::string_view utf8)
{
    if (isAscii(utf8)) return std::string(utf8);
    std::string out;
    convert(fromUtf8Descriptor(), utf8, out, [&](std::size_t pos, std::string& o) -> std::size_t {
        o += "?";
        // Skip one whole UTF-8 character.
        std::size_t n = 1;
        while (pos + n < utf8.size() && (static_cast<unsigned char>(utf8[pos + n]) & 0xC0) == 0x80) ++n;
        return n;
    });
    return out;
}

std::size_t findChar(std::string_view text, char c, std::size_t from)
{
    for (std::size_t i = from; i < text.size(); i += charLength(text, i))
        if (text[i] == c) return i;
    return std::string_view::npos;
}

} // namespace tavola::sjis
