// HPI files built here: a JPEG picture and a PNG mask whose black pixels turn the picture white.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "PictureFixtures.h"
#include "common/TestSupport.h"
#include "imaging/JpegEncoder.h"
#include "imaging/PictureLoader.h"

namespace pixadra {
namespace {

using Bytes = std::vector<uint8_t>;

void Put32(Bytes& b, std::size_t at, int32_t value) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(static_cast<uint32_t>(value) >> (8 * i));
}

// Header, then the PNG part, then the JPEG part (either order is allowed).
Bytes MakeHpi(const Bytes& jpeg, const Bytes& png) {
    Bytes file(28, 0);
    const int32_t pngOffset = 28;
    const int32_t jpegOffset = pngOffset + static_cast<int32_t>(png.size());
    Put32(file, 12, jpegOffset);
    Put32(file, 16, static_cast<int32_t>(jpeg.size()));
    Put32(file, 20, pngOffset);
    Put32(file, 24, static_cast<int32_t>(png.size()));
    file.insert(file.end(), png.begin(), png.end());
    file.insert(file.end(), jpeg.begin(), jpeg.end());
    return file;
}

Bitmap Mask(int width, int height, int blackFromX) {
    Bitmap mask(width, height);
    mask.Fill(200, 10, 0);  // any colour that is not black marks picture
    for (int y = 0; y < height; ++y) {
        for (int x = blackFromX; x < width; ++x) std::fill_n(mask.Row(y) + 3 * x, 3, 0);
    }
    return mask;
}

bool IsWhite(const Bitmap& b, int x, int y) {
    const uint8_t* p = b.Row(y) + 3 * x;
    return p[0] == 255 && p[1] == 255 && p[2] == 255;
}

class Hpi : public ::testing::Test {
  protected:
    Bitmap Load(const Bytes& file, bool expectLoaded = true) {
        const std::string path = folder_.File("picture.hpi");
        testing::WriteBytes(path, file);
        Bitmap bitmap(1, 1);
        EXPECT_EQ(LoadPicture(path, bitmap), expectLoaded);
        return bitmap;
    }

    testing::TempFolder folder_;
    const Bitmap picture_ = testing::Gradient(24, 16);
    const Bytes jpeg_ = EncodeJpeg(picture_);
    const Bitmap decoded_ = DecodeJpeg(jpeg_.data(), jpeg_.size(), "picture");
};

TEST_F(Hpi, BlackMaskPixelsTurnWhiteOverTheCommonArea) {
    struct Case {
        const char* name;
        int maskWidth, maskHeight, blackFromX;
    };
    const Case cases[] = {
        {"all black", 24, 16, 0},         {"no black", 24, 16, 24},
        {"right half black", 24, 16, 12}, {"larger mask", 40, 30, 12},  // only the area common to both counts
        {"smaller mask", 8, 4, 0},
    };
    for (const Case& c : cases) {
        const Bitmap loaded =
            Load(MakeHpi(jpeg_, testing::EncodePng(Mask(c.maskWidth, c.maskHeight, c.blackFromX))));
        ASSERT_EQ(loaded.Width(), 24) << c.name;
        ASSERT_EQ(loaded.Height(), 16) << c.name;
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 24; ++x) {
                const bool masked = x < c.maskWidth && y < c.maskHeight && x >= c.blackFromX;
                const uint8_t* p = loaded.Row(y) + 3 * x;
                const uint8_t* q = decoded_.Row(y) + 3 * x;
                if (masked) {
                    ASSERT_TRUE(IsWhite(loaded, x, y)) << c.name << " at " << x << "," << y;
                } else {
                    ASSERT_TRUE(std::equal(p, p + 3, q)) << c.name << " at " << x << "," << y;
                }
            }
        }
    }
}

TEST_F(Hpi, BrokenPartsOrHeadersAreRefusedAndLeaveTheBitmap) {
    const Bytes png = testing::EncodePng(Mask(24, 16, 0));
    Bytes cutJpeg(jpeg_.begin(), jpeg_.begin() + static_cast<std::ptrdiff_t>(jpeg_.size() / 2));
    Bytes cutPng(png.begin(), png.begin() + static_cast<std::ptrdiff_t>(png.size() / 2));
    Bytes pastEnd = MakeHpi(jpeg_, png);
    Put32(pastEnd, 16, static_cast<int32_t>(jpeg_.size() + 1));
    Bytes negativeOffset = MakeHpi(jpeg_, png);
    Put32(negativeOffset, 20, -28);
    Bytes negativeLength = MakeHpi(jpeg_, png);
    Put32(negativeLength, 24, -1);
    Bytes swapped = MakeHpi(jpeg_, png);  // the PNG where the JPEG should be
    for (int i = 0; i < 8; ++i) std::swap(swapped[12 + i], swapped[20 + i]);
    const Bytes shortHeader(20, 0);
    const Bytes cases[] = {MakeHpi(cutJpeg, png),
                           MakeHpi(jpeg_, cutPng),
                           pastEnd,
                           negativeOffset,
                           negativeLength,
                           swapped,
                           shortHeader};
    for (const Bytes& file : cases) {
        const Bitmap bitmap = Load(file, false);
        EXPECT_EQ(bitmap, Bitmap(1, 1)) << "the bitmap stays as it was";
    }
}

TEST_F(Hpi, AReadOnlyFileLoads) {
    const std::string path = folder_.File("locked.hpi");
    testing::WriteBytes(path, MakeHpi(jpeg_, testing::EncodePng(Mask(24, 16, 24))));
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    Bitmap bitmap;
    ASSERT_TRUE(LoadHpiPicture(path, bitmap));
    EXPECT_EQ(bitmap, decoded_);
}

}  // namespace
}  // namespace pixadra
