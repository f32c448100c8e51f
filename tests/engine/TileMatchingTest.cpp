#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "common/TestSupport.h"
#include "engine/LoadedTiles.h"
#include "engine/MatchingOrder.h"
#include "engine/TileMatching.h"
#include "support/Errors.h"
#include "support/Language.h"

namespace pixadra {
namespace {

ColorSignature UniformSignature(uint32_t color) {
    ColorSignature s{};
    for (int k = 0; k < 16; ++k) {
        s[k * 4] = static_cast<int32_t>(color & 0xFF);
        s[k * 4 + 1] = static_cast<int32_t>((color >> 8) & 0xFF);
        s[k * 4 + 2] = static_cast<int32_t>((color >> 16) & 0xFF);
    }
    return s;
}

// A signature whose 16 sub-cells are drawn from `palette`.
ColorSignature PaletteSignature(std::mt19937& rng, const std::vector<uint32_t>& palette) {
    ColorSignature s{};
    for (int k = 0; k < 16; ++k) {
        const uint32_t color = palette[rng() % palette.size()];
        s[k * 4] = static_cast<int32_t>(color & 0xFF);
        s[k * 4 + 1] = static_cast<int32_t>((color >> 8) & 0xFF);
        s[k * 4 + 2] = static_cast<int32_t>((color >> 16) & 0xFF);
        s[k * 4 + 3] = static_cast<int32_t>(rng() % 50);  // pixel counts are never compared
    }
    return s;
}

// An entry of the loaded tiles, or an empty one.
using TileEntry = std::optional<ColorSignature>;

void LoadTiles(const std::vector<TileEntry>& entries, int shape) {
    LoadedTiles().clear();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (!entries[i]) {
            LoadedTiles().push_back(nullptr);
            continue;
        }
        auto tile = std::make_unique<TDataBaseTile>();
        tile->Signatures[static_cast<std::size_t>(shape)] = *entries[i];
        tile->Source = "source-" + std::to_string(i);
        tile->DataBaseName = "db" + std::to_string(i % 3);
        tile->DataOffset = static_cast<int32_t>(1000 + i);
        tile->DataSize = static_cast<int32_t>(10 + i);
        LoadedTiles().push_back(std::move(tile));
    }
}

void MakeGrid(int columns, int rows, const std::vector<ColorSignature>& signatures) {
    CellGrid& grid = TheCellGrid();
    grid.assign(static_cast<std::size_t>(columns), std::vector<TTile>(static_cast<std::size_t>(rows)));
    for (int c = 0; c < columns; ++c)
        for (int r = 0; r < rows; ++r)
            grid[c][r].Signature = signatures[static_cast<std::size_t>(c * rows + r)];
}

struct MatchResult {
    std::vector<TTile> cells;  // column by column
    std::vector<int32_t> useCounts;
};

MatchResult Collect() {
    MatchResult result;
    for (const auto& column : TheCellGrid())
        for (const TTile& cell : column) result.cells.push_back(cell);
    for (const auto& tile : LoadedTiles()) result.useCounts.push_back(tile ? tile->UseCount : -1);
    return result;
}

MatchResult RunFindTiles(int columns, int rows, const std::vector<ColorSignature>& cells,
                         const std::vector<TileEntry>& tiles, int32_t limit, int shape,
                         const MatchingOptions& options) {
    MakeGrid(columns, rows, cells);
    LoadTiles(tiles, shape);
    FindTiles(limit, shape, {}, options);
    return Collect();
}

void ExpectSameMatching(const MatchResult& expected, const MatchResult& actual, const std::string& what) {
    ASSERT_EQ(expected.cells.size(), actual.cells.size()) << what;
    for (std::size_t i = 0; i < expected.cells.size(); ++i) {
        const TTile& e = expected.cells[i];
        const TTile& a = actual.cells[i];
        ASSERT_EQ(e.Found, a.Found) << what << " cell " << i;
        if (!e.Found) continue;
        ASSERT_EQ(e.TileIndex, a.TileIndex) << what << " cell " << i;
        ASSERT_EQ(e.Source, a.Source) << what << " cell " << i;
        ASSERT_EQ(e.DataBaseName, a.DataBaseName) << what << " cell " << i;
        ASSERT_EQ(e.DataOffset, a.DataOffset) << what << " cell " << i;
        ASSERT_EQ(e.DataSize, a.DataSize) << what << " cell " << i;
    }
    EXPECT_EQ(expected.useCounts, actual.useCounts) << what;
}

// The working list exactly as the matching defines it: a vector with insertions and moves.
std::vector<int32_t> PlainMatchingOrder(int32_t n, MatchRandom& random) {
    std::vector<int32_t> list;
    for (int32_t cell = 0; cell < n; ++cell) {
        const auto length = static_cast<int64_t>(list.size());
        if (length == 0) {
            list.push_back(cell);
        } else {
            list.insert(list.begin() + random.Random(length - 1), cell);
        }
    }
    for (int32_t i = 0; i < n; ++i) {
        const int32_t moved = list[static_cast<std::size_t>(i)];
        list.erase(list.begin() + i);
        list.insert(list.begin() + random.Random(n - 1), moved);
    }
    return list;
}

TEST(ColorDistanceTest, ExactRootOfSquaredChannelDifferences) {
    struct Case {
        uint32_t a, b;
        double expected;
    };
    const Case cases[] = {
        {0x000000, 0xFFFFFF, std::sqrt(195075.0)},
        {0x123456, 0x123456, 0.0},
        {0x0000FF, 0x000000, 255.0},  // red is the low byte
        {0x000003, 0x040000, 5.0},    // red 3 against blue 4
        {0x00FF00, 0x000000, 255.0},
        {0xFF000000, 0x00000000, 0.0},  // the top byte is not a channel
        {0x0A141E, 0x000000, std::sqrt(100.0 + 400.0 + 900.0)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ColorDistance(c.a, c.b), c.expected) << std::hex << c.a << " " << c.b;
        EXPECT_EQ(ColorDistance(c.b, c.a), c.expected);
    }
    EXPECT_NEAR(ColorDistance(0, 0xFFFFFF), 441.67, 0.01);
}

TEST(MatchRandomTest, StaysInRangeAndReachesEveryValue) {
    MatchRandom random(7);
    EXPECT_EQ(random.Random(0), 0);
    EXPECT_EQ(random.Random(-5), 0);
    for (int i = 0; i < 100; ++i) EXPECT_EQ(random.Random(1), 0);
    for (int64_t n : {2, 3, 7, 10}) {
        std::vector<int> seen(static_cast<std::size_t>(n));
        for (int i = 0; i < 2000; ++i) {
            const int64_t v = random.Random(n);
            ASSERT_GE(v, 0);
            ASSERT_LT(v, n);
            ++seen[static_cast<std::size_t>(v)];
        }
        for (int count : seen) EXPECT_GT(count, 2000 / n / 2) << "n=" << n;
    }
    MatchRandom a(42), b(42);
    for (int i = 0; i < 50; ++i) EXPECT_EQ(a.Random(1000003), b.Random(1000003));
}

TEST(MatchingOrderTest, EqualsThePlainListOfInsertionsAndMoves) {
    std::mt19937 sizes(3);
    std::vector<int32_t> counts = {0, 1, 2, 3, 4, 5, 17, 100, 1000, 4099};
    for (int i = 0; i < 6; ++i) counts.push_back(static_cast<int32_t>(sizes() % 3000));
    for (int32_t n : counts) {
        for (uint64_t seed : {1ull, 99ull, 123456789ull}) {
            MatchRandom fast(seed), plain(seed);
            ASSERT_EQ(MatchingOrder(n, fast), PlainMatchingOrder(n, plain)) << "n=" << n << " seed=" << seed;
        }
    }
}

TEST(MatchingOrderTest, SmallListsFollowTheDrawnPositions) {
    MatchRandom random(5);
    EXPECT_EQ(MatchingOrder(1, random), std::vector<int32_t>{0});
    // With two cells every position drawn is 0: cell 1 goes before cell 0, then each move puts
    // the entry at position i in front: [1, 0] -> [1, 0] -> [0, 1].
    EXPECT_EQ(MatchingOrder(2, random), (std::vector<int32_t>{0, 1}));
}

class FindBestTileTest : public ::testing::Test {
  protected:
    void TearDown() override {
        LoadedTiles().clear();
        TheCellGrid().clear();
    }
};

TEST_F(FindBestTileTest, IdenticalTilesAreTakenInLoadOrderUpToTheLimit) {
    const ColorSignature grey = UniformSignature(0x808080);
    LoadTiles({UniformSignature(0xFFFFFF), grey, grey}, 0);
    std::vector<int32_t> chosen;
    for (int i = 0; i < 5; ++i) {
        TTile cell;
        cell.Signature = grey;
        FindBestTile(cell, 2, 0);
        chosen.push_back(cell.Found ? cell.TileIndex : -1);
    }
    // Tile 1 twice, tile 2 twice, then the white tile, which is still under the limit.
    EXPECT_EQ(chosen, (std::vector<int32_t>{1, 1, 2, 2, 0}));
    EXPECT_EQ(LoadedTiles()[0]->UseCount, 1);
}

TEST_F(FindBestTileTest, ChoiceCopiesTheTileAndCountsOneUse) {
    LoadTiles({UniformSignature(0x000000), std::nullopt, UniformSignature(0x102030)}, 1);
    TTile cell;
    cell.Signature = UniformSignature(0x102031);
    FindBestTile(cell, 5, 1);
    ASSERT_TRUE(cell.Found);
    EXPECT_EQ(cell.TileIndex, 2);
    EXPECT_EQ(cell.Source, "source-2");
    EXPECT_EQ(cell.DataBaseName, "db2");
    EXPECT_EQ(cell.DataOffset, 1002);
    EXPECT_EQ(cell.DataSize, 12);
    EXPECT_EQ(LoadedTiles()[2]->UseCount, 1);
    EXPECT_EQ(LoadedTiles()[0]->UseCount, 0);
}

TEST_F(FindBestTileTest, ExactMatchWinsUnlessAnEarlierTileTiesOrItIsUsedUp) {
    const ColorSignature cellColors = UniformSignature(0x405060);
    struct Case {
        std::vector<TileEntry> tiles;
        int32_t presetUses;  // of the exact tile, index 1
        int32_t expected;
    };
    const Case cases[] = {
        {{UniformSignature(0x405061), cellColors, UniformSignature(0x405060)}, 0, 1},
        {{cellColors, cellColors, UniformSignature(0x000000)}, 0, 0},
        {{UniformSignature(0x405062), cellColors, UniformSignature(0x405063)}, 3, 0},
    };
    for (const Case& c : cases) {
        LoadTiles(c.tiles, 0);
        LoadedTiles()[1]->UseCount = c.presetUses;
        TTile cell;
        cell.Signature = cellColors;
        FindBestTile(cell, 3, 0);
        ASSERT_TRUE(cell.Found);
        EXPECT_EQ(cell.TileIndex, c.expected);
    }
}

TEST_F(FindBestTileTest, NothingLeftLeavesTheCellWithoutTile) {
    LoadTiles({std::nullopt, UniformSignature(0x112233)}, 2);
    LoadedTiles()[1]->UseCount = 1;
    TTile cell;
    cell.Found = true;  // matched before: the stale choice must not be counted again
    cell.TileIndex = 7;
    FindBestTile(cell, 1, 2);
    EXPECT_FALSE(cell.Found);
    EXPECT_EQ(LoadedTiles()[1]->UseCount, 1);

    LoadedTiles().clear();
    FindBestTile(cell, 5, 2);
    EXPECT_FALSE(cell.Found);
}

TEST_F(FindBestTileTest, ShapeOutsideTheThreeIsRefused) {
    TTile cell;
    EXPECT_THROW(FindBestTile(cell, 5, 3), PixadraError);
    EXPECT_THROW(FindTiles(5, -1), PixadraError);
}

class FindTilesTest : public FindBestTileTest {};

TEST_F(FindTilesTest, UseLimitOneWithFewerTilesThanCellsUsesEachTileOnce) {
    std::mt19937 rng(11);
    const std::vector<uint32_t> palette = {0x000000, 0xFFFFFF, 0x808080};
    std::vector<ColorSignature> cells;
    for (int i = 0; i < 6 * 5; ++i) cells.push_back(PaletteSignature(rng, palette));
    std::vector<TileEntry> tiles;
    for (int i = 0; i < 12; ++i) tiles.push_back(PaletteSignature(rng, palette));
    for (bool plain : {true, false}) {
        MatchingOptions options;
        options.seed = 3;
        options.plainLoop = plain;
        const MatchResult result = RunFindTiles(6, 5, cells, tiles, 1, 2, options);
        int found = 0;
        std::vector<int> uses(tiles.size());
        for (const TTile& cell : result.cells) {
            if (!cell.Found) continue;
            ++found;
            ++uses[static_cast<std::size_t>(cell.TileIndex)];
        }
        EXPECT_EQ(found, 12);
        EXPECT_EQ(uses, std::vector<int>(12, 1));
        EXPECT_EQ(result.useCounts, std::vector<int32_t>(12, 1));
    }
}

TEST_F(FindTilesTest, OneCellGridIsMatchedOnce) {
    MatchingOptions options;
    options.seed = 9;
    const MatchResult result =
        RunFindTiles(1, 1, {UniformSignature(0x0000FF)},
                     {UniformSignature(0x00FF00), UniformSignature(0x0000FE)}, 5, 0, options);
    ASSERT_EQ(result.cells.size(), 1u);
    EXPECT_TRUE(result.cells[0].Found);
    EXPECT_EQ(result.cells[0].TileIndex, 1);
    EXPECT_EQ(result.useCounts, (std::vector<int32_t>{0, 1}));
}

TEST_F(FindTilesTest, EmptyGridOrNoTilesMatchNothing) {
    MatchingOptions options;
    options.seed = 1;
    TheCellGrid().clear();
    LoadTiles({UniformSignature(0)}, 0);
    FindTiles(5, 0, {}, options);
    EXPECT_EQ(LoadedTiles()[0]->UseCount, 0);

    const MatchResult result = RunFindTiles(3, 2, std::vector<ColorSignature>(6), {}, 5, 0, options);
    for (const TTile& cell : result.cells) EXPECT_FALSE(cell.Found);
}

TEST_F(FindTilesTest, ProgressShowsHighestTileIndexAndRunsToOneHundred) {
    std::vector<TileEntry> tiles(100, UniformSignature(0x010101));
    MakeGrid(25, 10, std::vector<ColorSignature>(250));
    LoadTiles(tiles, 0);
    testing::ProgressRecorder recorder;
    FindTiles(5, 0, recorder.Outputs(), std::optional<uint64_t>(17));
    const std::string label = FormatLanguageWord("GaugeMessages", "FindTiles", {"99"});
    EXPECT_EQ(recorder.labels, (std::vector<std::string>{label, ""}));
    // 250 cells: p = Trunc(i / 2.5) + 1 takes every value 1..100, then the bar returns to 0.
    std::vector<int> expected;
    for (int p = 1; p <= 100; ++p) expected.push_back(p);
    expected.push_back(0);
    EXPECT_EQ(recorder.positions, expected);
    EXPECT_EQ(recorder.eventPasses, 1 + 100 + 1);
}

TEST_F(FindTilesTest, LabelAloneIsSetWithoutBar) {
    MakeGrid(2, 2, std::vector<ColorSignature>(4));
    LoadTiles({}, 0);
    testing::ProgressRecorder recorder;
    Progress progress{nullptr, &recorder, [&] { ++recorder.eventPasses; }};
    FindTiles(5, 0, progress, std::optional<uint64_t>(1));
    EXPECT_EQ(recorder.labels,
              (std::vector<std::string>{FormatLanguageWord("GaugeMessages", "FindTiles", {"-1"})}));
    EXPECT_TRUE(recorder.positions.empty());
    EXPECT_EQ(recorder.eventPasses, 1);
}

TEST_F(FindTilesTest, SameSeedGivesSameMatching) {
    std::mt19937 rng(5);
    const std::vector<uint32_t> palette = {0x000000, 0x0000FF, 0xFF0000, 0x00FF00};
    std::vector<ColorSignature> cells;
    for (int i = 0; i < 8 * 8; ++i) cells.push_back(PaletteSignature(rng, palette));
    std::vector<TileEntry> tiles;
    for (int i = 0; i < 10; ++i) tiles.push_back(PaletteSignature(rng, palette));
    MatchingOptions options;
    options.seed = 1234;
    const MatchResult first = RunFindTiles(8, 8, cells, tiles, 2, 1, options);
    const MatchResult second = RunFindTiles(8, 8, cells, tiles, 2, 1, options);
    ExpectSameMatching(first, second, "repeat");
}

// The fast path against the plain loop: palettes of few colours make equal sums common, and
// low use limits make tiles run out in the middle of the pass.
struct FastCase {
    const char* name;
    std::vector<uint32_t> palette;  // empty: any colour
    int tiles;
    int emptyEvery;  // every n-th entry of the loaded tiles is empty (0: none)
    int columns, rows;
};

void PrintTo(const FastCase& fc, std::ostream* os) {
    *os << fc.name;
}

class FastMatchingTest : public FindBestTileTest, public ::testing::WithParamInterface<FastCase> {};

TEST_P(FastMatchingTest, PicksTheSameTileAsThePlainLoopForEveryCell) {
    const FastCase& fc = GetParam();
    std::mt19937 rng(2024);
    std::vector<uint32_t> palette = fc.palette;
    if (palette.empty())
        for (int i = 0; i < 4096; ++i) palette.push_back(rng() & 0xFFFFFF);
    const int cellCount = fc.columns * fc.rows;
    std::vector<ColorSignature> cells;
    for (int i = 0; i < cellCount; ++i) cells.push_back(PaletteSignature(rng, palette));
    std::vector<TileEntry> tiles;
    for (int i = 0; i < fc.tiles; ++i) {
        if (fc.emptyEvery > 0 && i % fc.emptyEvery == fc.emptyEvery - 1) {
            tiles.push_back(std::nullopt);
        } else {
            tiles.push_back(PaletteSignature(rng, palette));
        }
    }
    const MatchingKernel kernels[] = {MatchingKernel::Portable, MatchingKernel::Avx2, MatchingKernel::Avx512};
    for (int32_t limit : {1, 2, 1000}) {
        for (int shape : {0, 2}) {
            MatchingOptions plain;
            plain.seed = 77 + static_cast<uint64_t>(limit);
            plain.plainLoop = true;
            const MatchResult expected = RunFindTiles(fc.columns, fc.rows, cells, tiles, limit, shape, plain);
            for (MatchingKernel kernel : kernels) {
                if (!MatchingKernelSupported(kernel)) continue;
                for (int threads : {1, 2, 3}) {
                    MatchingOptions fast = plain;
                    fast.plainLoop = false;
                    fast.kernel = kernel;
                    fast.threads = threads;
                    const MatchResult actual =
                        RunFindTiles(fc.columns, fc.rows, cells, tiles, limit, shape, fast);
                    ExpectSameMatching(expected, actual,
                                       std::string(fc.name) + " limit " + std::to_string(limit) + " kernel " +
                                           std::to_string(static_cast<int>(kernel)) + " threads " +
                                           std::to_string(threads));
                    if (HasFailure()) return;
                }
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    TieHeavyAndSpread, FastMatchingTest,
    ::testing::Values(
        FastCase{"two colours", {0x000000, 0xFFFFFF}, 37, 0, 9, 7},
        FastCase{"three greys with gaps", {0x101010, 0x111111, 0x121212}, 203, 7, 12, 10},
        FastCase{
            "six colours", {0x000000, 0x0000FF, 0x00FF00, 0xFF0000, 0x808080, 0x7F7F80}, 500, 11, 20, 16},
        FastCase{"near colours", {0x404040, 0x404041, 0x414040, 0x404140}, 1000, 0, 25, 20},
        FastCase{"spread colours", {}, 2003, 97, 20, 20}),
    [](const auto& info) {
        std::string name = info.param.name;
        for (char& ch : name)
            if (ch == ' ') ch = '_';
        return name;
    });

}  // namespace
}  // namespace pixadra
