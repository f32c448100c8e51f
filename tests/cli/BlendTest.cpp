// blend through the built executable.
#include <gtest/gtest.h>

#include "cli/CliFixtures.h"
#include "cli/CliRunner.h"
#include "common/TestSupport.h"
#include "engine/TileGrid.h"
#include "imaging/PictureLoader.h"
#include "imaging/Resampling.h"
#include "support/Language.h"

namespace pixadra::testing {
namespace {

// A portrait mosaic: its grid crops the input picture differently from the landscape default,
// so a lost --shape shows in the factor-100 result.
std::string RenderPortraitMosaic(const TempFolder& out) {
    const CliResult rendered = RunCli(RenderArgs(
        out.File("m.bmp"), {"--tiles", "10", "--shape", "portrait", "--tile-width", "9", "--max-uses", "3"}));
    EXPECT_EQ(rendered.status, 0) << Describe(rendered);
    return out.File("m.bmp");
}

Bitmap Load(const std::string& path) {
    Bitmap picture;
    EXPECT_TRUE(LoadPicture(path, picture)) << path;
    return picture;
}

TEST(CliBlendTest, FactorZeroKeepsTheMosaicAndHundredGivesTheResampledPicture) {
    TempFolder out;
    const std::string mosaic = RenderPortraitMosaic(out);
    const Bitmap rendered = Load(mosaic);
    ASSERT_FALSE(rendered.Empty());
    const std::vector<std::string> common{
        "blend",    "--input", SharedRenderSetup().input, "--mosaic", mosaic, "--tiles", "10", "--shape",
        "portrait", "--factor"};

    std::vector<std::string> zero = common;
    zero.push_back("0");
    const CliResult kept = RunCli(zero);
    ASSERT_EQ(kept.status, 0) << Describe(kept);
    EXPECT_EQ(Load(mosaic), rendered);

    // The input picture cut to the cells' area and resampled to the mosaic's size.
    Bitmap expected = Load(SharedRenderSetup().input);
    const GridSize grid = CalcTileGrid(expected.Width(), expected.Height(), 10, kShapePortrait);
    Bitmap cropped(expected.Width() / grid.Columns * grid.Columns, expected.Height() / grid.Rows * grid.Rows);
    for (int y = 0; y < cropped.Height(); ++y) {
        std::copy(expected.Row(y), expected.Row(y) + cropped.Stride(), cropped.Row(y));
    }
    ASSERT_TRUE(ResampleTo(cropped, rendered.Width(), rendered.Height()));

    std::vector<std::string> hundred = common;
    hundred.push_back("100");
    const CliResult replaced = RunCli(hundred);
    ASSERT_EQ(replaced.status, 0) << Describe(replaced);
    EXPECT_EQ(replaced.out, "");
    EXPECT_EQ(Load(mosaic), cropped);
    EXPECT_EQ(SnapshotFolder(out.Path()).size(), 1u);  // saved over the mosaic, nothing beside it
}

TEST(CliBlendTest, MissingMosaicReportsCanNotBlendAndWritesNothing) {
    TempFolder out;
    const CliResult result = RunCli({"blend", "--input", SharedRenderSetup().input, "--mosaic",
                                     out.File("gone.bmp"), "--tiles", "10", "--factor", "50"});
    EXPECT_EQ(result.status, 1) << Describe(result);
    std::string word = GetLanguageWord("Messages", "CanNotBlend");
    std::erase(word, '\r');
    EXPECT_NE(result.err.find(word), std::string::npos) << result.err;
    EXPECT_NE(result.err.find(out.File("gone.bmp")), std::string::npos) << result.err;
    EXPECT_TRUE(SnapshotFolder(out.Path()).empty());
}

}  // namespace
}  // namespace pixadra::testing
