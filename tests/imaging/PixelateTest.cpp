#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "imaging/Resampling.h"

namespace pixadra {
namespace {

struct PixelateCase {
    int width, height, blockWidth, blockHeight;
};

class PixelateCases : public ::testing::TestWithParam<PixelateCase> {};

// Every pixel takes the colour of the top-left pixel of its block; blocks below 1 act as 1.
TEST_P(PixelateCases, EveryPixelTakesItsBlocksTopLeftColour) {
    const PixelateCase& c = GetParam();
    std::mt19937 random(c.width * 1000 + c.height);
    Bitmap source(c.width, c.height);
    for (std::size_t i = 0; i < source.ByteCount(); ++i) source.Data()[i] = static_cast<uint8_t>(random());
    Bitmap bitmap = source;
    Pixelate(bitmap, c.blockWidth, c.blockHeight);
    const int bw = std::max(c.blockWidth, 1), bh = std::max(c.blockHeight, 1);
    for (int y = 0; y < c.height; ++y) {
        for (int x = 0; x < c.width; ++x) {
            const uint8_t* expected = source.Row(y / bh * bh) + 3 * (x / bw * bw);
            ASSERT_TRUE(std::equal(expected, expected + 3, bitmap.Row(y) + 3 * x)) << x << "/" << y;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, PixelateCases,
                         ::testing::Values(PixelateCase{25, 25, 10, 10}, PixelateCase{7, 5, 3, 2},
                                           PixelateCase{9, 4, 1, 1}, PixelateCase{9, 4, 0, -3},
                                           PixelateCase{6, 6, 100, 100}, PixelateCase{1, 30, 4, 7},
                                           PixelateCase{0, 0, 4, 4}));

// 25 x 25 in blocks of 10 x 10: three bands of 10, 10 and 5 rows, three blocks of 10, 10 and 5
// columns each, nine blocks in all.
TEST(Pixelate, CountsNineBlocksIn25x25) {
    Bitmap bitmap(25, 25);
    for (int y = 0; y < 25; ++y)
        for (int x = 0; x < 25; ++x) bitmap.Row(y)[3 * x] = static_cast<uint8_t>(y * 25 + x);
    Pixelate(bitmap, 10, 10);
    int sizes[256] = {};
    for (int y = 0; y < 25; ++y)
        for (int x = 0; x < 25; ++x) ++sizes[bitmap.Row(y)[3 * x]];
    const int topLeft[] = {0, 10, 20, 250 % 256, 260 % 256, 270 % 256, 500 % 256, 510 % 256, 520 % 256};
    const int area[] = {100, 100, 50, 100, 100, 50, 50, 50, 25};
    int total = 0;
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(sizes[topLeft[i]], area[i]) << "block " << i;
        total += sizes[topLeft[i]];
    }
    EXPECT_EQ(total, 625);
}

}  // namespace
}  // namespace pixadra
