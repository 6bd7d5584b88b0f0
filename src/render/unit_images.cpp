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

} // namespace

const Picture& unitImage(UnitImage which)
{
    static const std::array<Picture, 6> images = {build(UnitImage::Litter), build(UnitImage::RedLitter),
                                                  build(UnitImage::Gram),   build(UnitImage::RedGram),
                                                  build(UnitImage::ABlack), build(UnitImage::ARed)};
    return images[static_cast<std::size_t>(which)];
}

} // namespace tavola::render
