#include "render/unit_images.h"

#include <gtest/gtest.h>

namespace tavola::render {
namespace {

constexpr std::uint32_t kWhite = 0xFFFFFFFF;

struct Pair {
    UnitImage black;
    UnitImage red;
};
const Pair kPairs[] = {{UnitImage::Litter, UnitImage::RedLitter},
                       {UnitImage::Gram, UnitImage::RedGram},
                       {UnitImage::ABlack, UnitImage::ARed}};

TEST(UnitImages, PairsShareOneDrawingInBlackAndRedOnWhite)
{
    for (const Pair& p : kPairs) {
        const Picture& black = unitImage(p.black);
        const Picture& red = unitImage(p.red);
        ASSERT_EQ(black.width, 16);
        ASSERT_EQ(black.height, 16);
        ASSERT_EQ(red.pixels.size(), 256u);
        ASSERT_EQ(black.pixels.size(), 256u);
        int ink = 0;
        for (std::size_t i = 0; i < 256; ++i) {
            if (black.pixels[i] == kWhite) {
                EXPECT_EQ(red.pixels[i], kWhite) << "pixel " << i;
                continue;
            }
            ++ink;
            EXPECT_EQ(black.pixels[i], 0xFF000000u);
            EXPECT_EQ(red.pixels[i], 0xFFFF0000u);
        }
        // A drawing, not an empty square, and with a white ground.
        EXPECT_GT(ink, 20);
        EXPECT_LT(ink, 80);
        EXPECT_EQ(black.pixels.front(), kWhite);
    }
    // The three drawings differ from one another.
    EXPECT_NE(unitImage(UnitImage::Litter).pixels, unitImage(UnitImage::Gram).pixels);
    EXPECT_NE(unitImage(UnitImage::Gram).pixels, unitImage(UnitImage::ABlack).pixels);
}

} // namespace
} // namespace tavola::render
