#include <gtest/gtest.h>

#include <random>

#include "engine/AddPictures.h"
#include "support/Rounding.h"

namespace pixadra {
namespace {

Bitmap RandomBitmap(int width, int height, unsigned seed) {
    Bitmap bitmap(width, height);
    std::mt19937 rng(seed);
    for (std::size_t i = 0; i < bitmap.ByteCount(); ++i) bitmap.Data()[i] = static_cast<uint8_t>(rng());
    return bitmap;
}

// The rule as written, one pixel at a time.
int SubCell(int position, int quarter) {
    if (position < quarter) return 0;
    if (position < 2 * quarter) return 1;
    if (position < 3 * quarter) return 2;
    return 3;
}

ColorSignature SlowSignature(const Bitmap& bitmap) {
    ColorSignature signature{};
    const int bw = static_cast<int>(RoundHalfEven(bitmap.Width() / 4.0L));
    const int bh = static_cast<int>(RoundHalfEven(bitmap.Height() / 4.0L));
    for (int y = 0; y < bitmap.Height(); ++y) {
        for (int x = 0; x < bitmap.Width(); ++x) {
            const uint8_t* p = bitmap.Row(y) + 3 * x;
            const int c = SubCell(x, bw), r = SubCell(y, bh);
            signature[SignatureIndex(c, r, 0)] += p[2];
            signature[SignatureIndex(c, r, 1)] += p[1];
            signature[SignatureIndex(c, r, 2)] += p[0];
            signature[SignatureIndex(c, r, 3)] += 1;
        }
    }
    return signature;
}

TEST(TileSignature, MatchesThePixelByPixelRule) {
    const int sizes[][2] = {{0, 0},   {1, 1},  {2, 2}, {3, 3},     {6, 6},
                            {10, 10}, {7, 13}, {5, 2}, {346, 259}, {259, 346}};
    unsigned seed = 1;
    for (const auto& size : sizes) {
        const Bitmap bitmap = RandomBitmap(size[0], size[1], seed++);
        const ColorSignature expected = SlowSignature(bitmap);
        ColorSignature signature;
        signature.fill(-1);
        TileSignature(bitmap, signature);
        EXPECT_EQ(signature, expected) << size[0] << "x" << size[1];

        PackedSignature packed{};
        for (int c = 0; c < 4; ++c)
            for (int r = 0; r < 4; ++r)
                for (int k = 0; k < 3; ++k) {
                    const int count = expected[SignatureIndex(c, r, 3)];
                    packed[PackedIndex(c, r, k)] =
                        count == 0 ? 0 : static_cast<uint8_t>(expected[SignatureIndex(c, r, k)] / count);
                }
        EXPECT_EQ(PackedTileSignature(bitmap), packed) << size[0] << "x" << size[1];
    }
}

TEST(TileSignature, QuarterWidths) {
    // Pixel counts of the four sub-columns of the top sub-row.
    struct Case {
        int width;
        int counts[4];
    };
    const Case cases[] = {
        {10, {2, 2, 2, 4}},  // Round(2.5) = 2
        {3, {1, 1, 1, 0}},   // the fourth stays empty (black when packed)
        {6, {2, 2, 2, 0}},   // Round(1.5) = 2
        {2, {0, 0, 0, 2}},   // Round(0.5) = 0: everything in the fourth
        {14, {4, 4, 4, 2}},  // Round(3.5) = 4
    };
    for (const Case& c : cases) {
        Bitmap bitmap(c.width, 4);
        bitmap.Fill(200, 100, 50);
        ColorSignature signature;
        TileSignature(bitmap, signature);
        for (int column = 0; column < 4; ++column) {
            EXPECT_EQ(signature[SignatureIndex(column, 0, 3)], c.counts[column]) << c.width << " " << column;
        }
        const PackedSignature packed = PackedTileSignature(bitmap);
        for (int column = 0; column < 4; ++column) {
            const uint8_t red = c.counts[column] ? 200 : 0;
            EXPECT_EQ(packed[PackedIndex(column, 0, 0)], red) << c.width << " " << column;
        }
    }
}

}  // namespace
}  // namespace pixadra
