#include "imaging/BmpWriter.h"

#include <cstring>
#include <limits>
#include <vector>

#include "support/Errors.h"

namespace pixadra {

namespace {

constexpr uint32_t kHeadersSize = 14 + 40;
constexpr uint32_t kPixelsPerMetre = 3780;

void Put16(uint8_t* p, uint32_t value) {
    p[0] = static_cast<uint8_t>(value);
    p[1] = static_cast<uint8_t>(value >> 8);
}
void Put32(uint8_t* p, uint32_t value) {
    Put16(p, value);
    Put16(p + 2, value >> 16);
}

}  // namespace

void WriteBmp(const Bitmap& bitmap, ByteSink& sink) {
    if (bitmap.Empty()) throw SizeError("Cannot save an empty picture as BMP");
    const uint64_t stride = (uint64_t{static_cast<uint32_t>(bitmap.Width())} * 3 + 3) / 4 * 4;
    const uint64_t imageSize = stride * static_cast<uint32_t>(bitmap.Height());
    if (imageSize + kHeadersSize > std::numeric_limits<uint32_t>::max()) {
        throw SizeError("A BMP file of " + std::to_string(bitmap.Width()) + " x " +
                        std::to_string(bitmap.Height()) + " pixels would be larger than 4 GiB");
    }
    uint8_t headers[kHeadersSize] = {'B', 'M'};
    Put32(headers + 2, static_cast<uint32_t>(imageSize + kHeadersSize));
    Put32(headers + 10, kHeadersSize);
    Put32(headers + 14, 40);
    Put32(headers + 18, static_cast<uint32_t>(bitmap.Width()));
    Put32(headers + 22, static_cast<uint32_t>(bitmap.Height()));  // positive: rows bottom-up
    Put16(headers + 26, 1);
    Put16(headers + 28, 24);
    Put32(headers + 34, static_cast<uint32_t>(imageSize));
    Put32(headers + 38, kPixelsPerMetre);
    Put32(headers + 42, kPixelsPerMetre);
    sink.Write(headers, sizeof headers);

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
