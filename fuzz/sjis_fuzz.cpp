// The CP932 conversions and the byte-wise text helpers built on them. A text that converts to UTF-8 without a
// replacement character converts back to CP932 (not always to the same bytes: a few characters have two codes).
#include "fuzz_support.h"

#include "platform/sjis.h"
#include "platform/text_helpers.h"

#include <cstdlib>
#include <vector>

using namespace tavola;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes = fuzz::bytesOf(data, size);
    const std::string utf8 = sjis::toUtf8(bytes);
    if (utf8.find("\xEF\xBF\xBD") == std::string::npos) {
        auto back = sjis::fromUtf8(utf8);
        if (!back) std::abort();
    }
    (void)sjis::fromUtf8(bytes);
    (void)sjis::encode(bytes);
    (void)sjis::findChar(bytes, '#');
    (void)trimFullWidth(bytes);
    std::vector<std::string> parts;
    (void)splitAtHash(bytes, parts);
    (void)splitAtSemicolon(bytes, parts);
    (void)padToModel(bytes, "abcdefghijklmnop");
    (void)textAfterLast(bytes, '\\');
    (void)extensionOf(bytes);
    return 0;
}
