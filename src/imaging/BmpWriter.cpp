#include "imaging/BmpWriter.h"

#include <cstring>
#include <limits>
#include <vector>

#include "support/ByteOrder.h"
#include "support/Errors.h"

namespace pixadra {

namespace {

constexpr uint32_t kHeadersSize = 14 + 40;
constexpr uint32_t kPixelsPerMetre = 3780;

}  // namespace

int64_t BmpRowBytes(int64_t width) { return (width * 3 + 3) / 4 * 4; }

std::array<uint8_t, 54> BmpHeaders24(int64_t width, int64_t height) {
    const int64_t imageSize = BmpRowBytes(width) * height;
    if (width < 0 || height < 0 || imageSize + kHeadersSize > std::numeric_limits<uint32_t>::max()) {
        throw SizeError("A BMP file of " + std::to_string(width) + " x " + std::to_string(height) +
                        " pixels would be larger than 4 GiB");
    }
    std::array<uint8_t, 54> headers{'B', 'M'};
    PutLE32(headers.data() + 2, static_cast<uint32_t>(imageSize + kHeadersSize));
    PutLE32(headers.data() + 10, kHeadersSize);
    PutLE32(headers.data() + 14, 40);
    PutLE32(headers.data() + 18, static_cast<uint32_t>(width));
    PutLE32(headers.data() + 22, static_cast<uint32_t>(height));  // positive: rows bottom-up
    PutLE16(headers.data() + 26, 1);
    PutLE16(headers.data() + 28, 24);
    PutLE32(headers.data() + 34, static_cast<uint32_t>(imageSize));
    PutLE32(headers.data() + 38, kPixelsPerMetre);
    PutLE32(headers.data() + 42, kPixelsPerMetre);
    return headers;
}

void WriteBmp(const Bitmap& bitmap, ByteSink& sink) {
    if (bitmap.Empty()) throw SizeError("Cannot save an empty picture as BMP");
    const auto headers = BmpHeaders24(bitmap.Width(), bitmap.Height());
    sink.Write(headers.data(), headers.size());

    const auto stride = static_cast<std::size_t>(BmpRowBytes(bitmap.Width()));
    if (stride == bitmap.Stride()) {
        for (int y = bitmap.Height() - 1; y >= 0; --y) sink.Write(bitmap.Row(y), bitmap.Stride());
        return;
    }
    std::vector<uint8_t> row(stride, 0);  // the padding stays 0
    for (int y = bitmap.Height() - 1; y >= 0; --y) {
        std::memcpy(row.data(), bitmap.Row(y), bitmap.Stride());
        sink.Write(row.data(), row.size());
    }
}

void SaveBitmapAsBmp(const Bitmap& bitmap, const std::string& path) {
    if (bitmap.Empty()) throw SizeError("Cannot save an empty picture as BMP: \"" + path + "\"");
    AtomicFileWriter writer(path);
    WriteBmp(bitmap, writer);
    writer.Commit();
}

}  // namespace pixadra
