#pragma once
// Small picture files made by the tests themselves: PNG and GIF through their libraries, and
// a probe for the largest single allocation (to see that headers alone allocate nothing big).
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "imaging/Bitmap.h"

namespace pixadra::testing {

struct PngRecipe {
    int width = 0;
    int height = 0;
    int colourType = 0;  // PNG_COLOR_TYPE_*
    int bitDepth = 8;
    bool interlaced = false;
    // Rows as stored in the file: packed samples, 16-bit samples big-endian, no filter byte.
    std::vector<uint8_t> rows;
    std::vector<uint8_t> palette;       // red, green, blue per entry
    std::vector<uint8_t> paletteAlpha;  // tRNS for palette pictures
    int transparentGrey = -1;           // tRNS for grey pictures
};
std::vector<uint8_t> EncodePng(const PngRecipe& recipe);
// An 8-bit RGB PNG of the bitmap.
std::vector<uint8_t> EncodePng(const Bitmap& bitmap);

struct GifImage {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool interlaced = false;
    std::vector<uint8_t> indices;       // row-major, top row first
    std::vector<uint8_t> localPalette;  // red, green, blue per entry; empty: the global one
    int delay = -1;                     // -1: no graphic control extension
    int transparent = -1;
};
struct GifRecipe {
    int screenWidth = 0;
    int screenHeight = 0;
    std::vector<uint8_t> globalPalette;  // red, green, blue per entry (a power of two entries)
    std::vector<GifImage> images;
};
std::vector<uint8_t> EncodeGif(const GifRecipe& recipe);

// A smooth colour picture whose every pixel differs from its neighbours a little.
Bitmap Gradient(int width, int height);

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);
std::vector<uint8_t> ReadBytes(const std::string& path);

// Records the largest single `operator new` request while it lives.
class LargestAllocation {
  public:
    LargestAllocation();
    std::size_t Bytes() const;
};

}  // namespace pixadra::testing
