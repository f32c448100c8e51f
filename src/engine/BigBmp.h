#pragma once
// The finished mosaic in memory: one 32-bit colour value (0x00BBGGRR) per pixel in one block,
// written as an uncompressed 24-bit BMP one row at a time.
#include <cstdint>
#include <string>

#include "support/FileSystem.h"

namespace pixadra {

class TBigBmp {
  public:
    // Throws SizeError, before allocating, when the block (Width x Height x 4) or the file
    // (padded rows + 54) does not fit the 32-bit fields. Starts white.
    TBigBmp(int32_t width, int32_t height);
    ~TBigBmp();
    TBigBmp(const TBigBmp&) = delete;
    TBigBmp& operator=(const TBigBmp&) = delete;

    static int32_t BytesPerLine(int32_t width);
    // Throws SizeError when a mosaic of this size cannot be held or written.
    static void CheckSize(int64_t width, int64_t height);

    void SetSize(int32_t width, int32_t height);
    void Clear();
    // Throws PixadraError "Pixel out of range: X/Y" when Y * Width + X is outside the block.
    void SetPixel(int32_t x, int32_t y, uint32_t color);
    // The value at (x, y); the same range test and error as SetPixel.
    uint32_t Pixel(int32_t x, int32_t y) const;
    // Whole-row access for composition: Width values of row y; PixadraError outside 0..Height-1.
    uint32_t* RowPointer(int32_t y);

    // Writes beside the target and renames it into place when complete.
    void SaveToFile(const std::string& fileName) const;
    void SaveToStream(ByteSink& sink) const;

    int32_t Width = 0;
    int32_t Height = 0;
    int32_t BufferSize = 0;
    uint32_t* Bits = nullptr;
    int32_t PixelCount = 0;
};

}  // namespace pixadra
