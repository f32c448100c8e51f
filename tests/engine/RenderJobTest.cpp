#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "common/TestSupport.h"
#include "engine/AddPictures.h"
#include "engine/Composition.h"
#include "engine/LoadedTiles.h"
#include "engine/MosaicFixtures.h"
#include "engine/RenderJob.h"
#include "engine/TileGrid.h"
#include "imaging/BmpWriter.h"
#include "support/Dialogs.h"
#include "support/Errors.h"
#include "support/FileSystem.h"
#include "support/Language.h"

namespace pixadra {
namespace {

using testing::Rgb;

const Rgb kPalette[] = {{230, 20, 20},  {20, 200, 40}, {30, 40, 220},
                        {240, 240, 30}, {20, 20, 20},  {200, 90, 220}};

// The picture is 8 x 8 cells of 20 x 15 pixels (160 x 120, 64 landscape tiles), each cell one colour.
int CellColor(int c, int r) {
    return (c * 3 + r * 5) % 6;
}

int64_t g_available = 0;
int64_t FixedAvailableMemory() {
    return g_available;
}

class RenderJobTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Bitmap picture(160, 120);
        for (int y = 0; y < 120; ++y)
            for (int x = 0; x < 160; ++x) {
                const Rgb color = kPalette[CellColor(x / 20, y / 15)];
                uint8_t* p = picture.Row(y) + x * 3;
                p[0] = color.blue;
                p[1] = color.green;
                p[2] = color.red;
            }
        SaveBitmapAsBmp(picture, folder.File("input.bmp"));
        request.inputPath = folder.File("input.bmp");
        request.inputWidth = 160;
        request.inputHeight = 120;
        request.outputPath = folder.File("mosaic.bmp");
        request.databaseFolder = folder.Path();
        request.tileCount = 64;
        request.tileWidth = 28;
        request.tileHeight = 21;
        request.useLimit = 100;
        request.shape = 2;
        request.hasSeed = true;
        request.seed = 5;
        g_available = int64_t{1} << 40;
        request.availableMemory = FixedAvailableMemory;
        // What an earlier render left in memory.
        LoadedTiles().clear();
        LoadedTiles().push_back(std::make_unique<TDataBaseTile>());
        LoadedTiles().back()->Source = "earlier render";
    }

    void TearDown() override {
        LoadedTiles().clear();
        TheCellGrid().clear();
    }

    // Solid tile pictures added as a real database would get them.
    void AddColours(const std::string& database, const std::vector<int>& colours) {
        CreateFolders(folder.File("pictures"));
        for (int i : colours) {
            const std::string path = folder.File("pictures/" + database + "-" + std::to_string(i) + ".bmp");
            Bitmap picture = testing::SolidPicture(346, 259, kPalette[i]);
            ASSERT_TRUE(AddPicture(picture, path, folder.File(database), 90000, false, nullptr, 0));
        }
    }

    // Tiny tiles, for tests that need many of them.
    void AddTinyTiles(const std::string& database, int count) {
        for (int i = 0; i < count; ++i) {
            const Rgb color{static_cast<uint8_t>(i), static_cast<uint8_t>(i * 7), 90};
            testing::AppendPictureTile(folder.File(database), testing::SolidPicture(8, 6, color),
                                       testing::UniformSignature(color), database + std::to_string(i));
        }
    }

    bool EarlierTilesKept() const {
        return LoadedTiles().size() == 1 && LoadedTiles()[0] && LoadedTiles()[0]->Source == "earlier render";
    }

    std::string Message(const std::string& key, const std::vector<std::string>& args = {}) const {
        return FormatLanguageWord("Messages", key, args);
    }

    testing::TempFolder folder;
    testing::ScriptedDialogs dialogs;
    RenderRequest request;
};

