#include <gtest/gtest.h>

#include <random>

#include "common/TestSupport.h"
#include "engine/CrossFade.h"
#include "engine/TileGrid.h"
#include "imaging/Blend.h"
#include "imaging/BmpWriter.h"
#include "imaging/Resampling.h"

namespace pixadra {
namespace {

Bitmap RandomBitmap(int width, int height, unsigned seed) {
    std::mt19937 random(seed);
    Bitmap bitmap(width, height);
    for (std::size_t i = 0; i < bitmap.ByteCount(); ++i) bitmap.Data()[i] = static_cast<uint8_t>(random());
    return bitmap;
}

class CrossFadeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SaveBitmapAsBmp(original_, inputPath_);
        SaveBitmapAsBmp(mosaic_, mosaicPath_);
    }

    testing::TempFolder folder_;
    const std::string inputPath_ = folder_.File("picture.bmp");
    const std::string mosaicPath_ = folder_.File("mosaic.bmp");
    const Bitmap original_ = RandomBitmap(1000, 700, 1);
    const Bitmap mosaic_ = RandomBitmap(240, 180, 2);
};

struct GridCropCase {
    int64_t tiles;
    int32_t columns, rows;
    int width, height;
};

// 1000 x 700 in 10 x 7 cells is used whole; in 12 x 9 cells only 83 * 12 by 77 * 9 pixels.
TEST_F(CrossFadeTest, CropOriginalToGridKeepsTheCellsArea) {
    const GridCropCase cases[] = {{70, 10, 7, 1000, 700}, {117, 12, 9, 996, 693}};
    for (const GridCropCase& c : cases) {
        const GridSize grid = CalcTileGrid(1000, 700, c.tiles, 0);
        ASSERT_EQ(grid.Columns, c.columns);
        ASSERT_EQ(grid.Rows, c.rows);
        Bitmap target;
        ASSERT_TRUE(CropOriginalToGrid(target, inputPath_, c.tiles, 0));
        EXPECT_EQ(target, CropBitmap(original_, 0, 0, c.width, c.height));
    }
}

TEST_F(CrossFadeTest, CropOriginalToGridFailsWithoutTouchingTheTarget) {
    Bitmap target(2, 2);
    const Bitmap before = target;
    EXPECT_FALSE(CropOriginalToGrid(target, folder_.File("gone.bmp"), 70, 0));
    EXPECT_FALSE(CropOriginalToGrid(target, inputPath_, 10000000, 0));  // no cell fits
    EXPECT_FALSE(CropOriginalToGrid(target, inputPath_, 70, 5));        // no such shape
    EXPECT_EQ(target, before);
}

TEST_F(CrossFadeTest, MixesTheResampledPictureIntoTheMosaic) {
    Bitmap expectedPicture = CropBitmap(original_, 0, 0, 996, 693);
    BoxResample(expectedPicture, expectedPicture, 240, 180);
    for (int percent : {0, 37, 50, 100}) {
        Bitmap result(5, 5);
        ASSERT_TRUE(CrossFadeTheBitmaps(mosaicPath_, inputPath_, 117, 0, percent, result)) << percent;
        Bitmap expected;
        ASSERT_TRUE(BlendBitmaps(mosaic_, expectedPicture, expected, percent / 100.0L));
        EXPECT_EQ(result, expected) << percent << "%";
        if (percent == 0) {
            EXPECT_EQ(result, mosaic_);
        }
        if (percent == 100) {
            EXPECT_EQ(result, expectedPicture);
        }
    }
}

TEST_F(CrossFadeTest, FailsWhenAPictureIsMissingOrTheGridIsEmpty) {
    Bitmap result;
    EXPECT_FALSE(CrossFadeTheBitmaps(folder_.File("moved.bmp"), inputPath_, 117, 0, 50, result));
    EXPECT_FALSE(CrossFadeTheBitmaps(mosaicPath_, folder_.File("gone.jpg"), 117, 0, 50, result));
    EXPECT_FALSE(CrossFadeTheBitmaps(mosaicPath_, inputPath_, 10000000, 0, 50, result));
    testing::WriteFile(mosaicPath_, "BM not a bitmap");
    EXPECT_FALSE(CrossFadeTheBitmaps(mosaicPath_, inputPath_, 117, 0, 50, result));
}

}  // namespace
}  // namespace pixadra
