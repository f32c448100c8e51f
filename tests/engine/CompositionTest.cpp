#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/TestSupport.h"
#include "engine/Composition.h"
#include "engine/MosaicFixtures.h"
#include "imaging/Resampling.h"
#include "support/Errors.h"
#include "support/FileSystem.h"
#include "support/Language.h"
#include "support/Rounding.h"

namespace pixadra {
namespace {

using testing::Rgb;

TEST(MosaicTileSizeTest, SizesOfTheOptionsComeBackExactly) {
    struct Case {
        int64_t area;
        int shape;
        int32_t width, height;
    };
    const Case cases[] = {
        {900, 0, 30, 30},  {1200, 1, 30, 40}, {1200, 2, 40, 30}, {588, 2, 28, 21},
        {2500, 0, 50, 50}, {0, 0, 0, 0},      {5, 2, 0, 0},      {1000, 1, 27, 36},
    };
    for (const Case& c : cases) {
        const TilePixels size = MosaicTileSize(c.area, c.shape);
        EXPECT_EQ(size.width, c.width) << c.area << " shape " << c.shape;
        EXPECT_EQ(size.height, c.height) << c.area << " shape " << c.shape;
    }
    EXPECT_THROW(MosaicTileSize(900, 3), PixadraError);
}

TEST(MosaicTileSizeTest, AgreesWithTheSizeTilesAreScaledTo) {
    for (int shape = 0; shape < 3; ++shape) {
        for (int64_t area = 1; area <= 250000; area += (area < 5000 ? 1 : 37)) {
            int width = 0, height = 0;
            ShapeTargetSize(shape, area, width, height);
            const TilePixels size = MosaicTileSize(area, shape);
            ASSERT_EQ(size.width, width) << area << " shape " << shape;
            ASSERT_EQ(size.height, height) << area << " shape " << shape;
        }
    }
}

class CompositionTest : public ::testing::Test {
  protected:
    void TearDown() override { TheCellGrid().clear(); }

    std::string Database(const std::string& name) const { return folder.Path() + name; }

    testing::TempFolder folder;
};

TEST_F(CompositionTest, GridWithoutTilesGivesAWhiteMosaicOfFullSize) {
    struct Case {
        int columns, rows;
        int64_t area;
        int shape;
        int width, height;
    };
    const Case cases[] = {
        {38, 28, 900, 0, 1140, 840}, {44, 25, 1200, 1, 1320, 1000}, {3, 2, 1200, 2, 120, 60}};
    for (const Case& c : cases) {
        testing::MakeEmptyGrid(c.columns, c.rows);
        const std::string out = folder.File("white.bmp");
        CreatePicture(out, c.area, c.shape, folder.Path());
        const Bitmap mosaic = testing::ReadMosaic(out);
        EXPECT_EQ(mosaic.Width(), c.width);
        EXPECT_EQ(mosaic.Height(), c.height);
        EXPECT_TRUE(testing::BlockIsWhite(mosaic, 0, 0, c.width, c.height));
        const int64_t rowBytes = (int64_t{c.width} * 3 + 3) / 4 * 4;
        EXPECT_EQ(FileSize(out), rowBytes * c.height + 54);
    }
}

// Three tiles of other proportions than the shape, cells sharing tiles, cells without tile.
class ComposedMosaicTest : public CompositionTest {
  protected:
    void SetUp() override {
        Bitmap striped = testing::SolidPicture(346, 259, {200, 30, 40});
        for (int y = 0; y < 259; ++y)
            for (int x = 0; x < 346; x += 40) striped.Row(y)[x * 3] = 255;  // blue lines show the cut
        Bitmap tall = testing::SolidPicture(120, 300, {10, 220, 30});
        for (int x = 0; x < 120; ++x) tall.Row(150)[x * 3 + 2] = 0;  // a line across the middle
        const Bitmap grey = testing::SolidPicture(64, 48, {128, 128, 128});
        const Bitmap* pictures[] = {&striped, &tall, &grey};
        for (const Bitmap* picture : pictures) {
            const int32_t offset = testing::AppendPictureTile(Database("tiles"), *picture,
                                                              testing::UniformSignature({0, 0, 0}), "x");
            offsets.push_back(offset);
        }
        sizes = {offsets[1] - offsets[0], offsets[2] - offsets[1],
                 static_cast<int32_t>(FileSize(Database("tiles") + ".dat")) - offsets[2]};
    }

    // Cell (c, r) gets tile (c + 2 r) % 4, where 3 means no tile.
    void FillGrid(int columns, int rows) {
        testing::MakeEmptyGrid(columns, rows);
        for (int c = 0; c < columns; ++c)
            for (int r = 0; r < rows; ++r) {
                const int t = (c + 2 * r) % 4;
                if (t < 3) testing::PlaceTile(c, r, "tiles", offsets[t], sizes[t]);
            }
    }

