#include "render/unit_images.h"

#include "platform/bmp.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

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
                EXPECT_EQ(red.pixels[i], kWhite) << unitImageFileName(p.red) << " pixel " << i;
                continue;
            }
            ++ink;
            EXPECT_EQ(black.pixels[i], 0xFF000000u);
            EXPECT_EQ(red.pixels[i], 0xFFFF0000u);
        }
        // A drawing, not an empty square, and with a white ground.
        EXPECT_GT(ink, 20) << unitImageFileName(p.black);
        EXPECT_LT(ink, 80) << unitImageFileName(p.black);
        EXPECT_EQ(black.pixels.front(), kWhite);
    }
    // The three drawings differ from one another.
    EXPECT_NE(unitImage(UnitImage::Litter).pixels, unitImage(UnitImage::Gram).pixels);
    EXPECT_NE(unitImage(UnitImage::Gram).pixels, unitImage(UnitImage::ABlack).pixels);
}

TEST(UnitImages, BmpFilesDecodeToTheSamePicturesAndMatchTheResources)
{
    for (const Pair& p : kPairs) {
        for (UnitImage which : {p.black, p.red}) {
            const std::vector<unsigned char> bytes = unitImageBmp(which);
            ASSERT_EQ(bytes.size(), 246u); // 16 colours, 16 × 16 at 4 bits
            auto decoded = bmp::decode(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
            ASSERT_TRUE(decoded.ok()) << unitImageFileName(which);
            EXPECT_EQ(decoded.value().width, 16);
            EXPECT_EQ(decoded.value().pixels, unitImage(which).pixels) << unitImageFileName(which);

            // The files kept among the program's resources are these bytes.
            const std::string path =
                std::string(TAVOLA_RESOURCE_DIR) + "/units/" + unitImageFileName(which);
            std::ifstream in(path, std::ios::binary);
            ASSERT_TRUE(in) << path;
            std::string onDisk((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            EXPECT_EQ(onDisk, std::string(bytes.begin(), bytes.end())) << path;
        }
    }
}

} // namespace
} // namespace tavola::render
