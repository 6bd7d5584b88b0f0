#include "platform/bmp.h"

#include "platform/line_file.h"
#include "platform/sjis.h"
#include "platform/text_helpers.h"

#include <array>
#include <bit>
#include <cstdint>
#include <cstdlib>

namespace tavola::bmp {

namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint32_t kRgb = 0;
constexpr std::uint32_t kBitFields = 3;
constexpr std::uint32_t kAlphaBitFields = 6;

class Reader {
public:
    explicit Reader(std::string_view bytes) : bytes_(bytes) {}
    bool has(std::size_t offset, std::size_t count) const
    {
        return offset <= bytes_.size() && count <= bytes_.size() - offset;
    }
    std::uint8_t u8(std::size_t offset) const { return static_cast<std::uint8_t>(bytes_[offset]); }
    std::uint16_t u16(std::size_t offset) const { return static_cast<std::uint16_t>(u8(offset) | u8(offset + 1) << 8); }
    std::uint32_t u32(std::size_t offset) const
    {
        return static_cast<std::uint32_t>(u16(offset)) | static_cast<std::uint32_t>(u16(offset + 2)) << 16;
    }
    std::int32_t s32(std::size_t offset) const { return static_cast<std::int32_t>(u32(offset)); }
    std::size_t size() const { return bytes_.size(); }

private:
    std::string_view bytes_;
};

// One channel of a bit-field pixel, scaled to 0…255.
struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    int bits = 0;

    explicit Channel(std::uint32_t m = 0) : mask(m)
    {
        if (mask == 0) return;
        shift = std::countr_zero(mask);
        bits = std::popcount(mask >> shift);
        // A mask with holes is unusual; its lowest run still gives a usable value.
        if (bits > 8) {
            shift += bits - 8;
            bits = 8;
        }
    }
    std::uint32_t value(std::uint32_t pixel) const
    {
        if (bits == 0) return 0;
        std::uint32_t v = (pixel >> shift) & ((1u << bits) - 1u);
        std::uint32_t max = (1u << bits) - 1u;
        return (v * 255u + max / 2) / max;
    }
};

std::uint32_t argb(std::uint32_t r, std::uint32_t g, std::uint32_t b)
{
    return 0xFF000000u | r << 16 | g << 8 | b;
}

Result<Picture> fail(const char* why)
{
    return Result<Picture>::failure(why);
}

} // namespace

