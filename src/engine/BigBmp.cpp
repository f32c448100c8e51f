// The finished mosaic: one block of 0x00BBGGRR values, written as a bottom-up 24-bit BMP
// through one zero-padded row buffer and one write per row.
#include "engine/BigBmp.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <vector>

#include "imaging/BmpWriter.h"
#include "support/Errors.h"

namespace pixadra {
namespace {

constexpr int64_t kMaxField = std::numeric_limits<int32_t>::max();
constexpr uint32_t kWhite = 0xFFFFFF;
constexpr int kHeaderBytes = 54;

int64_t PaddedRowBytes(int64_t width) {
    return ((width * 24 + 31) & ~int64_t{31}) / 8;
}

std::string SizeText(int64_t width, int64_t height) {
    return std::to_string(width) + " x " + std::to_string(height) + " pixels";
}

}  // namespace

TBigBmp::TBigBmp(int32_t width, int32_t height) {
    SetSize(width, height);
    Clear();
}

TBigBmp::~TBigBmp() {
    std::free(Bits);
}

int32_t TBigBmp::BytesPerLine(int32_t width) {
    return static_cast<int32_t>(PaddedRowBytes(width));
}

void TBigBmp::CheckSize(int64_t width, int64_t height) {
    if (width < 0 || height < 0 || width > kMaxField || height > kMaxField) {
        throw SizeError("Invalid mosaic size of " + SizeText(width, height));
    }
    const int64_t rowBytes = PaddedRowBytes(width);
    if (rowBytes > kMaxField) {
        throw SizeError("A mosaic of " + SizeText(width, height) + " has rows of " +
                        std::to_string(rowBytes) + " bytes, more than a BMP file can hold");
    }
    const int64_t blockBytes = width * height * 4;
    if (blockBytes > kMaxField) {
        throw SizeError("A mosaic of " + SizeText(width, height) + " needs " + std::to_string(blockBytes) +
                        " bytes of memory, more than its pixel block can hold (" + std::to_string(kMaxField) +
                        " bytes)");
    }
    const int64_t fileBytes = rowBytes * height + kHeaderBytes;
    if (fileBytes > kMaxField) {
        throw SizeError("A mosaic of " + SizeText(width, height) + " makes a BMP file of " +
                        std::to_string(fileBytes) + " bytes, more than its size field can hold (" +
                        std::to_string(kMaxField) + " bytes)");
    }
}

void TBigBmp::SetSize(int32_t width, int32_t height) {
    if (width == Width && height == Height) return;
    CheckSize(width, height);
    const std::size_t bytes = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4;
    if (bytes == 0) {
        std::free(Bits);
        Bits = nullptr;
    } else {
        // Keeps the leading values, as a resize of the block should.
        void* block = std::realloc(Bits, bytes);
        if (block == nullptr) throw std::bad_alloc();
        Bits = static_cast<uint32_t*>(block);
    }
    Width = width;
    Height = height;
    BufferSize = static_cast<int32_t>(bytes);
    PixelCount = width * height;
}

void TBigBmp::Clear() {
    if (Width > 0 && Height > 0) std::fill_n(Bits, PixelCount, kWhite);
}

void TBigBmp::SetPixel(int32_t x, int32_t y, uint32_t color) {
    // The test is on the entry index alone, so (Width, 0) is the first pixel of row 1.
    const int64_t i = int64_t{y} * Width + x;
    if (i < 0 || i >= PixelCount) {
        throw PixadraError("Pixel out of range: " + std::to_string(x) + "/" + std::to_string(y));
    }
    Bits[i] = color;
}

uint32_t TBigBmp::Pixel(int32_t x, int32_t y) const {
    const int64_t i = int64_t{y} * Width + x;
    if (i < 0 || i >= PixelCount) {
        throw PixadraError("Pixel out of range: " + std::to_string(x) + "/" + std::to_string(y));
    }
    return Bits[i];
}

uint32_t* TBigBmp::RowPointer(int32_t y) {
    if (y < 0 || y >= Height) throw PixadraError("Row out of range: " + std::to_string(y));
    return Bits + static_cast<std::size_t>(y) * static_cast<std::size_t>(Width);
}

void TBigBmp::SaveToFile(const std::string& fileName) const {
    AtomicFileWriter writer(fileName);
    SaveToStream(writer);
    writer.Commit();
}

void TBigBmp::SaveToStream(ByteSink& sink) const {
    const uint32_t rowBytes = static_cast<uint32_t>(BytesPerLine(Width));
    const auto header = BmpHeaders24(Width, Height);
    sink.Write(header.data(), 14);
    sink.Write(header.data() + 14, 40);
    if (Width <= 0 || Height <= 0) return;

    // Zeroed once: the padding after the last pixel stays zero in every row. Each pixel is
    // stored as four bytes blue, green, red, 0 at a step of three, so the next pixel
    // overwrites the zero; the last one's zero lands in the padding or the spare byte.
    std::vector<uint8_t> row(rowBytes + 1, 0);
    for (int32_t y = Height - 1; y >= 0; --y) {
        const uint32_t* source = Bits + static_cast<std::size_t>(y) * static_cast<std::size_t>(Width);
        uint8_t* p = row.data();
        for (int32_t x = 0; x < Width; ++x, p += 3) {
            const uint32_t color = source[x];
            if constexpr (std::endian::native == std::endian::little) {
                const uint32_t bgr = __builtin_bswap32(color) >> 8;  // 0x00RRGGBB: bytes B, G, R, 0
                std::memcpy(p, &bgr, 4);
            } else {
                const uint8_t bytes[4] = {static_cast<uint8_t>(color >> 16), static_cast<uint8_t>(color >> 8),
                                          static_cast<uint8_t>(color), 0};
                std::memcpy(p, bytes, 4);
            }
        }
        sink.Write(row.data(), rowBytes);
    }
}

}  // namespace pixadra
