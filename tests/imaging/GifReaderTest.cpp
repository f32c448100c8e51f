// The GIF reader on files written here with giflib: the first frame on the logical screen,
// transparency and uncovered screen over white, interlacing, and frames built from several images.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "PictureFixtures.h"
#include "imaging/PictureLoader.h"
#include "support/Errors.h"

namespace pixadra {
namespace {

using testing::EncodeGif;
using testing::GifImage;
using testing::GifRecipe;

constexpr uint32_t R = 0xFF0000, G = 0x00FF00, B = 0x0000FF, W = 0xFFFFFF, K = 0x000000;
// Global palette: 0 red, 1 green, 2 blue, 3 black.
const std::vector<uint8_t> kPalette = {255, 0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0};

std::vector<uint32_t> PixelsOf(const Bitmap& bitmap) {
    std::vector<uint32_t> pixels;
    for (int y = 0; y < bitmap.Height(); ++y) {
        const uint8_t* p = bitmap.Row(y);
        for (int x = 0; x < bitmap.Width(); ++x, p += 3) pixels.push_back(p[2] << 16 | p[1] << 8 | p[0]);
    }
    return pixels;
}

GifImage Image(int left, int top, int width, int height, std::vector<uint8_t> indices) {
    GifImage image;
    image.left = left;
    image.top = top;
    image.width = width;
    image.height = height;
    image.indices = std::move(indices);
    return image;
}

struct GifCase {
    const char* name;
    GifRecipe recipe;
    std::vector<uint32_t> expected;  // the screen, top row first
};

std::vector<GifCase> Cases() {
    GifImage transparent = Image(0, 0, 2, 1, {1, 3});
    transparent.transparent = 3;
    GifImage paused = Image(0, 0, 2, 1, {0, 0});
    paused.delay = 10;
    GifImage local = Image(0, 0, 2, 1, {0, 1});
    local.localPalette = {1, 2, 3, 4, 5, 6};
    std::vector<uint8_t> rows10;
    for (int y = 0; y < 10; ++y) rows10.push_back(static_cast<uint8_t>(y % 4));
    GifImage interlaced = Image(0, 0, 1, 10, rows10);
    interlaced.interlaced = true;
    std::vector<uint32_t> column10;
    for (int y = 0; y < 10; ++y) column10.push_back(std::vector<uint32_t>{R, G, B, K}[y % 4]);
    return {
        {"OneImage", {2, 2, kPalette, {Image(0, 0, 2, 2, {0, 1, 2, 3})}}, {R, G, B, K}},
        {"Interlaced", {1, 10, kPalette, {interlaced}}, column10},
        {"LocalPalette", {2, 1, kPalette, {local}}, {0x010203, 0x040506}},
        {"TransparentIsWhite", {2, 1, kPalette, {transparent}}, {G, W}},
        // Screen outside the image is white; image parts outside the screen are cut off.
        {"ImageInsideScreen", {3, 2, kPalette, {Image(1, 1, 1, 1, {2})}}, {W, W, W, W, B, W}},
        {"ImagePartlyOutside", {2, 2, kPalette, {Image(1, 1, 2, 2, {0, 1, 2, 3})}}, {W, W, W, R}},
        // Images without a pause make up one frame...
        {"ImagesCombine", {2, 1, kPalette, {Image(0, 0, 1, 1, {0}), Image(1, 0, 1, 1, {2})}}, {R, B}},
        // ...a pause ends it...
        {"PauseEndsFrame", {2, 1, kPalette, {paused, Image(1, 0, 1, 1, {2})}}, {R, R}},
        // ...and so does an image that covers the whole screen.
        {"FullScreenImageStartsNextFrame",
         {2, 1, kPalette, {Image(0, 0, 2, 1, {0, 1}), Image(0, 0, 2, 1, {2, 2})}},
         {R, G}},
    };
}

class GifDecode : public ::testing::TestWithParam<GifCase> {};

TEST_P(GifDecode, ShowsTheFirstFrame) {
    const GifCase& c = GetParam();
    const std::vector<uint8_t> file = EncodeGif(c.recipe);
    const Bitmap bitmap = DecodeGif(file.data(), file.size(), c.name);
    ASSERT_EQ(bitmap.Width(), c.recipe.screenWidth);
    ASSERT_EQ(bitmap.Height(), c.recipe.screenHeight);
    EXPECT_EQ(PixelsOf(bitmap), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, GifDecode, ::testing::ValuesIn(Cases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(GifReader, RefusesWhatHoldsNoPicture) {
    const std::vector<uint8_t> good =
        EncodeGif({4, 4, kPalette, {Image(0, 0, 4, 4, std::vector<uint8_t>(16, 1))}});
    const std::vector<uint8_t> noImage = EncodeGif({4, 4, kPalette, {}});
    // giflib will not write a file without colour tables, so this one is put together by hand:
    // a 1 x 1 screen, one 1 x 1 image, LZW codes clear, 0, end.
    const std::vector<uint8_t> noPalette = {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0,    0,    0, 0x2C, 0,
                                            0,   0,   0,   1,   0,   1,   0, 0, 2, 2, 0x44, 0x01, 0, 0x3B};
    const std::vector<uint8_t> cut(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(good.size()) - 8);
    for (const auto& file : {noImage, noPalette, cut, std::vector<uint8_t>{'G', 'I', 'F'}}) {
        EXPECT_THROW(DecodeGif(file.data(), file.size(), "broken"), PixadraError);
    }
}

TEST(GifReader, RefusesAHugeScreenInATinyFileWithoutAllocating) {
    const std::vector<uint8_t> file = EncodeGif({20000, 20000, kPalette, {Image(0, 0, 1, 1, {0})}});
    testing::LargestAllocation largest;
    EXPECT_THROW(DecodeGif(file.data(), file.size(), "huge"), SizeError);
    EXPECT_LT(largest.Bytes(), std::size_t{1} << 20);
}

}  // namespace
}  // namespace pixadra
