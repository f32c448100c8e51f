// The 24-bit BMP writer: exact headers and padding, round trips, and failures that must not
// pass as success or damage an existing file.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <string>
#include <vector>

#include "PictureFixtures.h"
#include "common/TestSupport.h"
#include "imaging/BmpWriter.h"
#include "imaging/PictureLoader.h"
#include "support/Errors.h"
#include "support/FileSystem.h"

namespace pixadra {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes Headers(uint32_t fileSize, uint32_t width, uint32_t height, uint32_t imageSize) {
    auto le = [](uint32_t v) {
        return Bytes{static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
                     static_cast<uint8_t>(v >> 24)};
    };
    Bytes b = {'B', 'M'};
    for (const Bytes& part : {le(fileSize), le(0), le(54), le(40), le(width), le(height), Bytes{1, 0, 24, 0},
                              le(0), le(imageSize), le(3780), le(3780), le(0), le(0)}) {
        b.insert(b.end(), part.begin(), part.end());
    }
    return b;
}

TEST(BmpWriter, WritesExactHeadersAndPaddedRowsBottomUp) {
    struct Case {
        const char* name;
        Bitmap bitmap;
        Bytes expected;
    };
    Bitmap one(1, 1);
    one.Fill(0x30, 0x20, 0x10);  // red, green, blue
    Bitmap three(3, 1);
    three.Row(0)[0] = 1;
    three.Row(0)[8] = 9;
    Bitmap tall(4, 2);   // 12 bytes a row: no padding
    tall.Row(0)[0] = 7;  // top row, written last
    Case cases[] = {
        {"1 x 1", one, Headers(58, 1, 1, 4)},
        {"3 x 1", three, Headers(66, 3, 1, 12)},
        {"4 x 2", tall, Headers(78, 4, 2, 24)},
    };
    cases[0].expected.insert(cases[0].expected.end(), {0x10, 0x20, 0x30, 0});
    cases[1].expected.insert(cases[1].expected.end(), {1, 0, 0, 0, 0, 0, 0, 0, 9, 0, 0, 0});
    cases[2].expected.insert(cases[2].expected.end(), 12, 0);
    cases[2].expected.push_back(7);
    cases[2].expected.insert(cases[2].expected.end(), 11, 0);
    for (const Case& c : cases) {
        MemorySink sink;
        WriteBmp(c.bitmap, sink);
        EXPECT_EQ(sink.bytes, c.expected) << c.name;
        EXPECT_EQ(DecodeBmp(sink.bytes.data(), sink.bytes.size(), c.name), c.bitmap) << c.name;
    }
}

// Odd widths need padding; the large one spans several read blocks of the file reader.
TEST(BmpWriter, RoundTripsThroughTheFile) {
    testing::TempFolder folder;
    for (const auto& size : {std::pair{1, 1}, std::pair{5, 3}, std::pair{17, 40}, std::pair{701, 613}}) {
        const Bitmap picture = testing::Gradient(size.first, size.second);
        const std::string path = folder.File("out.bmp");
        SaveBitmapAsBmp(picture, path);
        Bitmap loaded;
        ASSERT_TRUE(LoadPicture(path, loaded));
        EXPECT_EQ(loaded, picture) << size.first << " x " << size.second;
    }
}

// A sink that accepts `budget` bytes, then fails like a full disk.
class FailingSink : public ByteSink {
  public:
    explicit FailingSink(std::size_t budget) : budget_(budget) {}
    void Write(const void*, std::size_t size) override {
        if (size > budget_) throw FileError("disk full");
        budget_ -= size;
    }

  private:
    std::size_t budget_;
};

TEST(BmpWriter, AFailingSinkStopsTheWriter) {
    const Bitmap picture = testing::Gradient(10, 10);
    for (std::size_t budget : {0u, 53u, 54u, 100u, 54u + 32u * 9}) {
        FailingSink sink(budget);
        EXPECT_THROW(WriteBmp(picture, sink), FileError) << budget;
    }
}

TEST(BmpWriter, RefusesAnEmptyPicture) {
    MemorySink sink;
    EXPECT_THROW(WriteBmp(Bitmap(), sink), SizeError);
    EXPECT_TRUE(sink.bytes.empty());
}

// A write that fails half way (here the file size limit) leaves the old file as it was and no
// temporary file behind.
TEST(BmpWriter, AFailedSaveKeepsTheOldFile) {
    testing::TempFolder folder;
    const std::string path = folder.File("kept.bmp");
    testing::WriteFile(path, "the old picture");
    const Bitmap picture = testing::Gradient(300, 300);

    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    bool threw = false;
    try {
        SaveBitmapAsBmp(picture, path);
    } catch (const FileError&) {
        threw = true;
    }
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &saved), 0);
    std::signal(SIGXFSZ, SIG_DFL);

    EXPECT_TRUE(threw);
    EXPECT_EQ(testing::ReadFileText(path), "the old picture");
    EXPECT_EQ(ListFolder(folder.Path()).files, std::vector<std::string>{"kept.bmp"});
}

}  // namespace
}  // namespace pixadra
