// JPEG encoding and decoding: our baseline output, every coding the decoder must read (checked
// against the plain baseline decode of the same coefficients), colour spaces, and refusals.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

// clang-format off
#include <cstdio>  // jpeglib.h needs size_t and FILE declared before it
#include <jpeglib.h>
// clang-format on

#include "PictureFixtures.h"
#include "imaging/JpegEncoder.h"
#include "imaging/PictureLoader.h"
#include "support/Errors.h"

namespace pixadra {
namespace {

using Bytes = std::vector<uint8_t>;

int MaxDifference(const Bitmap& a, const Bitmap& b) {
    int most = 0;
    for (std::size_t i = 0; i < a.ByteCount(); ++i)
        most = std::max(most, std::abs(a.Data()[i] - b.Data()[i]));
    return most;
}

bool HasMarker(const Bytes& file, uint8_t marker) {
    for (std::size_t i = 0; i + 1 < file.size(); ++i) {
        if (file[i] == 0xFF && file[i + 1] == marker) return true;
    }
    return false;
}

TEST(JpegEncoder, WritesABaselineFileThatDecodesClose) {
    const Bitmap picture = testing::Gradient(61, 37);
    const Bytes file = EncodeJpeg(picture);
    ASSERT_GE(file.size(), 4u);
    EXPECT_EQ(file[0], 0xFF);
    EXPECT_EQ(file[1], 0xD8);
    EXPECT_EQ(file[file.size() - 2], 0xFF);
    EXPECT_EQ(file[file.size() - 1], 0xD9);
    EXPECT_TRUE(HasMarker(file, 0xC0)) << "baseline frame";
    EXPECT_FALSE(HasMarker(file, 0xC2)) << "no progressive frame";
    const Bitmap decoded = DecodeJpeg(file.data(), file.size(), "round trip");
    ASSERT_EQ(decoded.Width(), 61);
    ASSERT_EQ(decoded.Height(), 37);
    EXPECT_LE(MaxDifference(decoded, picture), 10);
    int width = 0, height = 0;
    ReadJpegSize(file.data(), file.size(), width, height, "size");
    EXPECT_EQ(width, 61);
    EXPECT_EQ(height, 37);
}

TEST(JpegEncoder, RefusesAnEmptyPicture) {
    EXPECT_THROW(EncodeJpeg(Bitmap()), SizeError);
}

// Encodes with libjpeg directly, for the codings and colour spaces our encoder does not write.
struct Coding {
    const char* name;
    bool progressive = false;
    bool arithmetic = false;
    int restartRows = 0;
    bool optimise = false;
};

Bytes EncodeWith(const Coding& coding, J_COLOR_SPACE space, int components, const Bytes& samples, int width,
                 int height, bool adobeMarker = true) {
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr errors{};
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = static_cast<JDIMENSION>(width);
    cinfo.image_height = static_cast<JDIMENSION>(height);
    cinfo.input_components = components;
    cinfo.in_color_space = space;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 90, TRUE);
    if (space == JCS_CMYK) cinfo.write_Adobe_marker = adobeMarker;
    if (coding.progressive) jpeg_simple_progression(&cinfo);
    cinfo.arith_code = coding.arithmetic;
    cinfo.restart_in_rows = coding.restartRows;
    cinfo.optimize_coding = coding.optimise;
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row =
            const_cast<uint8_t*>(samples.data()) + std::size_t{cinfo.next_scanline} * width * components;
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    Bytes file(buffer, buffer + size);
    std::free(buffer);
    return file;
}

Bytes RgbSamples(const Bitmap& picture) {
    Bytes rgb;
    for (int y = 0; y < picture.Height(); ++y) {
        const uint8_t* p = picture.Row(y);
        for (int x = 0; x < picture.Width(); ++x, p += 3) rgb.insert(rgb.end(), {p[2], p[1], p[0]});
    }
    return rgb;
}

// The codings differ only in how the same coefficients are stored, so all decode alike.
TEST(JpegDecoder, ReadsEveryCodingOfTheSameCoefficientsAlike) {
    const Bitmap picture = testing::Gradient(45, 29);
    const Bytes samples = RgbSamples(picture);
    const Bytes baseline = EncodeWith({"baseline"}, JCS_RGB, 3, samples, 45, 29);
    const Bitmap expected = DecodeJpeg(baseline.data(), baseline.size(), "baseline");
    const Coding codings[] = {
        {"progressive", true},
        {"arithmetic", false, true},
        {"progressive arithmetic", true, true},
        {"restart markers", false, false, 1},
        {"optimised tables", false, false, 0, true},
    };
    for (const Coding& coding : codings) {
        const Bytes file = EncodeWith(coding, JCS_RGB, 3, samples, 45, 29);
        EXPECT_EQ(DecodeJpeg(file.data(), file.size(), coding.name), expected) << coding.name;
    }
}

TEST(JpegDecoder, TurnsGreyAndCmykIntoColour) {
    // Inks per pixel (C, M, Y, K as printed) and the colour they make.
    struct Ink {
        uint8_t c, m, y, k;
        uint8_t red, green, blue;
    };
    const Ink inks[] = {{0, 255, 255, 0, 255, 0, 0},
                        {255, 0, 255, 0, 0, 255, 0},
                        {0, 0, 0, 0, 255, 255, 255},
                        {0, 0, 0, 255, 0, 0, 0},
                        {0, 0, 0, 128, 127, 127, 127}};
    const int block = 16;
    const int width = block * static_cast<int>(std::size(inks));
    for (bool adobe : {true, false}) {
        // Adobe applications store CMYK inverted (255 means no ink).
        Bytes samples;
        for (int y = 0; y < block; ++y) {
            for (const Ink& ink : inks) {
                for (int x = 0; x < block; ++x) {
                    for (uint8_t v : {ink.c, ink.m, ink.y, ink.k}) samples.push_back(adobe ? 255 - v : v);
                }
            }
        }
        const Bytes file = EncodeWith({"cmyk"}, JCS_CMYK, 4, samples, width, block, adobe);
        const Bitmap bitmap = DecodeJpeg(file.data(), file.size(), "cmyk");
        for (std::size_t i = 0; i < std::size(inks); ++i) {
            const uint8_t* p = bitmap.Row(block / 2) + (i * block + block / 2) * 3;
            EXPECT_NEAR(p[2], inks[i].red, 3) << "ink " << i << (adobe ? " Adobe" : " plain");
            EXPECT_NEAR(p[1], inks[i].green, 3) << "ink " << i << (adobe ? " Adobe" : " plain");
            EXPECT_NEAR(p[0], inks[i].blue, 3) << "ink " << i << (adobe ? " Adobe" : " plain");
        }
    }

    Bytes grey;
    for (int i = 0; i < 16 * 8; ++i) grey.push_back(static_cast<uint8_t>(i * 2));
    const Bytes file = EncodeWith({"grey"}, JCS_GRAYSCALE, 1, grey, 16, 8);
    const Bitmap bitmap = DecodeJpeg(file.data(), file.size(), "grey");
    for (std::size_t i = 0; i < bitmap.ByteCount(); i += 3) {
        ASSERT_EQ(bitmap.Data()[i], bitmap.Data()[i + 1]);
        ASSERT_EQ(bitmap.Data()[i], bitmap.Data()[i + 2]);
    }
}

TEST(JpegDecoder, RefusesCutAndDamagedData) {
    const Bytes good = EncodeJpeg(testing::Gradient(64, 64));
    const Bytes progressive =
        EncodeWith({"p", true}, JCS_RGB, 3, RgbSamples(testing::Gradient(64, 64)), 64, 64);
    std::vector<Bytes> broken;
    for (const Bytes* file : {&good, &progressive}) {
        for (double keep : {0.1, 0.5, 0.95}) {
            broken.emplace_back(file->begin(),
                                file->begin() + static_cast<std::ptrdiff_t>(file->size() * keep));
        }
    }
    broken.push_back({});
    broken.push_back({0xFF, 0xD8, 0xFF, 0xD9});
    const Bytes png = testing::EncodePng(testing::Gradient(4, 4));
    broken.push_back(png);
    for (const Bytes& file : broken) {
        EXPECT_THROW(DecodeJpeg(file.data(), file.size(), "broken"), DecodeError) << file.size() << " bytes";
    }
}

// Writes new sides into the SOF0 marker of a baseline file.
Bytes WithSize(Bytes file, int width, int height) {
    for (std::size_t i = 0; i + 8 < file.size(); ++i) {
        if (file[i] == 0xFF && file[i + 1] == 0xC0) {
            file[i + 5] = static_cast<uint8_t>(height >> 8);
            file[i + 6] = static_cast<uint8_t>(height);
            file[i + 7] = static_cast<uint8_t>(width >> 8);
            file[i + 8] = static_cast<uint8_t>(width);
            break;
        }
    }
    return file;
}

TEST(JpegDecoder, RefusesSizesTheDataCannotHoldWithoutAllocating) {
    const Bytes small = EncodeJpeg(testing::Gradient(16, 16));
    const int sizes[][2] = {{30000, 30000}, {65535, 65535}, {65000, 1000}};
    for (const auto& size : sizes) {
        const Bytes file = WithSize(small, size[0], size[1]);
        testing::LargestAllocation largest;
        EXPECT_THROW(DecodeJpeg(file.data(), file.size(), "claim"), PixadraError)
            << size[0] << " x " << size[1];
        EXPECT_LT(largest.Bytes(), std::size_t{1} << 20);
    }
}

}  // namespace
}  // namespace pixadra
