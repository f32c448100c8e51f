#include <gtest/gtest.h>

#include <random>

#include "imaging/Blend.h"
#include "support/Rounding.h"

namespace pixadra {
namespace {

Bitmap Grey(int width, int height, uint8_t value) {
    Bitmap bitmap(width, height);
    bitmap.Fill(value, value, value);
    return bitmap;
}

struct MixCase {
    int a, b, percent, expected;
};

TEST(BlendBitmaps, MixesEachChannelRoundedHalfToEven) {
    const MixCase cases[] = {
        {10, 11, 50, 10},     {11, 12, 50, 12}, {0, 255, 50, 128},   {255, 0, 50, 128},   {200, 100, 0, 200},
        {200, 100, 100, 100}, {0, 255, 37, 94}, {100, 200, 25, 125}, {255, 255, 63, 255}, {3, 4, 50, 4},
    };
    for (const MixCase& c : cases) {
        Bitmap out;
        ASSERT_TRUE(BlendBitmaps(Grey(2, 1, c.a), Grey(2, 1, c.b), out, c.percent / 100.0L));
        EXPECT_EQ(out, Grey(2, 1, c.expected)) << c.a << " " << c.b << " " << c.percent << "%";
    }
}

TEST(BlendBitmaps, MatchesTheFormulaOverAWholePictureAndIgnoresTheRestOfB) {
    std::mt19937 random(42);
    Bitmap a(13, 7), b(20, 9);
    for (std::size_t i = 0; i < a.ByteCount(); ++i) a.Data()[i] = static_cast<uint8_t>(random());
    for (std::size_t i = 0; i < b.ByteCount(); ++i) b.Data()[i] = static_cast<uint8_t>(random());
    for (int percent : {0, 1, 33, 50, 99, 100}) {
        const long double x = percent / 100.0L;
        Bitmap out(1, 1);
        ASSERT_TRUE(BlendBitmaps(a, b, out, x));
        ASSERT_EQ(out.Width(), 13);
        ASSERT_EQ(out.Height(), 7);
        for (int y = 0; y < 7; ++y)
            for (int i = 0; i < 13 * 3; ++i)
                ASSERT_EQ(out.Row(y)[i], RoundHalfEven((1 - x) * a.Row(y)[i] + x * b.Row(y)[i]))
                    << percent << "% at " << i / 3 << "/" << y;
        if (percent == 0) {
            EXPECT_EQ(out, a);
        }
    }
}

TEST(BlendBitmaps, MayWriteOverEitherInput) {
    std::mt19937 random(3);
    Bitmap a(5, 4), b(6, 4);
    for (std::size_t i = 0; i < a.ByteCount(); ++i) a.Data()[i] = static_cast<uint8_t>(random());
    for (std::size_t i = 0; i < b.ByteCount(); ++i) b.Data()[i] = static_cast<uint8_t>(random());
    Bitmap expected;
    ASSERT_TRUE(BlendBitmaps(a, b, expected, 0.3L));
    Bitmap intoA = a, intoB = b;
    ASSERT_TRUE(BlendBitmaps(intoA, b, intoA, 0.3L));
    ASSERT_TRUE(BlendBitmaps(a, intoB, intoB, 0.3L));
    EXPECT_EQ(intoA, expected);
    EXPECT_EQ(intoB, expected);
}

TEST(BlendBitmaps, RefusesASecondPictureSmallerThanTheFirst) {
    Bitmap out(2, 2);
    const Bitmap before = out;
    EXPECT_FALSE(BlendBitmaps(Grey(4, 4, 1), Grey(3, 4, 1), out, 0.5L));
    EXPECT_FALSE(BlendBitmaps(Grey(4, 4, 1), Grey(4, 3, 1), out, 0.5L));
    EXPECT_EQ(out, before);
}

}  // namespace
}  // namespace pixadra