TEST_F(RenderJobTest, RendersThePictureFromTheDatabasesWithItsSourcesTable) {
    AddColours("alpha", {0, 1, 2, 3});
    AddColours("beta", {4, 5, 0});  // a second tile of colour 0, loaded after the first
    request.databaseNames = {"alpha", "beta"};
    request.sourcesTable = true;
    testing::RecordingPreview preview(100, 80);
    testing::ProgressRecorder recorder;

    EXPECT_EQ(RenderMosaic(request, &preview, recorder.Outputs()), RenderOutcome::Previewed);
    EXPECT_TRUE(dialogs.requests.empty());
    EXPECT_EQ(request.outputPath, folder.File("mosaic.bmp"));

    // Tiles by source, as loaded: alpha's four, then beta's three.
    ASSERT_EQ(LoadedTiles().size(), 7u);
    std::map<std::string, const TDataBaseTile*> bySource;
    for (const auto& tile : LoadedTiles()) bySource[tile->Source] = tile.get();
    auto sourceOf = [&](int c, int r) {
        const int colour = CellColor(c, r);
        return folder.File("pictures/" + std::string(colour >= 4 ? "beta-" : "alpha-") +
                           std::to_string(colour) + ".bmp");
    };

    const Bitmap mosaic = testing::ReadMosaic(request.outputPath);
    ASSERT_EQ(mosaic.Width(), 8 * 28);
    ASSERT_EQ(mosaic.Height(), 8 * 21);
    std::string csv;
    for (int r = 0; r < 8; ++r) {
        for (int c = 0; c < 8; ++c) {
            const TDataBaseTile* tile = bySource.at(sourceOf(c, r));
            const Bitmap expected = testing::ExpectedTile(folder.File(tile->DataBaseName), tile->DataOffset,
                                                          tile->DataSize, 2, 28 * 21);
            EXPECT_TRUE(testing::BlockEquals(mosaic, c * 28, r * 21, expected)) << c << "," << r;
            const uint8_t* pixel = mosaic.Row(r * 21 + 10) + (c * 28 + 14) * 3;
            const Rgb colour = kPalette[CellColor(c, r)];
            EXPECT_NEAR(pixel[2], colour.red, 3);
            EXPECT_NEAR(pixel[1], colour.green, 3);
            EXPECT_NEAR(pixel[0], colour.blue, 3);
            csv += (c > 0 ? ";" : "") + sourceOf(c, r);
        }
        csv += "\r\n";
    }
    EXPECT_EQ(testing::ReadFileText(request.outputPath + ".source.csv"), csv);
    EXPECT_EQ(bySource.at(folder.File("pictures/beta-0.bmp"))->UseCount, 0);

    ASSERT_EQ(preview.shown.size(), 1u);
    EXPECT_EQ(preview.shown[0].Width(), 100);
    EXPECT_EQ(preview.shown[0].Height(), 75);
    EXPECT_EQ(recorder.positions.back(), 0);
}

TEST_F(RenderJobTest, UseLimitOneWithTooFewTilesWarnsAndYesLeavesCellsWhite) {
    AddColours("alpha", {0, 1, 2, 3, 4, 5});
    AddColours("beta", {0});
    request.databaseNames = {"alpha", "beta"};
    request.useLimit = 1;
    request.sourcesTable = true;
    dialogs.Answer(kResultYes);

    EXPECT_EQ(RenderMosaic(request, nullptr), RenderOutcome::Previewed);
    ASSERT_EQ(dialogs.requests.size(), 1u);
    EXPECT_EQ(dialogs.requests[0].text, Message("MoreTilesAsInDatabase", {"6"}));
    EXPECT_EQ(dialogs.requests[0].kind, kDlgWarning);

    const Bitmap mosaic = testing::ReadMosaic(request.outputPath);
    int tiled = 0;
    for (int c = 0; c < 8; ++c)
        for (int r = 0; r < 8; ++r)
            if (!testing::BlockIsWhite(mosaic, c * 28, r * 21, 28, 21)) ++tiled;
    EXPECT_EQ(tiled, 7);
    const std::string csv = testing::ReadFileText(request.outputPath + ".source.csv");
    EXPECT_EQ(std::count(csv.begin(), csv.end(), ';'), 8 * 7);
    for (const auto& tile : LoadedTiles()) EXPECT_EQ(tile->UseCount, 1);
}

TEST_F(RenderJobTest, WithoutDatabasesYesRendersAWhiteMosaic) {
    request.databaseNames = {};
    request.sourcesTable = true;
    dialogs.Answer(kResultYes);
    EXPECT_EQ(RenderMosaic(request, nullptr), RenderOutcome::Previewed);
    ASSERT_EQ(dialogs.requests.size(), 1u);
    EXPECT_EQ(dialogs.requests[0].text, Message("MoreTilesAsInDatabase", {"-1"}));
    EXPECT_TRUE(LoadedTiles().empty());
    const Bitmap mosaic = testing::ReadMosaic(request.outputPath);
    EXPECT_TRUE(testing::BlockIsWhite(mosaic, 0, 0, 8 * 28, 8 * 21));
    std::string csv;
    for (int r = 0; r < 8; ++r) csv += ";;;;;;;\r\n";
    EXPECT_EQ(testing::ReadFileText(request.outputPath + ".source.csv"), csv);
}