    std::vector<int32_t> offsets, sizes;
};

TEST_F(ComposedMosaicTest, EveryBlockHoldsItsTileCutAndScaled) {
    struct Case {
        int shape;
        int64_t area;
    };
    const Case cases[] = {{2, 28 * 21}, {1, 30 * 40}, {0, 25 * 25}};
    for (const Case& c : cases) {
        FillGrid(5, 3);
        const TilePixels size = MosaicTileSize(c.area, c.shape);
        const std::string out = folder.File("mosaic.bmp");
        CreatePicture(out, c.area, c.shape, folder.Path());
        const Bitmap mosaic = testing::ReadMosaic(out);
        ASSERT_EQ(mosaic.Width(), 5 * size.width);
        ASSERT_EQ(mosaic.Height(), 3 * size.height);
        for (int col = 0; col < 5; ++col)
            for (int r = 0; r < 3; ++r) {
                const int t = (col + 2 * r) % 4;
                const int x0 = col * size.width, y0 = r * size.height;
                if (t == 3) {
                    EXPECT_TRUE(testing::BlockIsWhite(mosaic, x0, y0, size.width, size.height))
                        << col << "," << r;
                    continue;
                }
                const Bitmap tile =
                    testing::ExpectedTile(Database("tiles"), offsets[t], sizes[t], c.shape, c.area);
                ASSERT_EQ(tile.Width(), size.width);
                EXPECT_TRUE(testing::BlockEquals(mosaic, x0, y0, tile))
                    << "shape " << c.shape << " cell " << col << "," << r;
            }
        // The grey tile stays grey after the JPEG round trip and scaling.
        const uint8_t* grey = mosaic.Row(size.height + 1) + 3;  // cell (0, 1) has tile 2
        EXPECT_NEAR(grey[0], 128, 3);
        EXPECT_NEAR(grey[1], 128, 3);
    }
}

TEST_F(ComposedMosaicTest, ParallelCompositionIsByteForByteTheCellByCellOne) {
    FillGrid(9, 7);
    CompositionOptions reference;
    reference.decodeEveryCell = true;
    CreatePicture(folder.File("reference.bmp"), 28 * 21, 2, folder.Path(), {}, reference);
    const std::vector<uint8_t> expected = ReadWholeFile(folder.File("reference.bmp"));
    for (int threads : {1, 2, 4}) {
        CompositionOptions options;
        options.threads = threads;
        CreatePicture(folder.File("fast.bmp"), 28 * 21, 2, folder.Path(), {}, options);
        EXPECT_EQ(ReadWholeFile(folder.File("fast.bmp")), expected) << threads << " threads";
    }
}

TEST_F(ComposedMosaicTest, ProgressFollowsTheCellsWithTilesColumnByColumn) {
    FillGrid(5, 3);
    // Cells with a tile, column by column: k = c * 3 + r + 1 of 15, percentage Trunc(k / 0.15).
    std::vector<int> expected;
    for (int c = 0; c < 5; ++c)
        for (int r = 0; r < 3; ++r) {
            if ((c + 2 * r) % 4 == 3) continue;
            const int p = static_cast<int>(Trunc((c * 3 + r + 1) / (15.0L / 100)));
            if (expected.empty() || expected.back() != p) expected.push_back(p);
        }
    expected.insert(expected.begin(), 0);
    expected.push_back(0);
    for (bool everyCell : {true, false}) {
        testing::ProgressRecorder recorder;
        CompositionOptions options;
        options.decodeEveryCell = everyCell;
        options.threads = 2;
        CreatePicture(folder.File("progress.bmp"), 588, 2, folder.Path(), recorder.Outputs(), options);
        EXPECT_EQ(recorder.positions, expected) << everyCell;
        EXPECT_EQ(recorder.labels,
                  (std::vector<std::string>{GetLanguageWord("GaugeMessages", "CreatePicture"), ""}));
    }
}

TEST_F(ComposedMosaicTest, TileErrorEndsCompositionAndLeavesTheEarlierFileAsItWas) {
    const int32_t broken1 = testing::AppendBrokenTile(Database("tiles"), "broken");
    const int32_t broken2 = testing::AppendBrokenTile(Database("tiles"), "broken too");
    const std::string out = folder.File("mosaic.bmp");
    testing::WriteFile(out, "earlier mosaic");
    struct Case {
        const char* what;
        std::string database;
        int32_t offset, size;
        std::string expectedInMessage;
    };
    const Case cases[] = {
        {"corrupt JPEG", "tiles", broken1, 14, Database("tiles") + ".dat, offset " + std::to_string(broken1)},
        {"beyond the data file", "tiles", broken2, 5000, "offset " + std::to_string(broken2)},
        {"missing database", "gone", 0, 10, "gone"},
    };
    for (const Case& c : cases) {
        for (bool everyCell : {true, false}) {
            FillGrid(6, 4);
            // The first failing cell in column order decides the error: (1, 2) comes before (4, 0).
            testing::PlaceTile(4, 0, "tiles", broken2, 14);
            testing::PlaceTile(1, 2, c.database, c.offset, c.size);
            CompositionOptions options;
            options.decodeEveryCell = everyCell;
            options.threads = 3;
            try {
                CreatePicture(out, 588, 2, folder.Path(), {}, options);
                ADD_FAILURE() << c.what << ": no error";
            } catch (const PixadraError& error) {
                EXPECT_NE(std::string(error.what()).find(c.expectedInMessage), std::string::npos)
                    << c.what << ": " << error.what();
            }
            EXPECT_EQ(testing::ReadFileText(out), "earlier mosaic") << c.what;
            EXPECT_EQ(ListFolder(folder.Path()).files.size(), 3u) << c.what << ": a temporary file was left";
        }
    }
}

TEST_F(CompositionTest, RefusesImpossibleSizesBeforeAllocating) {
    testing::MakeEmptyGrid(40000, 2);
    EXPECT_THROW(CreatePicture(folder.File("huge.bmp"), 2000 * 1500, 2, folder.Path()), SizeError);
    testing::MakeEmptyGrid(2, 2);
    EXPECT_THROW(CreatePicture(folder.File("none.bmp"), 5, 2, folder.Path()), SizeError);
    EXPECT_FALSE(FileExists(folder.File("huge.bmp")));
    EXPECT_FALSE(FileExists(folder.File("none.bmp")));
}

}  // namespace
}  // namespace pixadra
