#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "imaging/Resampling.h"
#include "support/Errors.h"
#include "support/Rounding.h"

namespace pixadra {
namespace {

Bitmap RandomBitmap(int width, int height, std::mt19937& random) {
    Bitmap bitmap(width, height);
    std::uniform_int_distribution<int> byte(0, 255);
    for (std::size_t i = 0; i < bitmap.ByteCount(); ++i)
        bitmap.Data()[i] = static_cast<uint8_t>(byte(random));
    return bitmap;
}

// Weight of source pixel i in target pixel t along an axis of N source and n target pixels,
// straight from the definition: the overlap of [t*N/n, (t+1)*N/n) with [i, i+1) in units of
// 1/n when shrinking; the pixel under the target pixel's centre otherwise.
int64_t AxisWeight(int64_t N, int64_t n, int64_t t, int64_t i) {
    if (n >= N) return i == ((2 * t + 1) * N) / (2 * n) ? 1 : 0;
    return std::max<int64_t>(0, std::min((t + 1) * N, (i + 1) * n) - std::max(t * N, i * n));
}

Bitmap ReferenceResample(const Bitmap& source, int width, int height) {
    const int W = source.Width(), H = source.Height();
    const long double total = static_cast<long double>(width >= W ? 1 : W) * (height >= H ? 1 : H);
    Bitmap result(width, height);
    for (int ty = 0; ty < height; ++ty)
        for (int tx = 0; tx < width; ++tx)
            for (int c = 0; c < 3; ++c) {
                int64_t sum = 0;
                for (int y = 0; y < H; ++y)
                    for (int x = 0; x < W; ++x)
                        sum += source.Row(y)[3 * x + c] * AxisWeight(W, width, tx, x) *
                               AxisWeight(H, height, ty, y);
                result.Row(ty)[3 * tx + c] = static_cast<uint8_t>(RoundHalfEven(sum / total));
            }
    return result;
}

TEST(BoxResample, MatchesTheDefinitionOnRandomSizes) {
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> side(1, 19);
    for (int round = 0; round < 400; ++round) {
        const Bitmap source = RandomBitmap(side(random), side(random), random);
        const int width = side(random), height = side(random);
        Bitmap target;
        BoxResample(source, target, width, height);
        ASSERT_EQ(target, ReferenceResample(source, width, height))
            << source.Width() << "x" << source.Height() << " -> " << width << "x" << height;
    }
}

struct RowCase {
    const char* name;
    std::vector<int> source;  // grey values of a one-row picture
    int width;
    std::vector<int> expected;
};

class BoxResampleRow : public ::testing::TestWithParam<RowCase> {};

TEST_P(BoxResampleRow, GivesTheExpectedGreys) {
    const RowCase& c = GetParam();
    Bitmap source(static_cast<int>(c.source.size()), 1);
    for (std::size_t i = 0; i < c.source.size(); ++i) std::fill_n(source.Data() + 3 * i, 3, c.source[i]);
    Bitmap target;
    BoxResample(source, target, c.width, 1);
    ASSERT_EQ(target.Width(), c.width);
    for (int x = 0; x < c.width; ++x) {
        for (int k = 0; k < 3; ++k) EXPECT_EQ(target.Row(0)[3 * x + k], c.expected[x]) << "pixel " << x;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BoxResampleRow,
    ::testing::Values(RowCase{"HalvingAveragesPairs", {10, 20, 30, 50, 0, 255}, 3, {15, 40, 128}},
                      RowCase{"HalfRoundsToEven", {10, 11, 11, 12}, 2, {10, 12}},
                      // 3 -> 2: weights 2,1 and 1,2 over 3.
                      RowCase{"ThirdsWeighByOverlap", {0, 90, 255}, 2, {30, 200}},
                      RowCase{"EnlargingRepeats", {7, 200}, 5, {7, 7, 200, 200, 200}},
                      RowCase{"SameSizeCopies", {1, 2, 3}, 3, {1, 2, 3}},
                      RowCase{"ToOnePixelAveragesAll", {0, 0, 0, 255}, 1, {64}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BoxResample, KeepsAUniformColourAtEverySize) {
    Bitmap source(997, 13);
    source.Fill(201, 17, 99);
    for (const auto& [w, h] : {std::pair{1, 1}, {3, 2}, {500, 13}, {996, 12}, {2000, 40}, {5, 100}}) {
        Bitmap target;
        BoxResample(source, target, w, h);
        Bitmap expected(w, h);
        expected.Fill(201, 17, 99);
        EXPECT_EQ(target, expected) << w << "x" << h;
    }
}

TEST(BoxResample, WorksInPlace) {
    std::mt19937 random(7);
    Bitmap bitmap = RandomBitmap(31, 17, random);
    Bitmap expected;
    BoxResample(bitmap, expected, 12, 40);
    BoxResample(bitmap, bitmap, 12, 40);
    EXPECT_EQ(bitmap, expected);
}

TEST(BoxResample, RefusesEmptySizes) {
    Bitmap source(4, 4), target(2, 2);
    target.Fill(1, 2, 3);
    const Bitmap before = target;
    EXPECT_THROW(BoxResample(source, target, 0, 3), SizeError);
    EXPECT_THROW(BoxResample(source, target, 3, -1), SizeError);
    EXPECT_THROW(BoxResample(Bitmap(), target, 3, 3), SizeError);
    EXPECT_EQ(target, before);
}

// A column of 16843010 values of 255 sums past 2^32; the sums must not wrap.
TEST(BoxResample, TallPicturesDoNotOverflowTheColumnSums) {
    Bitmap source(1, 16843010);
    source.Fill(255, 255, 255);
    Bitmap target;
    BoxResample(source, target, 1, 2);
    Bitmap expected(1, 2);
    expected.Fill(255, 255, 255);
    EXPECT_EQ(target, expected);
}

TEST(ResampleTo, ReportsFailureAndKeepsTheBitmap) {
    Bitmap bitmap(5, 5);
    bitmap.Fill(9, 8, 7);
    const Bitmap before = bitmap;
    EXPECT_FALSE(ResampleTo(bitmap, 0, 5));
    EXPECT_EQ(bitmap, before);
    EXPECT_TRUE(ResampleTo(bitmap, 10, 1));
    EXPECT_EQ(bitmap.Width(), 10);
    EXPECT_EQ(bitmap.Height(), 1);
}

}  // namespace
}  // namespace pixadra
