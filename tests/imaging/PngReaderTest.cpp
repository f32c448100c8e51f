// The PNG reader on files written here with libpng: every colour type and bit depth, Adam7
// interlacing, alpha and tRNS composited over white, and headers it must refuse.
#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <string>
#include <vector>

#include "PictureFixtures.h"
#include "imaging/PictureLoader.h"
#include "support/Errors.h"

namespace pixadra {
namespace {

using testing::EncodePng;
using testing::PngRecipe;

// Colour over white with alpha, rounded: (c * a + 255 * (255 - a)) / 255.
uint8_t Over(int colour, int alpha) {
    return static_cast<uint8_t>((colour * alpha + 255 * (255 - alpha) + 127) / 255);
}

std::vector<uint8_t> Rgb(const Bitmap& bitmap) {
    std::vector<uint8_t> rgb;
    for (int y = 0; y < bitmap.Height(); ++y) {
        const uint8_t* p = bitmap.Row(y);
        for (int x = 0; x < bitmap.Width(); ++x, p += 3) rgb.insert(rgb.end(), {p[2], p[1], p[0]});
    }
    return rgb;
}

struct PngCase {
    const char* name;
    PngRecipe recipe;  // not interlaced; the test tries both
    std::vector<uint8_t> expectedRgb;
};

PngRecipe Recipe(int width, int height, int colourType, int bitDepth, std::vector<uint8_t> rows,
                 std::vector<uint8_t> palette = {}, std::vector<uint8_t> paletteAlpha = {},
                 int transparentGrey = -1) {
    PngRecipe recipe;
    recipe.width = width;
    recipe.height = height;
    recipe.colourType = colourType;
    recipe.bitDepth = bitDepth;
    recipe.rows = std::move(rows);
    recipe.palette = std::move(palette);
    recipe.paletteAlpha = std::move(paletteAlpha);
    recipe.transparentGrey = transparentGrey;
    return recipe;
}

std::vector<PngCase> Cases() {
    // Three pixels in one row unless said otherwise.
    return {
        {"Grey1", Recipe(3, 1, PNG_COLOR_TYPE_GRAY, 1, {0xA0}), {255, 255, 255, 0, 0, 0, 255, 255, 255}},
        {"Grey2", Recipe(3, 1, PNG_COLOR_TYPE_GRAY, 2, {0x1B}), {0, 0, 0, 85, 85, 85, 170, 170, 170}},
        {"Grey4",
         Recipe(3, 1, PNG_COLOR_TYPE_GRAY, 4, {0x1F, 0x80}),
         {17, 17, 17, 255, 255, 255, 136, 136, 136}},
        {"Grey8", Recipe(3, 1, PNG_COLOR_TYPE_GRAY, 8, {0, 99, 255}), {0, 0, 0, 99, 99, 99, 255, 255, 255}},
        // 16-bit samples scale by 255 / 65535 with rounding (257 * k is k).
        {"Grey16",
         Recipe(3, 1, PNG_COLOR_TYPE_GRAY, 16, {0x01, 0x01, 0xFF, 0xFF, 0x64, 0x96}),
         {1, 1, 1, 255, 255, 255, 100, 100, 100}},
        // A tRNS grey value is fully transparent: white.
        {"Grey8Transparent",
         Recipe(3, 1, PNG_COLOR_TYPE_GRAY, 8, {7, 8, 9}, {}, {}, 8),
         {7, 7, 7, 255, 255, 255, 9, 9, 9}},
        {"GreyAlpha8",
         Recipe(3, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 8, {10, 255, 10, 0, 10, 128}),
         {10, 10, 10, 255, 255, 255, Over(10, 128), Over(10, 128), Over(10, 128)}},
        {"Rgb8",
         Recipe(3, 1, PNG_COLOR_TYPE_RGB, 8, {1, 2, 3, 4, 5, 6, 7, 8, 9}),
         {1, 2, 3, 4, 5, 6, 7, 8, 9}},
        {"Rgb16", Recipe(1, 1, PNG_COLOR_TYPE_RGB, 16, {0x01, 0x01, 0x02, 0x02, 0xFF, 0xFF}), {1, 2, 255}},
        {"Rgba8",
         Recipe(3, 1, PNG_COLOR_TYPE_RGB_ALPHA, 8, {200, 100, 50, 255, 200, 100, 50, 0, 200, 100, 50, 64}),
         {200, 100, 50, 255, 255, 255, Over(200, 64), Over(100, 64), Over(50, 64)}},
        {"Rgba16",
         Recipe(1, 1, PNG_COLOR_TYPE_RGB_ALPHA, 16, {0x64, 0x64, 0, 0, 0xC8, 0xC8, 0x80, 0x80}),
         {Over(100, 128), Over(0, 128), Over(200, 128)}},
        {"Palette2",
         Recipe(3, 1, PNG_COLOR_TYPE_PALETTE, 2, {0x24}, {9, 8, 7, 1, 2, 3, 4, 5, 6}),
         {9, 8, 7, 4, 5, 6, 1, 2, 3}},
        // tRNS gives palette entries alpha; entries past it stay opaque.
        {"Palette8Alpha",
         Recipe(3, 1, PNG_COLOR_TYPE_PALETTE, 8, {0, 1, 2}, {90, 60, 30, 90, 60, 30, 90, 60, 30}, {0, 100}),
         {255, 255, 255, Over(90, 100), Over(60, 100), Over(30, 100), 90, 60, 30}},
    };
}

class PngDecode : public ::testing::TestWithParam<PngCase> {};

TEST_P(PngDecode, GivesTheStoredColoursOverWhite) {
    for (bool interlaced : {false, true}) {
        PngRecipe recipe = GetParam().recipe;
        recipe.interlaced = interlaced;
        const std::vector<uint8_t> file = EncodePng(recipe);
        const Bitmap bitmap = DecodePng(file.data(), file.size(), GetParam().name);
        EXPECT_EQ(Rgb(bitmap), GetParam().expectedRgb) << (interlaced ? "interlaced" : "not interlaced");
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, PngDecode, ::testing::ValuesIn(Cases()),
                         [](const auto& info) { return std::string(info.param.name); });

// Adam7 passes of a picture larger than one 8 x 8 block land where they belong.
TEST(PngReader, InterlacedEqualsPlainForAnOddSize) {
    const Bitmap picture = testing::Gradient(37, 23);
    for (bool withAlpha : {false, true}) {
        PngRecipe recipe;
        recipe.width = picture.Width();
        recipe.height = picture.Height();
        recipe.colourType = withAlpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB;
        for (int y = 0; y < recipe.height; ++y) {
            const uint8_t* p = picture.Row(y);
            for (int x = 0; x < recipe.width; ++x, p += 3) {
                recipe.rows.insert(recipe.rows.end(), {p[2], p[1], p[0]});
                if (withAlpha) recipe.rows.push_back(255);
            }
        }
        for (bool interlaced : {false, true}) {
            recipe.interlaced = interlaced;
            const std::vector<uint8_t> file = EncodePng(recipe);
            EXPECT_EQ(DecodePng(file.data(), file.size(), "gradient"), picture)
                << (withAlpha ? "alpha, " : "") << (interlaced ? "interlaced" : "plain");
        }
    }
}

// Writes new width and height into the IHDR of a PNG, with a correct checksum.
std::vector<uint8_t> WithSize(std::vector<uint8_t> file, uint32_t width, uint32_t height) {
    const std::size_t ihdr = 8 + 4;  // after the signature and the chunk length
    for (int i = 0; i < 4; ++i) {
        file[ihdr + 4 + i] = static_cast<uint8_t>(width >> (24 - 8 * i));
        file[ihdr + 8 + i] = static_cast<uint8_t>(height >> (24 - 8 * i));
    }
    const uLong crc = crc32(0, file.data() + ihdr, 4 + 13);
    for (int i = 0; i < 4; ++i) file[ihdr + 17 + i] = static_cast<uint8_t>(crc >> (24 - 8 * i));
    return file;
}

TEST(PngReader, RefusesSizesTheDataCannotHoldWithoutAllocating) {
    const std::vector<uint8_t> small = EncodePng(testing::Gradient(4, 4));
    const uint32_t sizes[][2] = {{20000, 20000}, {100000, 100000}, {1, 1000000}};
    for (const auto& size : sizes) {
        const std::vector<uint8_t> file = WithSize(small, size[0], size[1]);
        testing::LargestAllocation largest;
        EXPECT_THROW(DecodePng(file.data(), file.size(), "claim"), PixadraError)
            << size[0] << " x " << size[1];
        EXPECT_LT(largest.Bytes(), std::size_t{1} << 20);
    }
}

TEST(PngReader, RefusesDamagedFiles) {
    const std::vector<uint8_t> good = EncodePng(testing::Gradient(16, 16));
    std::vector<uint8_t> badSignature = good;
    badSignature[1] = 'Q';
    std::vector<uint8_t> badCrc = good;
    badCrc[29] ^= 0xFF;  // inside the IHDR checksum
    std::vector<uint8_t> cut(good.begin(), good.end() - 40);
    const std::string text = "this is not a picture";
    const std::vector<uint8_t> notPng(text.begin(), text.end());
    for (const auto& file : {badSignature, badCrc, cut, notPng, std::vector<uint8_t>{}}) {
        EXPECT_THROW(DecodePng(file.data(), file.size(), "damaged"), DecodeError);
    }
}

}  // namespace
}  // namespace pixadra
