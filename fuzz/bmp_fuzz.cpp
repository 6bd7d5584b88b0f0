// The BMP reader: any bytes give a picture whose pixels fill it exactly, or a failure.
#include "fuzz_support.h"

#include "platform/bmp.h"

#include <cstdlib>

using namespace tavola;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    auto picture = bmp::decode(fuzz::bytesOf(data, size));
    if (picture.ok()) {
        const Picture& p = picture.value();
        if (p.width <= 0 || p.height <= 0 ||
            p.pixels.size() != static_cast<std::size_t>(p.width) * static_cast<std::size_t>(p.height))
            std::abort();
    }
    return 0;
}
