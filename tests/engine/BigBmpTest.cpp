#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>

#include "common/TestSupport.h"
#include "engine/BigBmp.h"
#include "support/Errors.h"

namespace pixadra {
namespace {

std::vector<uint8_t> Saved(const TBigBmp& bmp) {
    MemorySink sink;
    bmp.SaveToStream(sink);
    return sink.bytes;
}

uint32_t LE32(const std::vector<uint8_t>& b, std::size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

TEST(TBigBmp, WritesOneWhitePixelAsA58ByteFile) {
    const TBigBmp bmp(1, 1);
    // clang-format off
    const std::vector<uint8_t> expected = {
        'B', 'M', 58, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,                          // file header
        40, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 24, 0, 0, 0, 0, 0,            // size, planes, 24 bits
        4, 0, 0, 0, 0xC4, 0x0E, 0, 0, 0xC4, 0x0E, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // 3780 pixels per metre
        0xFF, 0xFF, 0xFF, 0,                                                     // the pixel and its padding
    };
    // clang-format on
    EXPECT_EQ(Saved(bmp), expected);
}

TEST(TBigBmp, PadsRowsToFourBytesWithZeros) {
    const std::pair<int32_t, int32_t> cases[] = {{0, 0}, {1, 4}, {3, 12}, {4, 12}, {5, 16}, {8000, 24000}};
    for (const auto& [width, bytes] : cases) {
        EXPECT_EQ(TBigBmp::BytesPerLine(width), bytes) << width;
        if (width == 0) continue;
        const std::vector<uint8_t> file = Saved(TBigBmp(width, 2));
        ASSERT_EQ(file.size(), 54u + 2 * bytes) << width;
        for (int32_t i = 0; i < 2 * bytes; ++i) {
            EXPECT_EQ(file[54 + i], i % bytes < 3 * width ? 0xFF : 0) << width << " byte " << i;
        }
    }
}

// Rows go bottom-up, pixels as blue, green, red, padding zero.
TEST(TBigBmp, WritesRowsBottomUpInBlueGreenRed) {
    TBigBmp bmp(3, 2);
    bmp.SetPixel(0, 0, 0x0000FF);  // pure red
    bmp.SetPixel(2, 0, 0x123456);
    bmp.SetPixel(0, 1, 0xAB00FF00);  // the top byte is not written
    const std::vector<uint8_t> file = Saved(bmp);
    ASSERT_EQ(file.size(), 54u + 2 * 12);
    EXPECT_EQ(LE32(file, 2), 78u);
    EXPECT_EQ(LE32(file, 22), 2u);
    EXPECT_EQ(LE32(file, 34), 24u);
    const std::vector<uint8_t> rows(file.begin() + 54, file.end());
    const std::vector<uint8_t> expected = {
        0x00, 0xFF, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0,  // Y = 1
        0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0x12, 0x34, 0x56, 0, 0, 0,  // Y = 0
    };
    EXPECT_EQ(rows, expected);
}

TEST(TBigBmp, EmptyMosaicIsTheHeadersAlone) {
    for (const auto& [width, height] : {std::pair{0, 0}, {0, 7}, {7, 0}}) {
        const TBigBmp bmp(width, height);
        const std::vector<uint8_t> file = Saved(bmp);
        ASSERT_EQ(file.size(), 54u);
        EXPECT_EQ(LE32(file, 2), 54u);
        EXPECT_EQ(LE32(file, 34), 0u);
    }
}

TEST(TBigBmp, RefusesPixelsOutsideTheBlock) {
    TBigBmp bmp(4, 3);
    const std::vector<uint8_t> before = Saved(bmp);
    const std::pair<std::pair<int, int>, const char*> cases[] = {
        {{-1, 0}, "Pixel out of range: -1/0"},
        {{0, 3}, "Pixel out of range: 0/3"},
        {{0, -1}, "Pixel out of range: 0/-1"},
        {{4, 2}, "Pixel out of range: 4/2"},
    };
    for (const auto& [at, message] : cases) {
        try {
            bmp.SetPixel(at.first, at.second, 0);
            ADD_FAILURE() << "no error for " << message;
        } catch (const PixadraError& e) {
            EXPECT_STREQ(e.what(), message);
        }
    }
    EXPECT_EQ(Saved(bmp), before);
    // Only the entry index is tested: one past the end of row 0 is the start of row 1.
    bmp.SetPixel(4, 0, 0x000001);
    EXPECT_EQ(bmp.Pixel(0, 1), 0x000001u);
}

TEST(TBigBmp, SetSizeKeepsPixelsOfTheSameSizeAndLeadingValues) {
    TBigBmp bmp(3, 3);
    bmp.SetPixel(1, 1, 0x010203);
    bmp.SetSize(3, 3);
    EXPECT_EQ(bmp.Pixel(1, 1), 0x010203u);
    bmp.SetSize(3, 10);
    EXPECT_EQ(bmp.Pixel(1, 1), 0x010203u);
    EXPECT_EQ(bmp.PixelCount, 30);
    EXPECT_EQ(bmp.BufferSize, 120);
    bmp.SetSize(0, 0);
    EXPECT_EQ(bmp.Bits, nullptr);
    EXPECT_EQ(bmp.BufferSize, 0);
}

// Sizes whose block or file would not fit the 32-bit fields are refused before anything is
// allocated, with the size in the message.
TEST(TBigBmp, RefusesSizesBeyondItsFields) {
    struct Case {
        int32_t width, height;
        const char* inMessage;
    };
    const Case refused[] = {
        {46341, 46341, "46341 x 46341 pixels needs 8589953124 bytes"},
        {32768, 16384, "32768 x 16384 pixels needs 2147483648 bytes"},
        {1, 536870899, "BMP file of 2147483650 bytes"},  // block fits, file does not
        {1000000000, 0, "rows of 3000000000 bytes"},
        {-1, 5, "-1 x 5"},
    };
    for (const Case& c : refused) {
        try {
            TBigBmp bmp(c.width, c.height);
            ADD_FAILURE() << "no error for " << c.width << " x " << c.height;
        } catch (const SizeError& e) {
            EXPECT_NE(std::string(e.what()).find(c.inMessage), std::string::npos) << e.what();
        }
    }
    TBigBmp small(2, 2);
    EXPECT_THROW(small.SetSize(46341, 46341), SizeError);
    EXPECT_EQ(small.Width, 2);
    EXPECT_EQ(small.Pixel(1, 1), 0xFFFFFFu);
    EXPECT_NO_THROW(TBigBmp::CheckSize(1, 536870898));  // a file of 2147483646 bytes
    EXPECT_NO_THROW(TBigBmp::CheckSize(23170, 23170));
}

// A sink that takes `limit` bytes, then fails like a full disk.
class FailingSink : public ByteSink {
  public:
    explicit FailingSink(std::size_t limit) : limit_(limit) {}
    void Write(const void*, std::size_t size) override {
        if (written_ + size > limit_) throw FileError("Cannot write \"mosaic.bmp\": No space left on device");
        written_ += size;
    }

  private:
    std::size_t limit_;
    std::size_t written_ = 0;
};

TEST(TBigBmp, FailedWritesReachTheCaller) {
    const TBigBmp bmp(10, 10);
    for (std::size_t limit : {0u, 14u, 54u, 60u, 54u + 9 * 32}) {
        FailingSink sink(limit);
        EXPECT_THROW(bmp.SaveToStream(sink), FileError) << limit;
    }
    FailingSink enough(54 + 10 * 32);
    EXPECT_NO_THROW(bmp.SaveToStream(enough));
}

TEST(TBigBmp, SaveToFileReplacesTheFileOnlyWhenComplete) {
    testing::TempFolder folder;
    const std::string path = folder.File("mosaic.bmp");
    testing::WriteFile(path, "earlier mosaic");

    // A file size limit makes the write fail halfway, as a full disk would.
    struct rlimit old {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const TBigBmp big(100, 100);
    EXPECT_THROW(big.SaveToFile(path), FileError);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(testing::ReadFileText(path), "earlier mosaic");
    EXPECT_EQ(ListFolder(folder.Path()).files, std::vector<std::string>{"mosaic.bmp"});

    const TBigBmp one(1, 1);
    one.SaveToFile(path);
    const std::string text = testing::ReadFileText(path);
    EXPECT_EQ(std::vector<uint8_t>(text.begin(), text.end()), Saved(one));
    EXPECT_THROW(one.SaveToFile(folder.File("missing/mosaic.bmp")), FileError);
}

}  // namespace
}  // namespace pixadra