TEST_F(RenderJobTest, SupplyCheckComparesTheRoundedShareWithTheLoadedTiles) {
    AddTinyTiles("a", 200);
    AddTinyTiles("b", 1);
    AddTinyTiles("c", 132);
    AddTinyTiles("d", 1);
    AddTinyTiles("e", 2);
    struct Case {
        int32_t tiles, limit;
        std::vector<std::string> databases;  // holding L tiles
        bool warned;
    };
    const Case cases[] = {
        {1000, 5, {"a"}, true},            // R = 200 >= 200
        {1000, 5, {"a", "b"}, false},      // 201
        {1000, 3, {"a", "c", "b"}, true},  // R = 333 (333.33) >= 333
        {1000, 3, {"a", "c", "b", "d"}, false},
        {1000, 400, {"e"}, true},  // R = 2 (2.5 to even) >= 2
        {1000, 400, {"e", "d"}, false},
        {1000, 5, {}, true},  // nothing loaded
    };
    for (const Case& c : cases) {
        testing::ScriptedDialogs answers;
        answers.Answer(kResultNo);
        RemoveFile(folder.File("supply.bmp"));
        request.tileCount = c.tiles;
        request.useLimit = c.limit;
        request.databaseNames = c.databases;
        request.outputPath = folder.File("supply.bmp");
        const RenderOutcome outcome = RenderMosaic(request, nullptr);
        const int64_t loaded = static_cast<int64_t>(LoadedTiles().size());
        if (c.warned) {
            EXPECT_EQ(outcome, RenderOutcome::Declined) << loaded;
            ASSERT_EQ(answers.requests.size(), 1u) << loaded;
            EXPECT_EQ(answers.requests[0].text,
                      Message("MoreTilesAsInDatabase", {std::to_string(loaded - 1)}));
            EXPECT_FALSE(FileExists(folder.File("supply.bmp")));
        } else {
            EXPECT_EQ(outcome, RenderOutcome::Previewed) << loaded;
            EXPECT_TRUE(answers.requests.empty()) << loaded;
            EXPECT_TRUE(FileExists(folder.File("supply.bmp")));
        }
    }
}

TEST_F(RenderJobTest, MemoryWarningShowsRoundedKilobytesAndNoDeclinesBeforeLoading) {
    AddColours("alpha", {0, 1, 2, 3, 4, 5});
    request.databaseNames = {"alpha"};
    const int64_t need = 28 * 8 * 4 * 8 * 21;  // 150528 bytes = 147 KB
    struct Case {
        int64_t available;
        int answer;  // 0: no question expected
        std::string availableText;
        RenderOutcome outcome;
    };
    const Case cases[] = {
        {need + 1, 0, "", RenderOutcome::Previewed},
        {need, kResultYes, "147", RenderOutcome::Previewed},
        {2560, kResultNo, "2", RenderOutcome::Declined},    // 2.5 to even
        {3584, kResultNo, "4", RenderOutcome::Declined},    // 3.5 to even
        {0, kResultCancel, "0", RenderOutcome::Previewed},  // only No declines
    };
    for (const Case& c : cases) {
        SetUp();
        request.databaseNames = {"alpha"};
        g_available = c.available;
        testing::ScriptedDialogs answers;
        if (c.answer != 0) answers.Answer(c.answer);
        EXPECT_EQ(RenderMosaic(request, nullptr), c.outcome) << c.available;
        if (c.answer == 0) {
            EXPECT_TRUE(answers.requests.empty());
            continue;
        }
        ASSERT_EQ(answers.requests.size(), 1u) << c.available;
        EXPECT_EQ(answers.requests[0].text, Message("NotEnoughMemory", {c.availableText, "147"}));
        EXPECT_EQ(answers.requests[0].kind, kDlgWarning);
        ASSERT_EQ(answers.requests[0].buttons.size(), 2u);
        EXPECT_EQ(answers.requests[0].buttons[1].result, kResultNo);
        if (c.outcome == RenderOutcome::Declined) {
            EXPECT_TRUE(EarlierTilesKept());
        }
    }
}

