// The BMP reader on small files built here: every bit depth, bit masks, both row orders, the
// OS/2 header, run-length data with its clipping, and the headers it must refuse.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "PictureFixtures.h"
#include "imaging/PictureLoader.h"
#include "support/Errors.h"

namespace pixadra {
namespace {

using Bytes = std::vector<uint8_t>;

void Put16(Bytes& b, std::size_t at, uint32_t v) {
    b[at] = static_cast<uint8_t>(v);
    b[at + 1] = static_cast<uint8_t>(v >> 8);
}
void Put32(Bytes& b, std::size_t at, uint32_t v) {
    Put16(b, at, v);
    Put16(b, at + 2, v >> 16);
}

struct BmpRecipe {
    uint32_t headerSize = 40;
    int32_t width = 0;
    int32_t height = 0;  // negative: top-down
    int bits = 24;
    uint32_t compression = 0;
    std::vector<uint32_t> masks;    // written after a 40-byte header, or inside a longer one
    std::vector<uint32_t> palette;  // 0x00RRGGBB
    Bytes pixels;                   // exactly as stored
};

Bytes MakeBmp(const BmpRecipe& recipe) {
    const bool core = recipe.headerSize == 12;
    const std::size_t entry = core ? 3 : 4;
    const std::size_t masksAfter = recipe.headerSize == 40 ? recipe.masks.size() * 4 : 0;
    const std::size_t offset = 14 + recipe.headerSize + masksAfter + recipe.palette.size() * entry;
    Bytes b(offset, 0);
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 2, static_cast<uint32_t>(offset + recipe.pixels.size()));
    Put32(b, 10, static_cast<uint32_t>(offset));
    Put32(b, 14, recipe.headerSize);
    if (core) {
        Put16(b, 18, static_cast<uint32_t>(recipe.width));
        Put16(b, 20, static_cast<uint32_t>(recipe.height));
        Put16(b, 22, 1);
        Put16(b, 24, static_cast<uint32_t>(recipe.bits));
    } else {
        Put32(b, 18, static_cast<uint32_t>(recipe.width));
        Put32(b, 22, static_cast<uint32_t>(recipe.height));
        Put16(b, 26, 1);
        Put16(b, 28, static_cast<uint32_t>(recipe.bits));
        Put32(b, 30, recipe.compression);
        Put32(b, 46, static_cast<uint32_t>(recipe.palette.size()));
    }
    std::size_t at = 14 + recipe.headerSize;
    for (std::size_t i = 0; i < recipe.masks.size(); ++i) {
        if (recipe.headerSize == 40) {
            Put32(b, at, recipe.masks[i]);
            at += 4;
        } else {
            Put32(b, 14 + 40 + 4 * i, recipe.masks[i]);
        }
    }
    for (uint32_t colour : recipe.palette) {
        b[at] = static_cast<uint8_t>(colour);
        b[at + 1] = static_cast<uint8_t>(colour >> 8);
        b[at + 2] = static_cast<uint8_t>(colour >> 16);
        at += entry;
    }
    b.insert(b.end(), recipe.pixels.begin(), recipe.pixels.end());
    return b;
}

// Expected pixels, top row first, as 0x00RRGGBB.
std::vector<uint32_t> PixelsOf(const Bitmap& bitmap) {
    std::vector<uint32_t> pixels;
    for (int y = 0; y < bitmap.Height(); ++y) {
        const uint8_t* p = bitmap.Row(y);
        for (int x = 0; x < bitmap.Width(); ++x, p += 3) pixels.push_back(p[2] << 16 | p[1] << 8 | p[0]);
    }
    return pixels;
}

constexpr uint32_t R = 0xFF0000, G = 0x00FF00, B = 0x0000FF, W = 0xFFFFFF, K = 0x000000, Y = 0xFFFF00;

struct DecodeCase {
    const char* name;
    BmpRecipe recipe;
    std::vector<uint32_t> expected;  // top row first
};

const DecodeCase kDecodeCases[] = {
    // Rows bottom-up, each padded to 4 bytes.
    {"OneBit", {40, 3, 2, 1, 0, {}, {K, R}, {0xA0, 0, 0, 0, 0x40, 0, 0, 0}}, {K, R, K, R, K, R}},
    {"TwoBits", {40, 3, 1, 2, 0, {}, {K, R, G, B}, {0x6C, 0, 0, 0}}, {R, G, B}},
    {"FourBits", {40, 3, 1, 4, 0, {}, {K, R, G}, {0x12, 0x00, 0, 0}}, {R, G, K}},
    // Indices past the palette show black.
    {"EightBitsPastPalette", {40, 2, 1, 8, 0, {}, {W, Y}, {1, 200, 0, 0}}, {Y, K}},
    {"TwentyFourBottomUp",
     {40, 2, 2, 24, 0, {}, {}, {0, 0, 255, 0, 255, 0, 0, 0, 255, 0, 0, 255, 255, 255, 0, 0}},
     {B, W, R, G}},
    {"TwentyFourTopDown",
     {40, 2, -2, 24, 0, {}, {}, {0, 0, 255, 0, 255, 0, 0, 0, 255, 0, 0, 255, 255, 255, 0, 0}},
     {R, G, B, W}},
    // 5-5-5 by default: a full field is 255, not 248; one step of 31 is 8.
    {"SixteenDefault",
     {40, 3, 1, 16, 0, {}, {}, {0xFF, 0x7F, 0x01, 0x00, 0x00, 0x7C, 0, 0}},
     {W, 0x000008, R}},
    {"SixteenFiveSixFive",
     {40, 2, 1, 16, 3, {0xF800, 0x07E0, 0x001F}, {}, {0xE0, 0x07, 0x20, 0x00}},
     {G, 0x000400}},
    {"ThirtyTwoDefault", {40, 2, 1, 32, 0, {}, {}, {1, 2, 3, 99, 4, 5, 6, 0}}, {0x030201, 0x060504}},
    {"ThirtyTwoMasksReversed",
     {40, 2, 1, 32, 3, {0x000000FF, 0x0000FF00, 0x00FF0000}, {}, {1, 2, 3, 0, 4, 5, 6, 0}},
     {0x010203, 0x040506}},
    {"ThirtyTwoMasksInV5Header",
     {124, 1, 1, 32, 3, {0xFF000000, 0x00FF0000, 0x0000FF00}, {}, {0, 3, 2, 1}},
     {0x010203}},
    // Fields of 10 bits: 1023 is 255, 512 rounds to 128.
    {"ThirtyTwoTenBitFields",
     {40,
      2,
      1,
      32,
      3,
      {0x3FF00000, 0x000FFC00, 0x000003FF},
      {},
      {0xFF, 0xFF, 0xFF, 0x3F, 0x00, 0x02, 0x00, 0x00}},
     {W, 0x000080}},
    {"Os2CoreHeader", {12, 2, 1, 8, 0, {}, {R, B}, {1, 0, 0, 0}}, {B, R}},
    // RLE8: a run clipped at the row's end, end of line, a literal, then end of picture.
    {"Rle8ClipsRuns",
     {40, 3, 2, 8, 1, {}, {K, R, G}, {5, 1, 0, 0, 0, 3, 2, 1, 2, 0, 0, 1}},
     {G, R, G, R, R, R}},
    // A delta skips pixels, which keep palette entry 0; a move past the top ends the picture.
    {"Rle8DeltaAndSkip",
     {40, 3, 2, 8, 1, {}, {Y, R}, {0, 2, 1, 1, 1, 1, 0, 2, 0, 9, 7, 1}},
     {Y, R, Y, Y, Y, Y}},
    // RLE4: a run alternates the two nibbles; a literal of three indices is padded to 16 bits.
    {"Rle4",
     {40, 4, 2, 4, 2, {}, {K, R, G}, {4, 0x12, 0, 0, 0, 3, 0x21, 0x20, 0, 1}},
     {G, R, G, K, R, G, R, G}},
};

class BmpDecode : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(BmpDecode, GivesTheStoredPixels) {
    const DecodeCase& c = GetParam();
    const Bytes file = MakeBmp(c.recipe);
    const Bitmap bitmap = DecodeBmp(file.data(), file.size(), c.name);
    ASSERT_EQ(bitmap.Width(), c.recipe.width);
    ASSERT_EQ(bitmap.Height(), std::abs(c.recipe.height));
    EXPECT_EQ(PixelsOf(bitmap), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, BmpDecode, ::testing::ValuesIn(kDecodeCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct RefuseCase {
    const char* name;
    BmpRecipe recipe;
    std::size_t cut = 0;  // bytes removed from the end
};

const RefuseCase kRefuseCases[] = {
    {"UnknownHeaderSize", {66, 1, 1, 24, 0, {}, {}, {0, 0, 0, 0}}},
    {"NegativeWidth", {40, -1, 1, 24, 0, {}, {}, {0, 0, 0, 0}}},
    {"ZeroHeight", {40, 1, 0, 24, 0, {}, {}, {0, 0, 0, 0}}},
    {"OddBitDepth", {40, 1, 1, 7, 0, {}, {}, {0, 0, 0, 0}}},
    {"HugeBitDepth", {40, 1, 1, 30000, 0, {}, {}, {0, 0, 0, 0}}},
    {"EmbeddedJpeg", {40, 1, 1, 24, 4, {}, {}, {0, 0, 0, 0}}},
    {"RleWithWrongDepth", {40, 1, 1, 24, 1, {}, {}, {0, 0, 0, 0}}},
    {"RleTopDown", {40, 1, -1, 8, 1, {}, {K}, {1, 0, 0, 1}}},
    {"RowsMissing", {40, 4, 4, 24, 0, {}, {}, Bytes(40, 0)}},
    {"RleEndsEarly", {40, 4, 4, 8, 1, {}, {K}, {4, 0, 0, 0, 4, 0}}},
    {"RleLiteralEndsEarly", {40, 4, 1, 8, 1, {}, {K}, {0, 4, 0, 0}}},
    {"HeaderCut", {40, 1, 1, 24, 0, {}, {}, {0, 0, 0, 0}}, 30},
};

class BmpRefuse : public ::testing::TestWithParam<RefuseCase> {};

TEST_P(BmpRefuse, ThrowsAPixadraError) {
    const RefuseCase& c = GetParam();
    Bytes file = MakeBmp(c.recipe);
    file.resize(file.size() - c.cut);
    EXPECT_THROW(DecodeBmp(file.data(), file.size(), c.name), PixadraError);
}

INSTANTIATE_TEST_SUITE_P(Cases, BmpRefuse, ::testing::ValuesIn(kRefuseCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Sizes that the data cannot back are refused before the picture is allocated.
TEST(BmpReader, RefusesClaimsBeyondTheDataWithoutAllocating) {
    struct Claim {
        int32_t width, height;
        int bits;
        uint32_t compression;
    };
    const Claim claims[] = {
        {3000000, 2000000, 24, 0},  // more than 2 GiB
        {20000, 20000, 24, 0},      // 1.2 GB of rows in a few bytes
        {20000, 20000, 8, 1},       // run-length data cannot cover that much either
        {1 << 30, 1, 1, 0},
    };
    for (const Claim& claim : claims) {
        const Bytes file =
            MakeBmp({40, claim.width, claim.height, claim.bits, claim.compression, {}, {K}, Bytes(64, 0)});
        testing::LargestAllocation largest;
        EXPECT_THROW(DecodeBmp(file.data(), file.size(), "claim"), SizeError)
            << claim.width << " x " << claim.height;
        EXPECT_LT(largest.Bytes(), std::size_t{1} << 20);
    }
}

// Overrunning runs, deltas and literals from the suite's bad files stay inside the picture.
TEST(BmpReader, HostileRunsStayInsideThePicture) {
    const Bytes streams[] = {
        {255, 1, 255, 1, 255, 1, 0, 1},              // runs far past the row end
        {0, 2, 255, 255, 5, 1, 0, 1},                // a delta past the top, then a run
        {0, 2, 200, 0, 0, 255, 1, 1, 1, 1, 1, 1},    // a delta past the row end, a long literal cut short
        {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 1, 0, 1},  // more rows than the picture has
    };
    for (const Bytes& stream : streams) {
        for (uint32_t compression : {1u, 2u}) {
            const Bytes file = MakeBmp({40, 3, 2, compression == 1 ? 8 : 4, compression, {}, {K, R}, stream});
            try {
                const Bitmap bitmap = DecodeBmp(file.data(), file.size(), "runs");
                EXPECT_EQ(bitmap.Width(), 3);
            } catch (const PixadraError&) {
                // refusing is as good as clipping; touching memory outside is not
            }
        }
    }
}

// The palette ends where the pixels begin, whatever the colour count claims.
TEST(BmpReader, PaletteStopsAtThePixelData) {
    BmpRecipe recipe{40, 2, 1, 8, 0, {}, {R, G}, {0, 1, 0, 0}};
    Bytes file = MakeBmp(recipe);
    Put32(file, 46, 305402420);  // colours used: absurd
    const Bitmap bitmap = DecodeBmp(file.data(), file.size(), "palette");
    EXPECT_EQ(PixelsOf(bitmap), (std::vector<uint32_t>{R, G}));
}

}  // namespace
}  // namespace pixadra
