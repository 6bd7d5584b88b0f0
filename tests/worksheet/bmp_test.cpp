#include "platform/bmp.h"

#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <random>

using namespace tavola;

namespace {

void put16(std::string& b, std::size_t at, std::uint32_t v)
{
    b[at] = static_cast<char>(v & 0xFF);
    b[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}
void put32(std::string& b, std::size_t at, std::uint32_t v)
{
    put16(b, at, v & 0xFFFF);
    put16(b, at + 2, v >> 16);
}

// A BMP with a 40-byte info header; rows are given top row first and stored as the height's sign says.
// Each row's pixel bytes are given unpadded; padding to 4 bytes is added here.
std::string makeBmp(int width, int height, int bits, const std::vector<std::uint32_t>& palette,
                    const std::vector<std::string>& rowsTopFirst, std::uint32_t compression = 0,
                    const std::vector<std::uint32_t>& masks = {})
{
    std::size_t stride = static_cast<std::size_t>((width * bits + 31) / 32 * 4);
    std::string header(54, '\0');
    header[0] = 'B';
    header[1] = 'M';
    std::string extra;
    for (std::uint32_t m : masks) {
        std::string w(4, '\0');
        put32(w, 0, m);
        extra += w;
    }
    for (std::uint32_t c : palette) {
        std::string e(4, '\0');
        put32(e, 0, c);
        extra += e;
    }
    std::string data;
    int rows = height < 0 ? -height : height;
    for (int r = 0; r < rows; ++r) {
        const std::string& row = rowsTopFirst[static_cast<std::size_t>(height < 0 ? r : rows - 1 - r)];
        std::string padded = row;
        padded.resize(stride, '\0');
        data += padded;
    }
    put32(header, 2, static_cast<std::uint32_t>(54 + extra.size() + data.size()));
    put32(header, 10, static_cast<std::uint32_t>(54 + extra.size()));
    put32(header, 14, 40);
    put32(header, 18, static_cast<std::uint32_t>(width));
    put32(header, 22, static_cast<std::uint32_t>(height));
    put16(header, 26, 1);
    put16(header, 28, static_cast<std::uint32_t>(bits));
    put32(header, 30, compression);
    put32(header, 46, static_cast<std::uint32_t>(palette.size()));
    return header + extra + data;
}

std::string bytes(std::initializer_list<int> values)
{
    std::string s;
    for (int v : values)
        s += static_cast<char>(v);
    return s;
}

constexpr std::uint32_t kRed = 0xFFFF0000;
constexpr std::uint32_t kGreen = 0xFF00FF00;
constexpr std::uint32_t kBlue = 0xFF0000FF;
constexpr std::uint32_t kWhite = 0xFFFFFFFF;
constexpr std::uint32_t kBlack = 0xFF000000;

} // namespace

TEST(Bmp, DecodesEveryUncompressedDepthInBothRowOrders)
{
    // A 3 × 2 picture: top row red, green, blue; bottom row white, black, red.
    const std::vector<std::uint32_t> expected = {kRed, kGreen, kBlue, kWhite, kBlack, kRed};
    // Palette entries are stored B, G, R, 0, so as little-endian words they read 0x00RRGGBB.
    const std::vector<std::uint32_t> palette = {0x00FF0000, 0x0000FF00, 0x000000FF, 0x00FFFFFF, 0x00000000};
    struct Case {
        const char* name;
        int bits;
        std::vector<std::uint32_t> palette;
        std::vector<std::string> rows;
        std::uint32_t compression = 0;
        std::vector<std::uint32_t> masks = {};
    };
    const Case cases[] = {
        {"24", 24, {}, {bytes({0, 0, 255, 0, 255, 0, 255, 0, 0}), bytes({255, 255, 255, 0, 0, 0, 0, 0, 255})}},
        {"32",
         32,
         {},
         {bytes({0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 0}), bytes({255, 255, 255, 0, 0, 0, 0, 0, 0, 0, 255, 0})}},
        {"8", 8, palette, {bytes({0, 1, 2}), bytes({3, 4, 0})}},
        {"4", 4, palette, {bytes({0x01, 0x20}), bytes({0x34, 0x00})}},
        {"1", 1, {0x00FF0000, 0x0000FF00}, {bytes({0b01000000}), bytes({0b10100000})}},
        {"16", 16, {}, {bytes({0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x00}), bytes({0xFF, 0x7F, 0x00, 0x00, 0x00, 0x7C})}},
        {"32 bit fields",
         32,
         {},
         {bytes({0, 0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0}), bytes({0, 255, 255, 255, 0, 0, 0, 0, 0, 0, 0, 255})},
         3,
         {0xFF000000, 0x00FF0000, 0x0000FF00}},
    };
    for (const Case& c : cases) {
        std::vector<std::uint32_t> want = expected;
        if (c.bits == 1) want = {kRed, kGreen, kRed, kGreen, kRed, kGreen}; // two colours only
        for (int sign : {1, -1}) {
            auto picture = bmp::decode(makeBmp(3, 2 * sign, c.bits, c.palette, c.rows, c.compression, c.masks));
            ASSERT_TRUE(picture.ok()) << c.name << " " << picture.message();
            EXPECT_EQ(picture->width, 3);
            EXPECT_EQ(picture->height, 2);
            EXPECT_EQ(picture->pixels, want) << c.name << (sign < 0 ? " top-down" : " bottom-up");
        }
    }
}

TEST(Bmp, PaletteIndexesPastTheEndReadAsBlack)
{
    auto picture = bmp::decode(makeBmp(2, 1, 8, {0x00FFFFFF}, {bytes({0, 200})}));
    ASSERT_TRUE(picture.ok());
    EXPECT_EQ(picture->pixels, (std::vector<std::uint32_t>{kWhite, kBlack}));
}

TEST(Bmp, BrokenFilesFailWithoutCrashing)
{
    std::string good = makeBmp(3, 2, 24, {}, {std::string(9, '\0'), std::string(9, '\0')});
    ASSERT_TRUE(bmp::decode(good).ok());

    auto with = [&](std::size_t at, std::uint32_t v, bool wide = true) {
        std::string b = good;
        wide ? put32(b, at, v) : put16(b, at, v);
        return b;
    };
    const std::pair<const char*, std::string> broken[] = {
        {"empty", ""},
        {"not BM", "XX" + good.substr(2)},
        {"header only", good.substr(0, 20)},
        {"truncated pixels", good.substr(0, good.size() - 1)},
        {"zero width", with(18, 0)},
        {"negative width", with(18, static_cast<std::uint32_t>(-3))},
        {"huge", with(18, 0x7FFFFFFF)},
        {"huge height", with(22, 0x80000001)},
        {"RLE", with(30, 1)},
        {"bits 7", with(28, 7, false)},
        {"bits 0", with(28, 0, false)},
        {"header size 1000000", with(14, 1000000)},
        {"header size 20", with(14, 20)},
        {"offset past the end", with(10, 0xFFFFFFF0)},
        {"bit fields on 24 bits", with(30, 3)},
    };
    for (const auto& [name, b] : broken)
        EXPECT_FALSE(bmp::decode(b).ok()) << name;

    // Random damage to a valid file never crashes and never reads outside it (run under the sanitizers).
    std::mt19937 random(7);
    std::string palettised = makeBmp(5, 3, 4, {0, 0xFFFFFF, 0xFF}, {"\x01\x23\x40", "\x00\x00\x00", "\x11\x11\x10"});
    for (int i = 0; i < 2000; ++i) {
        std::string b = i % 2 ? palettised : good;
        for (int k = 0; k < 4; ++k)
            b[random() % b.size()] = static_cast<char>(random() & 0xFF);
        b.resize(random() % (b.size() + 1));
        auto picture = bmp::decode(b);
        if (picture.ok()) {
            EXPECT_EQ(picture->pixels.size(), static_cast<std::size_t>(picture->width * picture->height));
        }
    }
}

TEST(Bmp, ReadsFilesAndNamesAMissingOne)
{
    test::TempFolder folder;
    std::string path = folder.systemPath("fig.bmp");
    {
        std::ofstream out(folder.path() + "/fig.bmp", std::ios::binary);
        out << makeBmp(1, 1, 24, {}, {bytes({0, 0, 255})});
    }
    auto picture = bmp::readFile(path);
    ASSERT_TRUE(picture.ok());
    EXPECT_EQ(picture->pixels, std::vector<std::uint32_t>{kRed});

    auto missing = bmp::readFile(folder.systemPath("none.bmp"));
    EXPECT_FALSE(missing.ok());
    EXPECT_EQ(missing.message(), "ファイル "_sj + folder.systemPath("none.bmp") + " が見つかりません"_sj);
}