TEST_F(RenderJobTest, RefusesBeforeLoadingOrWritingAnything) {
    AddColours("alpha", {0, 1});
    request.databaseNames = {"alpha"};
    g_available = 0;  // a memory warning would come first if the refusals were late
    struct Case {
        const char* what;
        std::string input;
        int32_t recordedWidth, recordedHeight, tiles, tileWidth, tileHeight, shape;
        std::string key;
        std::vector<std::string> args;
    };
    const std::string gone = folder.File("gone.png");
    const Case cases[] = {
        {"picture gone", gone, 160, 120, 64, 28, 21, 2, "CanNotRenderPicture", {gone}},
        {"not a picture",
         folder.File("alpha.idx"),
         160,
         120,
         64,
         28,
         21,
         2,
         "CanNotRenderPicture",
         {folder.File("alpha.idx")}},
        {"cells below a pixel",
         "",
         160,
         120,
         100000,
         30,
         30,
         0,
         "TooManyTilesForPicture",
         {"160", "120", "100000"}},
        {"recorded size too small", "", 1, 1, 64, 28, 21, 2, "TooManyTilesForPicture", {"1", "1", "64"}},
        {"block beyond 32 bits", "", 160, 120, 64, 4000, 3000, 2, "MosaicTooLarge", {"32000", "24000"}},
    };
    for (const Case& c : cases) {
        SetUp();
        testing::ScriptedDialogs answers;
        answers.Answer(kResultYes);
        request.databaseNames = {"alpha"};
        if (!c.input.empty()) request.inputPath = c.input;
        request.inputWidth = c.recordedWidth;
        request.inputHeight = c.recordedHeight;
        request.tileCount = c.tiles;
        request.tileWidth = c.tileWidth;
        request.tileHeight = c.tileHeight;
        request.shape = c.shape;
        request.outputPath = folder.File("refused");
        EXPECT_EQ(RenderMosaic(request, nullptr), RenderOutcome::Declined) << c.what;
        ASSERT_EQ(answers.requests.size(), 1u) << c.what;
        EXPECT_EQ(answers.requests[0].text, Message(c.key, c.args)) << c.what;
        EXPECT_EQ(answers.requests[0].kind, kDlgInformation) << c.what;
        EXPECT_TRUE(EarlierTilesKept()) << c.what;
        EXPECT_EQ(request.outputPath, folder.File("refused")) << c.what;
        EXPECT_FALSE(FileExists(folder.File("refused.bmp"))) << c.what;
    }
}

TEST_F(RenderJobTest, OutputNameEndsInBmpAndTheChangeReachesTheCaller) {
    AddColours("alpha", {0, 1, 2, 3, 4, 5});
    CreateFolders(folder.File("my.folder"));
    struct Case {
        std::string given, expected;
    };
    const Case cases[] = {
        {"mosaic.JPG", "mosaic.JPG.bmp"},
        {"Mosaic.Bmp", "Mosaic.Bmp"},
        {"mosaic", "mosaic.bmp"},
        {"my.folder/mosaic", "my.folder/mosaic.bmp"},
    };
    for (const Case& c : cases) {
        request.databaseNames = {"alpha"};
        request.sourcesTable = true;
        request.outputPath = folder.File(c.given);
        EXPECT_EQ(RenderMosaic(request, nullptr), RenderOutcome::Previewed) << c.given;
        EXPECT_EQ(request.outputPath, folder.File(c.expected));
        EXPECT_TRUE(FileExists(folder.File(c.expected))) << c.given;
        EXPECT_TRUE(FileExists(folder.File(c.expected + ".source.csv"))) << c.given;
    }
    EXPECT_FALSE(FileExists(folder.File("mosaic.JPG")));
}

TEST_F(RenderJobTest, MosaicThatDoesNotReadBackForThePreviewIsUnreadable) {
    AddColours("alpha", {0, 1, 2, 3, 4, 5});
    request.databaseNames = {"alpha"};
    testing::RecordingPreview nowhere(0, 0);
    EXPECT_EQ(RenderMosaic(request, &nowhere), RenderOutcome::Unreadable);
    ASSERT_EQ(dialogs.requests.size(), 1u);
    EXPECT_EQ(dialogs.requests[0].text, GetLanguageWord("Messages", "CanNotOpenDonePicture"));
    EXPECT_EQ(dialogs.requests[0].kind, kDlgError);
    EXPECT_TRUE(nowhere.shown.empty());
    EXPECT_EQ(testing::ReadMosaic(request.outputPath).Width(), 8 * 28);
}

TEST_F(RenderJobTest, ErrorsLeaveEarlierFilesOrAFinishedMosaic) {
    AddColours("alpha", {0, 1, 2, 3, 4, 5});
    request.databaseNames = {"alpha"};
    request.sourcesTable = true;

    // A sources table that cannot be written: the error comes after a complete mosaic.
    CreateFolders(folder.File("mosaic.bmp.source.csv"));
    EXPECT_THROW(RenderMosaic(request, nullptr), FileError);
    EXPECT_EQ(testing::ReadMosaic(folder.File("mosaic.bmp")).Height(), 8 * 21);

    // A data file cut short: the composition fails and the earlier mosaic stays as it was.
    const std::vector<uint8_t> data = ReadWholeFile(folder.File("alpha.dat"));
    testing::WriteFile(folder.File("alpha.dat"), std::string(data.begin(), data.begin() + 100));
    testing::WriteFile(folder.File("kept.bmp"), "earlier mosaic");
    request.outputPath = folder.File("kept.bmp");
    request.sourcesTable = false;
    EXPECT_THROW(RenderMosaic(request, nullptr), PixadraError);
    EXPECT_EQ(testing::ReadFileText(folder.File("kept.bmp")), "earlier mosaic");
}

}  // namespace
}  // namespace pixadra
