#pragma once
// Generated tile databases, pictures and mosaic read-back for the mosaic tests.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/ColorSignature.h"
#include "engine/PreviewImage.h"
#include "engine/TileGrid.h"
#include "imaging/Bitmap.h"

namespace pixadra::testing {

struct Rgb {
    uint8_t red, green, blue;
    bool operator==(const Rgb&) const = default;
};

Bitmap SolidPicture(int width, int height, Rgb color);
// Every sub-cell of every shape has the colour.
ColorSignature UniformSignature(Rgb color);

// Appends a tile picture to "<databasePath>.dat/.idx" with the given signature for all three
// shapes; returns its offset in the data file.
int32_t AppendPictureTile(const std::string& databasePath, const Bitmap& picture,
                          const ColorSignature& signature, const std::string& source);
// Appends bytes that are no JPEG as a tile; returns the offset.
int32_t AppendBrokenTile(const std::string& databasePath, const std::string& source);

// A grid of `columns` x `rows` cells without tile.
void MakeEmptyGrid(int columns, int rows);
// Points cell (c, r) at a stored tile.
void PlaceTile(int c, int r, const std::string& databaseName, int32_t offset, int32_t size);

// The tile as composition paints it: read, decoded, cut to the shape and scaled.
Bitmap ExpectedTile(const std::string& databasePath, int32_t offset, int32_t size, int shape,
                    int64_t targetArea);
// A BMP file read back as a picture (fails the test when it does not decode).
Bitmap ReadMosaic(const std::string& path);
// True when the block at (x0, y0) of the mosaic equals the picture pixel for pixel.
bool BlockEquals(const Bitmap& mosaic, int x0, int y0, const Bitmap& tile);
// True when every pixel of the block is white.
bool BlockIsWhite(const Bitmap& mosaic, int x0, int y0, int width, int height);

// A preview that keeps what it is shown.
class RecordingPreview : public PreviewImage {
  public:
    RecordingPreview(int width, int height) : width_(width), height_(height) {}
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    void Show(const Bitmap& picture) override { shown.push_back(picture); }
    void Clear() override { ++clears; }

    std::vector<Bitmap> shown;
    int clears = 0;

  private:
    int width_, height_;
};

}  // namespace pixadra::testing
