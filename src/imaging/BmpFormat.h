#pragma once
// The parts of the BMP reader: where the bytes come from, what the headers say, and the
// decoders of run-length data. Used by BmpReader.cpp, BmpHeader.cpp and BmpRle.cpp only.
#include <array>
#include <cstdint>
#include <string>

#include "imaging/Bitmap.h"

namespace pixadra {

// Bytes at offsets, from memory or from a file; Read throws when the range lies past the end.
class BmpSource {
  public:
    virtual ~BmpSource() = default;
    virtual int64_t Size() const = 0;
    virtual void Read(int64_t offset, void* target, std::size_t count) = 0;
};

enum class BmpCoding { Rgb, Rle8, Rle4, BitFields };

struct BmpLayout {
    int width = 0;
    int height = 0;
    bool topDown = false;
    int bitsPerPixel = 0;
    BmpCoding coding = BmpCoding::Rgb;
    uint32_t masks[3] = {0, 0, 0};  // red, green, blue (BitFields and 16/32 bits)
    // Palette as blue, green, red; entries past the file's palette stay black.
    std::array<uint8_t, 256 * 3> palette{};
    int64_t pixelOffset = 0;
};

// Reads and checks the headers and the palette; throws DecodeError naming `what`.
BmpLayout ReadBmpLayout(BmpSource& source, const std::string& what);

// Decodes RLE8 or RLE4 data into `bitmap` (already sized, filled with palette entry 0).
// Runs that leave the picture are clipped; throws DecodeError when the data ends early.
void DecodeBmpRle(const BmpLayout& layout, const uint8_t* data, std::size_t size, Bitmap& bitmap,
                  const std::string& what);

[[noreturn]] void FailBmp(const std::string& what, const std::string& reason);

}  // namespace pixadra
