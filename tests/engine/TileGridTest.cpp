#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <random>

#include "common/TestSupport.h"
#include "engine/TileGrid.h"
#include "support/Errors.h"
#include "support/Language.h"
#include "support/Rounding.h"

namespace pixadra {
namespace {

struct GridCase {
    int64_t width, height, tiles;
    int shape;
    int32_t columns, rows;
};

TEST(CalcTileGrid, GivesTheColumnsAndRowsOfNominalCells) {
    constexpr int64_t kMax = std::numeric_limits<int32_t>::max();
    const GridCase cases[] = {
        {800, 600, 1000, 0, 38, 28},    // t = 21
        {800, 600, 1000, 1, 44, 25},    // 18 x 24
        {800, 600, 1000, 2, 33, 33},    // 24 x 18
        {3000, 2000, 1000, 0, 38, 25},  // 77 x 77
        {100, 100, 20000, 0, 0, 0},     // t = 0
        {100, 100, 1, 0, 1, 1},         // one cell of 100 x 100
        {800, 600, 1000, 3, 0, 0},      // no such shape
        {800, 600, 0, 0, 0, 0},         // no tile
        {0, 600, 10, 0, 0, 0},          // no pixel
        {2, 300, 1, 1, 0, 10},          // cells 21 x 28: none fits across
        {kMax, kMax, 1, 0, 1, 1},       // the area needs all of 62 bits
        {kMax, kMax, 1, 2, 0, 1},       // the cell is wider than the picture
    };
    for (const GridCase& c : cases) {
        const GridSize grid = CalcTileGrid(c.width, c.height, c.tiles, c.shape);
        EXPECT_EQ(grid.Columns, c.columns)
            << c.width << "x" << c.height << " " << c.tiles << " shape " << c.shape;
        EXPECT_EQ(grid.Rows, c.rows) << c.width << "x" << c.height << " " << c.tiles << " shape " << c.shape;
    }
}

// The analysis as a column-by-column visit of every cell and its pixels, with the quarter
// bounds as real numbers.
CellGrid ReferenceAnalysis(const Bitmap& picture, int64_t tiles, int shape) {
    const GridSize size = CalcTileGrid(picture.Width(), picture.Height(), tiles, shape);
    const int cw = picture.Width() / size.Columns, ch = picture.Height() / size.Rows;
    const long double q = cw / 4.0L, p = ch / 4.0L;
    auto quarter = [](int l, long double w) { return l < w ? 0 : l < 2 * w ? 1 : l < 3 * w ? 2 : 3; };
    CellGrid grid(size.Columns, std::vector<TTile>(size.Rows));
    for (int c = 0; c < size.Columns; ++c) {
        for (int r = 0; r < size.Rows; ++r) {
            ColorSignature& s = grid[c][r].Signature;
            for (int x = c * cw; x < c * cw + cw; ++x) {
                for (int y = r * ch; y < r * ch + ch; ++y) {
                    const uint8_t* px = picture.Row(y) + 3 * x;
                    const int sc = quarter(x - c * cw, q), sr = quarter(y - r * ch, p);
                    s[SignatureIndex(sc, sr, 0)] += px[2];
                    s[SignatureIndex(sc, sr, 1)] += px[1];
                    s[SignatureIndex(sc, sr, 2)] += px[0];
                    s[SignatureIndex(sc, sr, 3)] += 1;
                }
            }
            for (int sc = 0; sc < 4; ++sc)
                for (int sr = 0; sr < 4; ++sr) {
                    const int32_t count = s[SignatureIndex(sc, sr, 3)];
                    if (count == 0) continue;
                    for (int v = 0; v < 3; ++v) s[SignatureIndex(sc, sr, v)] /= count;
                }
        }
    }
    return grid;
}

TEST(AnalysePicture, MatchesTheCellByCellVisit) {
    std::mt19937 random(99);
    Bitmap picture(123, 97);
    for (std::size_t i = 0; i < picture.ByteCount(); ++i) picture.Data()[i] = static_cast<uint8_t>(random());
    int analysed = 0;
    for (int shape = 0; shape < 3; ++shape) {
        for (int64_t tiles : {2, 7, 50, 300, 500, 1500, 3000}) {
            const GridSize size = CalcTileGrid(picture.Width(), picture.Height(), tiles, shape);
            if (size.Columns == 0 || size.Rows == 0) continue;  // refused; tested below
            ++analysed;
            AnalysePicture(picture, tiles, shape);
            const CellGrid expected = ReferenceAnalysis(picture, tiles, shape);
            ASSERT_EQ(GridColumns(TheCellGrid()), GridColumns(expected)) << tiles << " shape " << shape;
            ASSERT_EQ(GridRows(TheCellGrid()), GridRows(expected)) << tiles << " shape " << shape;
            for (int c = 0; c < GridColumns(expected); ++c)
                for (int r = 0; r < GridRows(expected); ++r)
                    ASSERT_EQ(TheCellGrid()[c][r].Signature, expected[c][r].Signature)
                        << "cell " << c << "/" << r << ", " << tiles << " tiles, shape " << shape;
        }
    }
    EXPECT_GE(analysed, 15);
}

struct QuarterCase {
    int cellWidth;
    std::vector<int> subColumns;  // 1-based, per pixel column of the cell
};

// One bright pixel column at a time in a single square cell shows which sub-column it
// falls into; the same for pixel rows and sub-rows.
TEST(AnalysePicture, MapsPixelsToRealQuarters) {
    const QuarterCase cases[] = {
        {10, {1, 1, 1, 2, 2, 3, 3, 3, 4, 4}},
        {7, {1, 1, 2, 2, 3, 3, 4}},
        {5, {1, 1, 2, 3, 4}},
        {3, {1, 2, 3}},
        {2, {1, 3}},
    };
    for (const QuarterCase& c : cases) {
        const int n = c.cellWidth;
        for (int line = 0; line < n; ++line) {
            for (bool columns : {true, false}) {
                Bitmap picture(n, n);
                for (int i = 0; i < n; ++i) {
                    uint8_t* px = columns ? picture.Row(i) + 3 * line : picture.Row(line) + 3 * i;
                    px[2] = 255;
                }
                AnalysePicture(picture, 1, 0);
                ASSERT_EQ(GridColumns(TheCellGrid()), 1);
                const ColorSignature& s = TheCellGrid()[0][0].Signature;
                for (int k = 0; k < 4; ++k) {
                    const bool hit = k + 1 == c.subColumns[line];
                    const int red = columns ? s[SignatureIndex(k, 0, 0)] : s[SignatureIndex(0, k, 0)];
                    EXPECT_EQ(red > 0, hit)
                        << "cell " << n << (columns ? " column " : " row ") << line << " quarter " << k + 1;
                }
            }
        }
        // A quarter that no pixel falls into keeps 0 in all four values.
        Bitmap picture(n, n);
        picture.Fill(90, 90, 90);
        AnalysePicture(picture, 1, 0);
        const ColorSignature& s = TheCellGrid()[0][0].Signature;
        for (int k = 0; k < 4; ++k) {
            const int count = static_cast<int>(std::count(c.subColumns.begin(), c.subColumns.end(), k + 1));
            EXPECT_EQ(s[SignatureIndex(k, k, 3)], count * count) << "cell " << n << " quarter " << k + 1;
            EXPECT_EQ(s[SignatureIndex(k, k, 0)], count ? 90 : 0) << "cell " << n << " quarter " << k + 1;
        }
    }
}

TEST(AnalysePicture, UniformCellsHaveTheirColourInEverySubCell) {
    Bitmap picture(800, 600);
    picture.Fill(200, 100, 50);
    TheCellGrid() = CellGrid(2, std::vector<TTile>(2));
    TheCellGrid()[1][1].Found = true;
    AnalysePicture(picture, 1000, 0);
    ASSERT_EQ(GridColumns(TheCellGrid()), 38);
    ASSERT_EQ(GridRows(TheCellGrid()), 28);
    for (const auto& column : TheCellGrid()) {
        for (const TTile& cell : column) {
            EXPECT_FALSE(cell.Found);
            for (int sc = 0; sc < 4; ++sc)
                for (int sr = 0; sr < 4; ++sr) {
                    EXPECT_EQ(cell.Signature[SignatureIndex(sc, sr, 0)], 200);
                    EXPECT_EQ(cell.Signature[SignatureIndex(sc, sr, 1)], 100);
                    EXPECT_EQ(cell.Signature[SignatureIndex(sc, sr, 2)], 50);
                }
        }
    }
}

// 3000 x 2000 with 1000 square tiles: cells of 78 x 80 pixels, quarters of 20, 19, 20, 19
// columns and 20 rows each; the pixels right of and below the cells are not read.
TEST(AnalysePicture, UsesTheRealCellSizeAndIgnoresTheRest) {
    Bitmap picture(3000, 2000);
    picture.Fill(10, 10, 10);
    for (int y = 0; y < 2000; ++y)
        for (int x = 0; x < 3000; ++x)
            if (x >= 38 * 78 || y >= 25 * 80) std::fill_n(picture.Row(y) + 3 * x, 3, 255);
    AnalysePicture(picture, 1000, 0);
    ASSERT_EQ(GridColumns(TheCellGrid()), 38);
    ASSERT_EQ(GridRows(TheCellGrid()), 25);
    const int widths[] = {20, 19, 20, 19};
    for (const auto& column : TheCellGrid())
        for (const TTile& cell : column)
            for (int sc = 0; sc < 4; ++sc)
                for (int sr = 0; sr < 4; ++sr) {
                    ASSERT_EQ(cell.Signature[SignatureIndex(sc, sr, 3)], widths[sc] * 20);
                    ASSERT_EQ(cell.Signature[SignatureIndex(sc, sr, 0)], 10);
                }
}

TEST(AnalysePicture, RefusesAGridWithoutCellsAndKeepsTheOldGrid) {
    TheCellGrid() = CellGrid(3, std::vector<TTile>(2));
    TheCellGrid()[2][1].Found = true;
    try {
        AnalysePicture(Bitmap(100, 100), 20000, 0);
        FAIL() << "no error";
    } catch (const SizeError& e) {
        EXPECT_STREQ(e.what(), "The picture of 100 x 100 pixels is too small for 20000 tiles");
    }
    EXPECT_THROW(AnalysePicture(Bitmap(), 10, 0), SizeError);
    EXPECT_EQ(GridColumns(TheCellGrid()), 3);
    EXPECT_TRUE(TheCellGrid()[2][1].Found);
}

TEST(AnalysePicture, ReportsProgressOnlyWithBarAndLabel) {
    Bitmap picture(800, 600);
    testing::ProgressRecorder recorder;
    AnalysePicture(picture, 1000, 0, recorder.Outputs());
    ASSERT_EQ(recorder.labels.size(), 2u);
    EXPECT_EQ(recorder.labels[0], FormatLanguageWord("GaugeMessages", "AnalysePicture", {"1064"}));
    EXPECT_EQ(recorder.labels[1], "");
    const std::vector<int>& bar = recorder.positions;
    ASSERT_GE(bar.size(), 3u);
    EXPECT_EQ(bar.front(), 0);
    EXPECT_EQ(bar.back(), 0);
    for (std::size_t i = 2; i + 1 < bar.size(); ++i) EXPECT_LT(bar[i - 1], bar[i]);
    // The last position is the share of all 1064 cells, computed as a percentage of them.
    EXPECT_EQ(bar[bar.size() - 2], Trunc(1064 / (1064 / 100.0L)));
    EXPECT_EQ(recorder.eventPasses, static_cast<int>(bar.size()));

    testing::ProgressRecorder barOnly;
    AnalysePicture(picture, 1000, 0, Progress{&barOnly, nullptr, {}});
    EXPECT_TRUE(barOnly.positions.empty());
}

}  // namespace
}  // namespace pixadra
