// add and list through the built executable.
#include <gtest/gtest.h>

#include <filesystem>

#include "cli/CliFixtures.h"
#include "cli/CliRunner.h"
#include "common/TestSupport.h"
#include "engine/DatabaseFiles.h"
#include "imaging/PictureLoader.h"
#include "support/FileSystem.h"
#include "support/Language.h"

namespace pixadra::testing {
namespace {

constexpr int64_t kRecord = 562;

int64_t IndexTiles(const std::string& databasePath) {
    return (FileSize(databasePath + ".idx") - 30) / kRecord;
}

std::vector<std::string> AddArgs(const TempFolder& dir, const std::string& from,
                                 std::vector<std::string> extra = {}) {
    std::vector<std::string> args{"add",    "--databases", dir.File("db"), "--name", "tiles",
                                  "--from", from,          "--resolution", "50"};
    args.insert(args.end(), extra.begin(), extra.end());
    return args;
}

TEST(CliAddTest, AddsTheFolderAndListsTilesAsTheEditPageDoes) {
    TempFolder dir;
    std::filesystem::create_directories(dir.File("pictures/sub"));
    const std::vector<std::string> pictures = WriteTilePictures(dir.File("pictures/"), 3);
    WritePicture(dir.File("pictures/sub/deep.jpg"), ShadedPicture(64, 48, 10, 200, 10));
    WriteFile(dir.File("pictures/notes.txt"), "not a picture");
    WriteFile(dir.File("pictures/sources.list.txt"), "tile01.jpg;Harbour at night\n");

    const CliResult added = RunCli(AddArgs(dir, dir.File("pictures")));
    ASSERT_EQ(added.status, 0) << Describe(added);
    EXPECT_EQ(added.out, "tiles: 3 tiles added (3 in all)\n");
    EXPECT_EQ(IndexTiles(dir.File("db/tiles")), 3);

    const CliResult folder = RunCli({"list", "--databases", dir.File("db")});
    ASSERT_EQ(folder.status, 0) << Describe(folder);
    EXPECT_EQ(folder.out, "tiles\t3 tiles\n");

    const CliResult tiles = RunCli({"list", "--databases", dir.File("db"), "tiles"});
    ASSERT_EQ(tiles.status, 0) << Describe(tiles);
    EXPECT_EQ(tiles.out, "0   -   " + pictures[0] + "\t" + pictures[0] + "\n" +   //
                             "1   -   Harbour at night\t" + pictures[1] + "\n" +  //
                             "2   -   " + pictures[2] + "\t" + pictures[2] + "\n");

    // --recursive takes the subfolder too; the database grows.
    const CliResult deeper = RunCli(AddArgs(dir, dir.File("pictures"), {"--recursive", "--sync"}));
    ASSERT_EQ(deeper.status, 0) << Describe(deeper);
    EXPECT_EQ(deeper.out, "tiles: 1 tiles added (4 in all)\n");
}

TEST(CliAddTest, SyncSecondRunStoresNothingAndLeavesTheFilesAlone) {
    TempFolder dir;
    std::filesystem::create_directories(dir.File("pictures"));
    WriteTilePictures(dir.File("pictures/"), 4);
    ASSERT_EQ(RunCli(AddArgs(dir, dir.File("pictures"), {"--sync"})).status, 0);
    const auto before = SnapshotFolder(dir.File("db"));

    const CliResult again = RunCli(AddArgs(dir, dir.File("pictures"), {"--sync"}));
    ASSERT_EQ(again.status, 0) << Describe(again);
    EXPECT_EQ(again.out, "tiles: 0 tiles added (4 in all)\n");
    EXPECT_EQ(SnapshotFolder(dir.File("db")), before);

    // Without --sync every picture is stored again.
    const CliResult unsynced = RunCli(AddArgs(dir, dir.File("pictures")));
    ASSERT_EQ(unsynced.status, 0) << Describe(unsynced);
    EXPECT_EQ(IndexTiles(dir.File("db/tiles")), 8);
}

// The side S stores pictures with about S x S pixels and skips those below (S/2) x (S/2).
TEST(CliAddTest, ResolutionSetsStoredSizeAndMinimum) {
    struct Case {
        const char* resolution;
        int64_t tiles;    // of a 100 x 100 and a 40 x 20 picture (800 pixels)
        int storedWidth;  // of the 100 x 100 one
    };
    for (const Case& c : {Case{"50", 2, 50}, Case{"60", 1, 60}, Case{"100", 1, 100}}) {
        SCOPED_TRACE(c.resolution);
        TempFolder dir;
        std::filesystem::create_directories(dir.File("pictures"));
        WritePicture(dir.File("pictures/a.jpg"), ShadedPicture(100, 100, 200, 30, 30));
        WritePicture(dir.File("pictures/b.jpg"), ShadedPicture(40, 20, 30, 30, 200));
        const CliResult added = RunCli({"add", "--databases", dir.File("db"), "--name", "r", "--from",
                                        dir.File("pictures"), "--resolution", c.resolution, "--quiet"});
        ASSERT_EQ(added.status, 0) << Describe(added);
        EXPECT_EQ(IndexTiles(dir.File("db/r")), c.tiles);
        const IndexRecord first = DecodeIndexRecord(ReadFileRange(dir.File("db/r.idx"), 30, kRecord).data());
        const std::vector<uint8_t> jpeg = ReadTileJpeg(
            dir.File("db/r"), static_cast<int32_t>(first.DataOffset), static_cast<int32_t>(first.DataSize));
        int width = 0;
        int height = 0;
        ReadJpegSize(jpeg.data(), jpeg.size(), width, height, "tile");
        EXPECT_EQ(width, c.storedWidth);
        EXPECT_EQ(height, c.storedWidth);
    }
}

TEST(CliAddTest, NameIsCleanedAndProgressFollowsQuiet) {
    TempFolder dir;
    std::filesystem::create_directories(dir.File("pictures"));
    WriteTilePictures(dir.File("pictures/"), 2);
    const CliResult added = RunCli({"add", "--databases", dir.File("db"), "--name", "Ur:laub/2024?", "--from",
                                    dir.File("pictures"), "--resolution", "50"});
    ASSERT_EQ(added.status, 0) << Describe(added);
    EXPECT_TRUE(FileExists(dir.File("db/Urlaub2024.idx")));
    EXPECT_TRUE(FileExists(dir.File("db/Urlaub2024.dat")));
    // Not a terminal: one line per label, in the language file's words.
    EXPECT_NE(added.err.find(GetLanguageWord("GaugeMessages", "SearchForPictures") + "\n"), std::string::npos)
        << added.err;

    const CliResult quiet = RunCli({"list", "--databases", dir.File("db"), "Urlaub2024", "--quiet"});
    ASSERT_EQ(quiet.status, 0) << Describe(quiet);
    EXPECT_EQ(quiet.err, "");
    EXPECT_EQ(SplitLines(quiet.out).size(), 2u);
}

TEST(CliListTest, OldDatabasesAreMarkedAndIndexesPadded) {
    TempFolder dir;
    std::filesystem::create_directories(dir.File("pictures"));
    WriteTilePictures(dir.File("pictures/"), 11);
    ASSERT_EQ(RunCli({"add", "--databases", dir.File("db"), "--name", "eleven", "--from",
                      dir.File("pictures"), "--resolution", "50", "--quiet"})
                  .status,
              0);
    // An index without the header of the current format.
    WriteFile(dir.File("db/Ancient.idx"), std::string(30 + kRecord, '\0'));
    WriteFile(dir.File("db/Ancient.dat"), "x");

    const CliResult folder = RunCli({"list", "--databases", dir.File("db")});
    ASSERT_EQ(folder.status, 0) << Describe(folder);
    EXPECT_EQ(folder.out, "eleven\t11 tiles\nAncient\told\n");

    const CliResult tiles = RunCli({"list", "--databases", dir.File("db"), "eleven"});
    ASSERT_EQ(tiles.status, 0) << Describe(tiles);
    const std::vector<std::string> lines = SplitLines(tiles.out);
    ASSERT_EQ(lines.size(), 11u);
    EXPECT_EQ(lines[0],
              "00   -   " + dir.File("pictures/tile00.jpg") + "\t" + dir.File("pictures/tile00.jpg"));
    EXPECT_EQ(lines[10].substr(0, 9), "10   -   ");

    const CliResult old = RunCli({"list", "--databases", dir.File("db"), "Ancient"});
    EXPECT_EQ(old.status, 1) << Describe(old);
    EXPECT_NE(old.err.find("Ancient"), std::string::npos);
}

}  // namespace
}  // namespace pixadra::testing
