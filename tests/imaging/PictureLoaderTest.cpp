// LoadPicture's contract: the reader is chosen by the extension without regard to case; a
// missing, unknown or broken file is false and leaves the caller's bitmap as it was.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "PictureFixtures.h"
#include "common/TestSupport.h"
#include "imaging/BmpWriter.h"
#include "imaging/JpegEncoder.h"
#include "imaging/PictureLoader.h"

namespace pixadra {
namespace {

using Bytes = std::vector<uint8_t>;

enum class Content { Jpeg, Png, Gif, Bmp, Hpi, Text, Nothing };

struct LoadCase {
    const char* name;
    Content content;
    bool loads;
};

const LoadCase kCases[] = {
    {"photo.JpEg", Content::Jpeg, true},
    {"photo.jpeg", Content::Jpeg, true},
    {"PHOTO.JPG", Content::Jpeg, true},
    {"photo.Png", Content::Png, true},
    {"anim.GIF", Content::Gif, true},
    {"scan.bMp", Content::Bmp, true},
    {"cut.hPi", Content::Hpi, true},
    {"dots.in.name.jpg", Content::Jpeg, true},
    {"missing.jpg", Content::Nothing, false},
    // Extensions outside the readers' table are refused even with good content.
    {"photo.tif", Content::Jpeg, false},
    {"photo.jpg.txt", Content::Jpeg, false},
    {"photo", Content::Jpeg, false},
    {"photo.", Content::Png, false},
    // Wrong content under a known extension.
    {"notes.png", Content::Text, false},
    {"notes.jpg", Content::Text, false},
    {"notes.gif", Content::Text, false},
    {"notes.bmp", Content::Text, false},
    {"notes.hpi", Content::Text, false},
    {"png-named.jpg", Content::Png, false},
};

Bytes ContentBytes(Content content, const Bitmap& picture) {
    switch (content) {
        case Content::Jpeg:
            return EncodeJpeg(picture);
        case Content::Png:
            return testing::EncodePng(picture);
        case Content::Gif: {
            testing::GifRecipe recipe{2, 2, {0, 0, 0, 255, 255, 255}, {}};
            testing::GifImage image;
            image.width = 2;
            image.height = 2;
            image.indices = {0, 1, 1, 0};
            recipe.images.push_back(image);
            return testing::EncodeGif(recipe);
        }
        case Content::Bmp: {
            MemorySink sink;
            WriteBmp(picture, sink);
            return sink.bytes;
        }
        case Content::Hpi: {
            const Bytes jpeg = EncodeJpeg(picture);
            Bitmap mask(picture.Width(), picture.Height());
            mask.Fill(255, 255, 255);
            const Bytes png = testing::EncodePng(mask);
            Bytes file(28, 0);
            const uint32_t fields[] = {28, static_cast<uint32_t>(jpeg.size()),
                                       28 + static_cast<uint32_t>(jpeg.size()),
                                       static_cast<uint32_t>(png.size())};
            for (int f = 0; f < 4; ++f) {
                for (int i = 0; i < 4; ++i) file[12 + 4 * f + i] = static_cast<uint8_t>(fields[f] >> (8 * i));
            }
            file.insert(file.end(), jpeg.begin(), jpeg.end());
            file.insert(file.end(), png.begin(), png.end());
            return file;
        }
        case Content::Text: {
            const std::string text = "Just some words, not a picture.\n";
            return Bytes(text.begin(), text.end());
        }
        case Content::Nothing:
            break;
    }
    return {};
}

class LoadPictureContract : public ::testing::TestWithParam<LoadCase> {};

TEST_P(LoadPictureContract, LoadsOrLeavesTheBitmap) {
    const LoadCase& c = GetParam();
    testing::TempFolder folder;
    const std::string path = folder.File(c.name);
    const Bitmap picture = testing::Gradient(9, 7);
    if (c.content != Content::Nothing) testing::WriteBytes(path, ContentBytes(c.content, picture));

    Bitmap bitmap(3, 2);
    bitmap.Fill(11, 22, 33);
    const Bitmap before = bitmap;
    ASSERT_EQ(LoadPicture(path, bitmap), c.loads);
    if (!c.loads) {
        EXPECT_EQ(bitmap, before);
    } else if (c.content == Content::Gif) {
        EXPECT_EQ(bitmap.Width(), 2);
    } else {
        EXPECT_EQ(bitmap.Width(), picture.Width());
        EXPECT_EQ(bitmap.Height(), picture.Height());
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, LoadPictureContract, ::testing::ValuesIn(kCases), [](const auto& info) {
    std::string name;
    for (char ch : std::string(info.param.name))
        name += std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
    return name;
});

TEST(LoadPicture, AFolderWithAPictureNameIsNotAPicture) {
    testing::TempFolder folder;
    const std::string path = folder.File("album.jpg");
    ASSERT_EQ(::mkdir(path.c_str(), 0755), 0);
    Bitmap bitmap(1, 1);
    EXPECT_FALSE(LoadPicture(path, bitmap));
    EXPECT_EQ(bitmap, Bitmap(1, 1));
}

}  // namespace
}  // namespace pixadra
