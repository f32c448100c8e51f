// render through the built executable.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>

#include "cli/CliFixtures.h"
#include "cli/CliRunner.h"
#include "common/TestSupport.h"
#include "engine/TileGrid.h"
#include "support/FileSystem.h"
#include "support/Language.h"

namespace pixadra::testing {
namespace {

struct TileSizeCase {
    const char* shape;  // nullptr: the default (landscape)
    const char* width;  // nullptr: the default (28)
    int shapeCode;
    int tileWidth;
    int tileHeight;
};

std::string CaseName(const TileSizeCase& c) {
    return std::string(c.shape ? c.shape : "default") + "Width" + (c.width ? c.width : "Default");
}
void PrintTo(const TileSizeCase& c, std::ostream* os) {
    *os << CaseName(c);
}

class CliRenderTileSize : public ::testing::TestWithParam<TileSizeCase> {};

// The mosaic is Columns x Rows tiles of the derived size, so its BMP size shows the tile size.
TEST_P(CliRenderTileSize, WidthFollowsTheShapeStepAndHeightIsDerived) {
    const TileSizeCase& c = GetParam();
    TempFolder out;
    std::vector<std::string> extra{"--tiles", "10", "--max-uses", "100"};
    if (c.shape) extra.insert(extra.end(), {"--shape", c.shape});
    if (c.width) extra.insert(extra.end(), {"--tile-width", c.width});
    const CliResult result = RunCli(RenderArgs(out.File("m.bmp"), extra));
    ASSERT_EQ(result.status, 0) << Describe(result);
    const GridSize grid = CalcTileGrid(160, 120, 10, c.shapeCode);
    ASSERT_GT(grid.Columns, 0);
    EXPECT_EQ(BmpSize(out.File("m.bmp")),
              (PictureSize{c.tileWidth * grid.Columns, c.tileHeight * grid.Rows}));
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, CliRenderTileSize,
    ::testing::Values(TileSizeCase{nullptr, nullptr, 2, 28, 21}, TileSizeCase{"landscape", "30", 2, 28, 21},
                      TileSizeCase{"landscape", "32", 2, 32, 24}, TileSizeCase{"landscape", "2", 2, 4, 3},
                      TileSizeCase{"portrait", "31", 1, 30, 40}, TileSizeCase{"portrait", "2", 1, 3, 4},
                      TileSizeCase{"square", "7", 0, 7, 7}, TileSizeCase{"square", "2", 0, 2, 2}));

TEST(CliRenderTest, PrintsTheFinalNameAfterTheBmpRule) {
    struct Case {
        const char* given;
        const char* written;
    };
    for (const Case& c :
         {Case{"out.jpg", "out.jpg.bmp"}, Case{"out", "out.bmp"}, Case{"Out.Bmp", "Out.Bmp"}}) {
        SCOPED_TRACE(c.given);
        TempFolder out;
        const CliResult result = RunCli(RenderArgs(out.File(c.given), {"--tiles", "10"}));
        ASSERT_EQ(result.status, 0) << Describe(result);
        EXPECT_EQ(result.out, out.File(c.written) + "\n");
        EXPECT_EQ(SnapshotFolder(out.Path()).size(), 1u);
        EXPECT_GT(BmpSize(out.File(c.written)).width, 0);
    }
}

// 12 tiles, 100 cells, 5 uses each: Round(100 / 5) = 20 >= 12, so the job warns.
TEST(CliRenderTest, TooFewTilesDeclineWithoutYesAndRenderWithIt) {
    TempFolder out;
    const std::vector<std::string> few{"--tiles", "100", "--max-uses", "5"};
    const CliResult declined = RunCli(RenderArgs(out.File("m.bmp"), few));
    EXPECT_EQ(declined.status, 3) << Describe(declined);
    std::string warning = FormatLanguageWord("Messages", "MoreTilesAsInDatabase", {"11"});
    std::erase(warning, '\r');
    EXPECT_NE(declined.err.find(warning), std::string::npos) << declined.err;
    EXPECT_EQ(declined.out, "");
    EXPECT_TRUE(SnapshotFolder(out.Path()).empty());

    std::vector<std::string> yes = few;
    yes.push_back("--yes");
    const CliResult accepted = RunCli(RenderArgs(out.File("m.bmp"), yes));
    ASSERT_EQ(accepted.status, 0) << Describe(accepted);
    EXPECT_NE(accepted.err.find(warning), std::string::npos) << accepted.err;
    EXPECT_EQ(accepted.out, out.File("m.bmp") + "\n");
    EXPECT_GT(BmpSize(out.File("m.bmp")).width, 0);
}

TEST(CliRenderTest, SourcesTableHasOneTileSourcePerCellFromEveryDatabase) {
    const RenderSetup& setup = SharedRenderSetup();
    TempFolder work;
    // A second database of the same pictures under another name: both are used, in the order given.
    std::filesystem::copy_file(setup.databases + "/tiles.idx", work.File("copy.idx"));
    std::filesystem::copy_file(setup.databases + "/tiles.dat", work.File("copy.dat"));
    std::filesystem::copy_file(setup.databases + "/tiles.idx", work.File("tiles.idx"));
    std::filesystem::copy_file(setup.databases + "/tiles.dat", work.File("tiles.dat"));
    // 20 tiles asked for, one use each: 24 tiles suffice without a warning, 12 would not.
    const CliResult result = RunCli({"render", "--databases", work.Path(), "--use", "tiles", "--use", "copy",
                                     "--input", setup.input, "--output", work.File("m.bmp"), "--tiles", "20",
                                     "--max-uses", "1", "--sources-table", "--quiet"});
    ASSERT_EQ(result.status, 0) << Describe(result);

    const GridSize grid = CalcTileGrid(160, 120, 20, 2);
    ASSERT_GT(grid.Columns * grid.Rows, 24);
    const std::string csv = ReadFileText(work.File("m.bmp.source.csv"));
    const std::set<std::string> sources(setup.tileSources.begin(), setup.tileSources.end());
    std::vector<std::string> lines = SplitLines(csv);
    ASSERT_EQ(static_cast<int>(lines.size()), grid.Rows) << csv;
    std::map<std::string, int> uses;
    for (std::string& line : lines) {
        ASSERT_FALSE(line.empty());
        EXPECT_EQ(line.back(), '\r');
        line.pop_back();
        int fields = 0;
        for (std::size_t start = 0;; start = line.find(';', start) + 1) {
            ++fields;
            const std::string field = line.substr(start, line.find(';', start) - start);
            EXPECT_TRUE(field.empty() || sources.count(field)) << field;
            ++uses[field];
            if (line.find(';', start) == std::string::npos) break;
        }
        EXPECT_EQ(fields, grid.Columns);
    }
    // Each of the 24 tiles (12 pictures in two databases) fills one cell; the rest stay empty.
    EXPECT_EQ(uses[""], grid.Columns * grid.Rows - 24);
    for (const std::string& source : setup.tileSources) EXPECT_EQ(uses[source], 2) << source;
}

TEST(CliRenderTest, SameSeedGivesTheSameMosaic) {
    TempFolder out;
    ASSERT_EQ(RunCli(RenderArgs(out.File("a.bmp"), {"--tiles", "40", "--max-uses", "4"})).status, 0);
    ASSERT_EQ(RunCli(RenderArgs(out.File("b.bmp"), {"--tiles", "40", "--max-uses", "4"})).status, 0);
    EXPECT_EQ(ReadFileText(out.File("a.bmp")), ReadFileText(out.File("b.bmp")));
}

}  // namespace
}  // namespace pixadra::testing
