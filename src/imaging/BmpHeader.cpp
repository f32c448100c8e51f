// The headers of a BMP file: the 14-byte file header, then an info header of 12 bytes (OS/2
// core, 16-bit sizes, 3-byte palette entries), 16 or 64 bytes (OS/2 2.x) or 40, 52, 56, 108,
// 124 bytes (Windows), then bit masks and the palette.
#include <algorithm>
#include <string>

#include "imaging/BmpFormat.h"
#include "support/ByteOrder.h"
#include "support/Errors.h"

namespace pixadra {

namespace {

constexpr int64_t kFileHeaderSize = 14;
constexpr uint32_t kCompressionRgb = 0;
constexpr uint32_t kCompressionRle8 = 1;
constexpr uint32_t kCompressionRle4 = 2;
constexpr uint32_t kCompressionBitFields = 3;
constexpr uint32_t kCompressionAlphaBitFields = 6;

bool KnownHeaderSize(uint32_t size) {
    switch (size) {
        case 12:
        case 16:
        case 40:
        case 52:
        case 56:
        case 64:
        case 108:
        case 124:
            return true;
        default:
            return false;
    }
}

// Picks the decoder for a bit depth and compression, or says why there is none.
BmpCoding ChooseCoding(int bits, uint32_t compression, bool os2, const std::string& what) {
    const std::string combination =
        std::to_string(bits) + " bits per pixel with compression " + std::to_string(compression);
    if (os2 && compression > kCompressionRle4) FailBmp(what, "unsupported OS/2 compression " + combination);
    switch (compression) {
        case kCompressionRgb:
            if (bits == 1 || bits == 2 || bits == 4 || bits == 8 || bits == 24) return BmpCoding::Rgb;
            if (bits == 16 || bits == 32) return BmpCoding::BitFields;
            break;
        case kCompressionRle8:
            if (bits == 8) return BmpCoding::Rle8;
            break;
        case kCompressionRle4:
            if (bits == 4) return BmpCoding::Rle4;
            break;
        case kCompressionBitFields:
        case kCompressionAlphaBitFields:
            if (bits == 16 || bits == 32) return BmpCoding::BitFields;
            break;
        default:
            break;
    }
    FailBmp(what, "unsupported " + combination);
}

}  // namespace

void FailBmp(const std::string& what, const std::string& reason) {
    throw DecodeError("Cannot read the BMP picture \"" + what + "\": " + reason);
}

BmpLayout ReadBmpLayout(BmpSource& source, const std::string& what) {
    const int64_t fileSize = source.Size();
    if (fileSize < kFileHeaderSize + 12) FailBmp(what, "the file is too short for its headers");
    uint8_t fileHeader[kFileHeaderSize + 4];
    source.Read(0, fileHeader, sizeof fileHeader);
    if (fileHeader[0] != 'B' || fileHeader[1] != 'M') FailBmp(what, "the file does not begin with \"BM\"");
    const uint32_t headerSize = GetLE32(fileHeader + 14);
    if (!KnownHeaderSize(headerSize)) FailBmp(what, "unknown info header size " + std::to_string(headerSize));
    if (kFileHeaderSize + headerSize > fileSize) FailBmp(what, "the file is too short for its headers");
    uint8_t header[124] = {};
    source.Read(kFileHeaderSize, header, headerSize);

    BmpLayout layout;
    int64_t width = 0, height = 0;
    int bits = 0;
    uint32_t compression = kCompressionRgb, coloursUsed = 0;
    int64_t entrySize = 4;
    if (headerSize == 12) {
        width = GetLE16(header + 4);
        height = GetLE16(header + 6);
        bits = GetLE16(header + 10);
        entrySize = 3;
    } else {
        width = GetLEInt32(header + 4);
        height = GetLEInt32(header + 8);
        bits = GetLE16(header + 14);
        if (headerSize >= 40) {
            compression = GetLE32(header + 16);
            coloursUsed = GetLE32(header + 32);
        }
    }
    if (width <= 0) FailBmp(what, "invalid width " + std::to_string(width));
    if (height == 0) FailBmp(what, "invalid height 0");
    const bool os2 = headerSize == 16 || headerSize == 64;
    layout.coding = ChooseCoding(bits, compression, os2, what);
    layout.topDown = height < 0;
    if (layout.topDown && (layout.coding == BmpCoding::Rle8 || layout.coding == BmpCoding::Rle4)) {
        FailBmp(what, "run-length data must be stored bottom-up");
    }
    height = height < 0 ? -height : height;
    if (width > INT32_MAX || height > INT32_MAX) FailBmp(what, "invalid size");
    layout.width = static_cast<int>(width);
    layout.height = static_cast<int>(height);
    layout.bitsPerPixel = bits;

    int64_t paletteStart = kFileHeaderSize + headerSize;
    if (layout.coding == BmpCoding::BitFields) {
        if (compression == kCompressionRgb) {
            const bool five = bits == 16;  // 5-5-5 for 16 bits, 8-8-8 for 32
            layout.masks[0] = five ? 0x7C00u : 0xFF0000u;
            layout.masks[1] = five ? 0x03E0u : 0x00FF00u;
            layout.masks[2] = five ? 0x001Fu : 0x0000FFu;
        } else if (headerSize >= 52) {
            for (int i = 0; i < 3; ++i) layout.masks[i] = GetLE32(header + 40 + 4 * i);
        } else {
            const int64_t maskBytes = compression == kCompressionAlphaBitFields ? 16 : 12;
            if (paletteStart + maskBytes > fileSize) FailBmp(what, "the file is too short for its bit masks");
            uint8_t masks[12];
            source.Read(paletteStart, masks, sizeof masks);
            for (int i = 0; i < 3; ++i) layout.masks[i] = GetLE32(masks + 4 * i);
            paletteStart += maskBytes;
        }
    }

    layout.pixelOffset = GetLE32(fileHeader + 10);
    if (layout.pixelOffset < paletteStart) {
        FailBmp(what,
                "the pixel data at offset " + std::to_string(layout.pixelOffset) + " overlaps the headers");
    }
    if (layout.pixelOffset >= fileSize) FailBmp(what, "the file holds no pixel data");
    if (bits <= 8) {
        // The palette ends where the pixels begin, whatever the count field claims.
        int64_t count = coloursUsed != 0 ? coloursUsed : int64_t{1} << bits;
        count = std::min({count, int64_t{256}, (layout.pixelOffset - paletteStart) / entrySize});
        uint8_t entries[256 * 4];
        source.Read(paletteStart, entries, static_cast<std::size_t>(count * entrySize));
        for (int64_t i = 0; i < count; ++i) {
            std::copy_n(entries + i * entrySize, 3, layout.palette.begin() + i * 3);
        }
    }
    return layout;
}

}  // namespace pixadra
