#include "engine/MosaicFixtures.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "engine/DatabaseFiles.h"
#include "imaging/JpegEncoder.h"
#include "imaging/PictureLoader.h"
#include "imaging/Resampling.h"
#include "support/FileSystem.h"

namespace pixadra::testing {

Bitmap SolidPicture(int width, int height, Rgb color) {
    Bitmap picture(width, height);
    picture.Fill(color.red, color.green, color.blue);
    return picture;
}

ColorSignature UniformSignature(Rgb color) {
    ColorSignature signature{};
    for (int k = 0; k < 16; ++k) {
        signature[k * 4] = color.red;
        signature[k * 4 + 1] = color.green;
        signature[k * 4 + 2] = color.blue;
    }
    return signature;
}

namespace {
int32_t AppendBytes(const std::string& databasePath, const std::vector<uint8_t>& bytes,
                    const ColorSignature& signature, const std::string& source) {
    const int64_t before = FileSize(databasePath + ".dat");
    IndexRecord record;
    record.SquareSignature = record.PortraitSignature = record.LandscapeSignature = PackSignature(signature);
    record.Source = source;
    record.FileName = "/pictures/" + source;
    AppendTile(databasePath, bytes, record);
    return static_cast<int32_t>(before < 0 ? 0 : before);
}
}  // namespace

int32_t AppendPictureTile(const std::string& databasePath, const Bitmap& picture,
                          const ColorSignature& signature, const std::string& source) {
    return AppendBytes(databasePath, EncodeJpeg(picture, 90), signature, source);
}

int32_t AppendBrokenTile(const std::string& databasePath, const std::string& source) {
    const std::vector<uint8_t> bytes = {0xFF, 0xD8, 0xFF, 0xE0, 'n', 'o', 't',
                                        ' ',  'a',  ' ',  'j',  'p', 'e', 'g'};
    return AppendBytes(databasePath, bytes, ColorSignature{}, source);
}

void MakeEmptyGrid(int columns, int rows) {
    TheCellGrid().assign(static_cast<std::size_t>(columns),
                         std::vector<TTile>(static_cast<std::size_t>(rows)));
}

void PlaceTile(int c, int r, const std::string& databaseName, int32_t offset, int32_t size) {
    TTile& cell = TheCellGrid()[static_cast<std::size_t>(c)][static_cast<std::size_t>(r)];
    cell.Found = true;
    cell.DataBaseName = databaseName;
    cell.DataOffset = offset;
    cell.DataSize = size;
}

Bitmap ExpectedTile(const std::string& databasePath, int32_t offset, int32_t size, int shape,
                    int64_t targetArea) {
    const std::vector<uint8_t> jpeg = ReadTileJpeg(databasePath, offset, size);
    Bitmap tile = DecodeJpeg(jpeg.data(), jpeg.size(), "expected tile");
    CropToShape(tile, shape, targetArea, 0, true);
    return tile;
}

Bitmap ReadMosaic(const std::string& path) {
    const std::vector<uint8_t> bytes = ReadWholeFile(path);
    return DecodeBmp(bytes.data(), bytes.size(), path);
}

bool BlockEquals(const Bitmap& mosaic, int x0, int y0, const Bitmap& tile) {
    if (x0 + tile.Width() > mosaic.Width() || y0 + tile.Height() > mosaic.Height()) return false;
    for (int y = 0; y < tile.Height(); ++y) {
        const uint8_t* a = mosaic.Row(y0 + y) + static_cast<std::size_t>(x0) * 3;
        if (!std::equal(a, a + tile.Stride(), tile.Row(y))) return false;
    }
    return true;
}

bool BlockIsWhite(const Bitmap& mosaic, int x0, int y0, int width, int height) {
    for (int y = 0; y < height; ++y) {
        const uint8_t* a = mosaic.Row(y0 + y) + static_cast<std::size_t>(x0) * 3;
        for (int i = 0; i < width * 3; ++i)
            if (a[i] != 0xFF) return false;
    }
    return true;
}

}  // namespace pixadra::testing