Result<Picture> decode(std::string_view bytes)
{
    Reader in(bytes);
    if (!in.has(0, kFileHeaderSize + 12) || in.u8(0) != 'B' || in.u8(1) != 'M') return fail("not a BMP file");
    std::uint32_t dataOffset = in.u32(10);
    std::uint32_t headerSize = in.u32(kFileHeaderSize);
    const std::size_t h = kFileHeaderSize;

    long long width = 0;
    long long height = 0;
    int bitCount = 0;
    std::uint32_t compression = kRgb;
    std::uint32_t coloursUsed = 0;
    std::size_t paletteEntrySize = 4;
    std::array<std::uint32_t, 4> masks{}; // red, green, blue, alpha

    if (headerSize == 12) {
        // The OS/2 core header: 16-bit sizes, palette of 3-byte entries.
        width = in.u16(h + 4);
        height = static_cast<std::int16_t>(in.u16(h + 6));
        bitCount = in.u16(h + 10);
        paletteEntrySize = 3;
    } else if (headerSize >= 40 && headerSize <= 4096) {
        if (!in.has(h, headerSize)) return fail("truncated header");
        width = in.s32(h + 4);
        height = in.s32(h + 8);
        bitCount = in.u16(h + 14);
        compression = in.u32(h + 16);
        coloursUsed = in.u32(h + 32);
        if (headerSize >= 52) {
            masks[0] = in.u32(h + 40);
            masks[1] = in.u32(h + 44);
            masks[2] = in.u32(h + 48);
        }
        if (headerSize >= 56) masks[3] = in.u32(h + 52);
    } else {
        return fail("unknown header");
    }

    bool topDown = height < 0;
    if (topDown) height = -height;
    if (width <= 0 || height <= 0) return fail("empty picture");
    if (width * height > kMaxPixels) return fail("picture too large");

    std::size_t afterHeader = h + headerSize;
    bool bitFields = compression == kBitFields || compression == kAlphaBitFields;
    if (compression != kRgb && !bitFields) return fail("compressed bitmaps are not supported");
    if (bitFields) {
        if (bitCount != 16 && bitCount != 32) return fail("bit fields need 16 or 32 bits");
        if (headerSize == 40) {
            // The masks follow the 40-byte header.
            std::size_t n = compression == kAlphaBitFields ? 4 : 3;
            if (!in.has(afterHeader, n * 4)) return fail("truncated masks");
            for (std::size_t i = 0; i < n; ++i)
                masks[i] = in.u32(afterHeader + i * 4);
            afterHeader += n * 4;
        }
    } else if (bitCount == 16) {
        masks = {0x7C00, 0x03E0, 0x001F, 0};
    } else if (bitCount == 24 || bitCount == 32) {
        masks = {0xFF0000, 0x00FF00, 0x0000FF, 0};
    }
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)
        return fail("unsupported bit count");

    // The palette: 2^bits entries unless the header names fewer; any index past its end reads as black.
    std::vector<std::uint32_t> palette;
    if (bitCount <= 8) {
        std::size_t entries = std::size_t{1} << bitCount;
        if (coloursUsed != 0 && coloursUsed < entries) entries = coloursUsed;
        std::size_t available = in.has(afterHeader, 0) ? (in.size() - afterHeader) / paletteEntrySize : 0;
        if (entries > available) entries = available;
        for (std::size_t i = 0; i < entries; ++i) {
            std::size_t p = afterHeader + i * paletteEntrySize;
            palette.push_back(argb(in.u8(p + 2), in.u8(p + 1), in.u8(p)));
        }
    }

    const std::size_t stride = static_cast<std::size_t>((width * bitCount + 31) / 32 * 4);
    const std::size_t dataSize = stride * static_cast<std::size_t>(height);
    // Some writers leave the offset 0; the pixels then follow the palette.
    std::size_t pixelsAt = dataOffset;
    if (pixelsAt < afterHeader) pixelsAt = afterHeader + palette.size() * paletteEntrySize;
    if (!in.has(pixelsAt, dataSize)) return fail("truncated pixel data");

    Picture picture;
    picture.width = static_cast<int>(width);
    picture.height = static_cast<int>(height);
    picture.pixels.resize(static_cast<std::size_t>(width * height));

    const Channel red(masks[0]);
    const Channel green(masks[1]);
    const Channel blue(masks[2]);
    const auto w = static_cast<std::size_t>(width);
    for (std::size_t row = 0; row < static_cast<std::size_t>(height); ++row) {
        std::size_t src = pixelsAt + row * stride;
        std::size_t y = topDown ? row : static_cast<std::size_t>(height) - 1 - row;
        std::uint32_t* out = &picture.pixels[y * w];
        for (std::size_t x = 0; x < w; ++x) {
            std::uint32_t colour = 0xFF000000u;
            if (bitCount <= 8) {
                std::size_t bit = x * static_cast<std::size_t>(bitCount);
                std::uint8_t byte = in.u8(src + bit / 8);
                int shift = 8 - bitCount - static_cast<int>(bit % 8);
                std::size_t index = (byte >> shift) & ((1u << bitCount) - 1u);
                if (index < palette.size()) colour = palette[index];
            } else if (bitCount == 24) {
                std::size_t p = src + x * 3;
                colour = argb(in.u8(p + 2), in.u8(p + 1), in.u8(p));
            } else {
                std::uint32_t raw = bitCount == 16 ? in.u16(src + x * 2) : in.u32(src + x * 4);
                colour = argb(red.value(raw), green.value(raw), blue.value(raw));
            }
            out[x] = colour;
        }
    }
    return picture;
}

Result<Picture> readFile(const std::string& systemPath)
{
    // The size is checked before anything is read: a figure of a gigabyte is refused at once.
    BoundedRead read = readBoundedFile(systemPath, kCoursewareFileLimit);
    if (read.failure == ReadFailure::TooLarge) return Result<Picture>::failure(fileTooLargeMessage(systemPath));
    if (!read.bytes) return Result<Picture>::failure(fileNotFoundMessage(systemPath));
    return decode(*read.bytes);
}

std::string unreadableMessage(const std::string& systemPath)
{
    return systemPath + " は正しいビットマップではありません"_sj;
}

} // namespace tavola::bmp
