#include "render/unit_images.h"

#include <array>
#include <cstdint>

namespace tavola::render {

namespace {

constexpr int kSide = 16;
using Art = std::array<const char*, kSide>;

// '#' is ink, '.' the white ground.
constexpr Art kLitter = {
    "................", //
    "..........##....", //
    ".........#..#...", //
    "........#...#...", //
    "........#..##...", //
    ".......#...#....", //
    ".......#..#.....", //
    "......##.#......", //
    "......#.#.......", //
    "......##........", //
    ".....##.........", //
    ".....#..........", //
    ".....#.......#..", //
    ".....##....##...", //
    "......#####.....", //
    "................", //
};

constexpr Art kGram = {
    "................", //
    "................", //
    "......####..#...", //
    ".....#....###...", //
    "....#......#....", //
    "....#......#....", //
    "....#.....##....", //
    ".....#...#.#....", //
    "......###..#....", //
    "...........#....", //
    "...........#....", //
    "..........#.....", //
    "...#.....#......", //
    "....#...#.......", //
    ".....###........", //
    "................", //
};

constexpr Art kA = {
    "................", //
    "................", //
    "................", //
    "................", //
    "......####..#...", //
    ".....#....###...", //
    "....#......#....", //
    "....#......#....", //
    "...#......##....", //
    "...#.....#.#....", //
    "...#....#..#....", //
    "....#..#...#..#.", //
    ".....##.....##..", //
    "................", //
    "................", //
    "................", //
};

constexpr std::uint32_t kWhite = 0xFFFFFFFF;
constexpr std::uint32_t kBlack = 0xFF000000;
constexpr std::uint32_t kRed = 0xFFFF0000;

const Art& artOf(UnitImage which)
{
    switch (which) {
    case UnitImage::Litter:
    case UnitImage::RedLitter:
        return kLitter;
    case UnitImage::Gram:
    case UnitImage::RedGram:
        return kGram;
    case UnitImage::ABlack:
    case UnitImage::ARed:
        break;
    }
    return kA;
}

bool isRed(UnitImage which)
{
    return which == UnitImage::RedLitter || which == UnitImage::RedGram || which == UnitImage::ARed;
}

Picture build(UnitImage which)
{
    Picture p;
    p.width = kSide;
    p.height = kSide;
    p.pixels.reserve(kSide * kSide);
    const std::uint32_t ink = isRed(which) ? kRed : kBlack;
    for (const char* row : artOf(which))
        for (int x = 0; x < kSide; ++x)
            p.pixels.push_back(row[x] == '#' ? ink : kWhite);
    return p;
}

void put16(std::vector<unsigned char>& out, unsigned v)
{
    out.push_back(static_cast<unsigned char>(v & 0xFF));
    out.push_back(static_cast<unsigned char>((v >> 8) & 0xFF));
}

void put32(std::vector<unsigned char>& out, std::uint32_t v)
{
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

} // namespace

const Picture& unitImage(UnitImage which)
{
    static const std::array<Picture, 6> images = {build(UnitImage::Litter), build(UnitImage::RedLitter),
                                                  build(UnitImage::Gram),   build(UnitImage::RedGram),
                                                  build(UnitImage::ABlack), build(UnitImage::ARed)};
    return images[static_cast<std::size_t>(which)];
}

std::string unitImageFileName(UnitImage which)
{
    switch (which) {
    case UnitImage::Litter:
        return "imgLitter.bmp";
    case UnitImage::RedLitter:
        return "imgRedLitter.bmp";
    case UnitImage::Gram:
        return "imgGram.bmp";
    case UnitImage::RedGram:
        return "imgRedGram.bmp";
    case UnitImage::ABlack:
        return "imgABlack.bmp";
    case UnitImage::ARed:
        break;
    }
    return "imgARed.bmp";
}

std::vector<unsigned char> unitImageBmp(UnitImage which)
{
    // A 4-bit BMP with the standard 16-colour palette: 0 black, 9 red, 15 white. Rows are 8 bytes (16 pixels of
    // 4 bits, already a multiple of 4) and stored bottom row first.
    static const std::uint32_t palette[16] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                                              0x008080, 0xC0C0C0, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00,
                                              0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF}; // 0x00RRGGBB
    constexpr unsigned kRowBytes = kSide / 2;
    constexpr unsigned kHeaderBytes = 14 + 40 + 16 * 4;
    constexpr unsigned kImageBytes = kRowBytes * kSide;
    std::vector<unsigned char> out;
    out.reserve(kHeaderBytes + kImageBytes);
    out.push_back('B');
    out.push_back('M');
    put32(out, kHeaderBytes + kImageBytes);
    put32(out, 0);
    put32(out, kHeaderBytes);
    put32(out, 40);
    put32(out, kSide);
    put32(out, kSide);
    put16(out, 1);
    put16(out, 4);
    put32(out, 0); // no compression
    put32(out, kImageBytes);
    put32(out, 2835); // 72 dpi
    put32(out, 2835);
    put32(out, 16);
    put32(out, 0);
    for (std::uint32_t rgb : palette)
        put32(out, rgb); // stored as B, G, R, 0
    const unsigned ink = isRed(which) ? 9 : 0;
    const Art& art = artOf(which);
    for (int y = kSide - 1; y >= 0; --y) {
        for (int x = 0; x < kSide; x += 2) {
            unsigned hi = art[y][x] == '#' ? ink : 15;
            unsigned lo = art[y][x + 1] == '#' ? ink : 15;
            out.push_back(static_cast<unsigned char>(hi << 4 | lo));
        }
    }
    return out;
}

} // namespace tavola::render
