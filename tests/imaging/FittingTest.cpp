#include <gtest/gtest.h>

#include "imaging/Resampling.h"
#include "support/Errors.h"

namespace pixadra {
namespace {

// Every pixel tells its position: blue and green the column, red the row.
Bitmap PositionBitmap(int width, int height) {
    Bitmap bitmap(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint8_t* p = bitmap.Row(y) + 3 * x;
            p[0] = static_cast<uint8_t>(x);
            p[1] = static_cast<uint8_t>(x >> 8);
            p[2] = static_cast<uint8_t>(y);
        }
    }
    return bitmap;
}

struct ReduceCase {
    int width, height;
    int64_t targetArea, minArea;
    bool result;
    int expectedWidth, expectedHeight;
};

class ReduceToAreaCases : public ::testing::TestWithParam<ReduceCase> {};

TEST_P(ReduceToAreaCases, GivesTheExpectedSize) {
    const ReduceCase& c = GetParam();
    Bitmap bitmap(c.width, c.height);
    bitmap.Fill(40, 80, 120);
    EXPECT_EQ(ReduceToArea(bitmap, c.targetArea, c.minArea), c.result);
    Bitmap expected(c.expectedWidth, c.expectedHeight);
    expected.Fill(40, 80, 120);
    EXPECT_EQ(bitmap, expected);
}

// 200 x 150 is never enlarged; 20000 x 2 would truncate to 0 rows and keeps one.
INSTANTIATE_TEST_SUITE_P(Cases, ReduceToAreaCases,
                         ::testing::Values(ReduceCase{640, 480, 90000, 22500, true, 346, 259},
                                           ReduceCase{3000, 4000, 90000, 22500, true, 259, 345},
                                           ReduceCase{200, 150, 90000, 22500, true, 200, 150},
                                           ReduceCase{100, 100, 90000, 22500, false, 100, 100},
                                           ReduceCase{150, 150, 90000, 22500, true, 150, 150},
                                           ReduceCase{20000, 2, 2500, 625, true, 5000, 1},
                                           ReduceCase{0, 0, 90000, 0, true, 0, 0}));

struct CropCase {
    const char* name;
    int width, height, shape;
    int64_t targetArea, minArea;
    bool forceSize;
    int left, top, cropWidth, cropHeight;  // the rectangle cut from the picture
    int expectedWidth, expectedHeight;     // the size it is brought to
};

class CropToShapeCases : public ::testing::TestWithParam<CropCase> {};

TEST_P(CropToShapeCases, CutsTheRectangleAndSizesIt) {
    const CropCase& c = GetParam();
    const Bitmap source = PositionBitmap(c.width, c.height);
    Bitmap bitmap = source;
    ASSERT_TRUE(CropToShape(bitmap, c.shape, c.targetArea, c.minArea, c.forceSize));
    Bitmap expected = CropBitmap(source, c.left, c.top, c.cropWidth, c.cropHeight);
    if (c.expectedWidth != c.cropWidth || c.expectedHeight != c.cropHeight) {
        BoxResample(expected, expected, c.expectedWidth, c.expectedHeight);
    }
    EXPECT_EQ(bitmap.Width(), c.expectedWidth);
    EXPECT_EQ(bitmap.Height(), c.expectedHeight);
    EXPECT_EQ(bitmap, expected);
}

constexpr int64_t kB300 = 300 * 300;
constexpr int64_t kM150 = 150 * 150;

INSTANTIATE_TEST_SUITE_P(
    Cases, CropToShapeCases,
    ::testing::Values(
        CropCase{"Square400x300IsTheTarget", 400, 300, 0, kB300, kM150, false, 50, 0, 300, 300, 300, 300},
        CropCase{"Portrait400x300KeepsItsCrop", 400, 300, 1, kB300, kM150, false, 87, 0, 225, 300, 225, 300},
        CropCase{"Portrait400x300Forced", 400, 300, 1, kB300, kM150, true, 87, 0, 225, 300, 258, 344},
        CropCase{"Square346x259OffsetRoundsUp", 346, 259, 0, kB300, kM150, false, 44, 0, 259, 259, 259, 259},
        CropCase{"Landscape640x480IsWhole", 640, 480, 2, kB300, kM150, false, 0, 0, 640, 480, 344, 258},
        CropCase{"Portrait500x500ToTile", 500, 500, 1, 1200, 0, true, 62, 0, 375, 500, 30, 40},
        CropCase{"PortraitTooNarrow", 200, 400, 1, 1200, 0, false, 0, 68, 198, 264, 30, 40},
        CropCase{"LandscapeTooNarrow", 300, 400, 2, kB300, 0, false, 0, 87, 300, 225, 300, 225},
        CropCase{"LandscapeTooWide", 1000, 300, 2, 1200, 0, false, 300, 0, 400, 300, 40, 30},
        CropCase{"PortraitExactRatio", 30, 40, 1, 1200, 0, false, 0, 0, 30, 40, 30, 40},
        CropCase{"SquareTallHalfRoundsDown", 300, 401, 0, kB300, 0, false, 0, 50, 300, 300, 300, 300},
        CropCase{"SquareTallHalfRoundsUp", 300, 403, 0, kB300, 0, false, 0, 52, 300, 300, 300, 300},
        CropCase{"SmallLandscapeStays", 40, 30, 2, kB300, 0, false, 0, 0, 40, 30, 40, 30},
        CropCase{"SmallLandscapeForcedUp", 40, 30, 2, kB300, 0, true, 0, 0, 40, 30, 344, 258},
        CropCase{"TileForTheMosaic", 346, 259, 2, 28 * 21, 0, true, 1, 0, 344, 258, 28, 21}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CropToShape, RefusesPicturesBelowTheMinimumArea) {
    for (int shape = 0; shape < 3; ++shape) {
        Bitmap bitmap = PositionBitmap(10, 10);
        const Bitmap before = bitmap;
        EXPECT_FALSE(CropToShape(bitmap, shape, 100, 101, true));
        EXPECT_EQ(bitmap, before);
    }
}

TEST(CropToShape, RefusesAnUnknownShape) {
    Bitmap bitmap = PositionBitmap(40, 30);
    const Bitmap before = bitmap;
    EXPECT_THROW(CropToShape(bitmap, 3, 1200, 0, true), PixadraError);
    EXPECT_EQ(bitmap, before);
}

struct TargetCase {
    int shape;
    int64_t targetArea;
    int width, height;
};

TEST(ShapeTargetSize, GivesTheTileSizeOfAnArea) {
    const TargetCase cases[] = {
        {0, 90000, 300, 300}, {1, 90000, 258, 344}, {2, 90000, 344, 258}, {1, 1200, 30, 40},
        {2, 1200, 40, 30},    {0, 2500, 50, 50},    {2, 28 * 21, 28, 21}, {0, 2499, 49, 49},
        {1, 0, 0, 0},         {1, 11, 0, 0},
    };
    for (const TargetCase& c : cases) {
        int width = -1, height = -1;
        ShapeTargetSize(c.shape, c.targetArea, width, height);
        EXPECT_EQ(width, c.width) << c.shape << " " << c.targetArea;
        EXPECT_EQ(height, c.height) << c.shape << " " << c.targetArea;
    }
}

struct FitCase {
    int width, height, boxWidth, boxHeight;
    bool result;
    int expectedWidth, expectedHeight;
};

class FitIntoBoxCases : public ::testing::TestWithParam<FitCase> {};

TEST_P(FitIntoBoxCases, FitsAndKeepsTheSource) {
    const FitCase& c = GetParam();
    Bitmap source(c.width, c.height);
    source.Fill(1, 128, 255);
    const Bitmap sourceBefore = source;
    Bitmap target(3, 3);
    const Bitmap targetBefore = target;
    EXPECT_EQ(FitIntoBox(source, target, c.boxWidth, c.boxHeight), c.result);
    EXPECT_EQ(source, sourceBefore);
    if (!c.result) {
        EXPECT_EQ(target, targetBefore);
        return;
    }
    Bitmap expected(c.expectedWidth, c.expectedHeight);
    expected.Fill(1, 128, 255);
    EXPECT_EQ(target, expected);
}

// 100 x 50 is copied unchanged; 260 x 100 is not strictly smaller than the box and is
// resampled to its own size; 1000 x 1 would become 0 pixels high.
INSTANTIATE_TEST_SUITE_P(Cases, FitIntoBoxCases,
                         ::testing::Values(FitCase{4000, 3000, 260, 195, true, 260, 195},
                                           FitCase{3000, 4000, 260, 195, true, 146, 195},
                                           FitCase{100, 50, 260, 195, true, 100, 50},
                                           FitCase{1000, 1000, 260, 195, true, 195, 195},
                                           FitCase{260, 100, 260, 195, true, 260, 100},
                                           FitCase{0, 0, 260, 195, true, 0, 0},
                                           FitCase{0, 300, 260, 195, false, 0, 0},
                                           FitCase{1000, 1, 100, 100, false, 0, 0}));

TEST(FitIntoBox, CopiesASmallPictureExactly) {
    const Bitmap source = PositionBitmap(100, 50);
    Bitmap target;
    ASSERT_TRUE(FitIntoBox(source, target, 260, 195));
    EXPECT_EQ(target, source);
}

}  // namespace
}  // namespace pixadra
