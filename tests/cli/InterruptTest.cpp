// Ctrl-C while adding: the run stops before its next picture and the database stays whole.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "cli/CliFixtures.h"
#include "cli/CliRunner.h"
#include "common/TestSupport.h"
#include "engine/DatabaseFiles.h"
#include "imaging/JpegEncoder.h"
#include "support/FileSystem.h"

namespace pixadra::testing {
namespace {

TEST(CliInterruptTest, CtrlCStopsAddingWithAnIntactDatabase) {
    TempFolder dir;
    std::filesystem::create_directories(dir.File("pictures"));
    // Many copies of one large picture: each takes a while to reduce, copying them costs nothing.
    const std::vector<uint8_t> jpeg = EncodeJpeg(ShadedPicture(1200, 900, 90, 140, 40), 90);
    constexpr int kPictures = 400;
    for (int i = 0; i < kPictures; ++i) {
        WriteFile(dir.File("pictures/p" + std::to_string(1000 + i) + ".jpg"),
                  std::string(jpeg.begin(), jpeg.end()));
    }
    const std::string database = dir.File("db/many");
    CliProcess process(
        {"add", "--databases", dir.File("db"), "--name", "many", "--from", dir.File("pictures")});

    // Interrupt once the first tile is in (the index appears with it).
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (FileSize(database + ".idx") <= 30 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    process.Signal(SIGINT);
    const CliResult result = process.Wait();
    ASSERT_EQ(result.status, 130) << Describe(result);
    EXPECT_NE(result.err.find("interrupted"), std::string::npos) << result.err;

    // Whole records only, each pointing at its JPEG, the JPEGs one after another.
    const int64_t indexSize = FileSize(database + ".idx");
    ASSERT_EQ((indexSize - 30) % 562, 0) << indexSize;
    const int64_t tiles = (indexSize - 30) / 562;
    EXPECT_GE(tiles, 1);
    EXPECT_LT(tiles, kPictures);
    EXPECT_EQ(result.out,
              "many: " + std::to_string(tiles) + " tiles added (" + std::to_string(tiles) + " in all)\n");
    const std::vector<uint8_t> index = ReadWholeFile(database + ".idx");
    int64_t expectedOffset = 0;
    for (int64_t i = 0; i < tiles; ++i) {
        const IndexRecord record = DecodeIndexRecord(index.data() + 30 + 562 * i);
        EXPECT_EQ(record.DataOffset, expectedOffset) << "tile " << i;
        expectedOffset += record.DataSize;
    }
    EXPECT_EQ(FileSize(database + ".dat"), expectedOffset);
}

}  // namespace
}  // namespace pixadra::testing
