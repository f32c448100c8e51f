// HPI files: a JPEG picture and a PNG mask of the same size, found through a 28-byte header
// (little-endian int32 at 12: JPEG offset, JPEG length, PNG offset, PNG length).
#include <algorithm>

#include "imaging/PictureLoader.h"
#include "support/ByteOrder.h"
#include "support/Errors.h"
#include "support/FileSystem.h"

namespace pixadra {

namespace {

constexpr int64_t kHeaderSize = 28;

// Black mask pixels mark background, which turns white. A mask of another size counts only
// where it overlaps the picture.
void ApplyMask(Bitmap& picture, const Bitmap& mask) {
    const int width = std::min(picture.Width(), mask.Width());
    const int height = std::min(picture.Height(), mask.Height());
    for (int y = 0; y < height; ++y) {
        const uint8_t* m = mask.Row(y);
        uint8_t* p = picture.Row(y);
        for (int x = 0; x < width; ++x, m += 3, p += 3) {
            if ((m[0] | m[1] | m[2]) == 0) p[0] = p[1] = p[2] = 255;
        }
    }
}

Bitmap DecodeHpi(const std::string& fileName) {
    const std::vector<uint8_t> header = ReadFileRange(fileName, 0, kHeaderSize);
    const int32_t jpegOffset = GetLEInt32(&header[12]);
    const int32_t jpegLength = GetLEInt32(&header[16]);
    const int32_t pngOffset = GetLEInt32(&header[20]);
    const int32_t pngLength = GetLEInt32(&header[24]);
    // ReadFileRange refuses negative values and ranges past the end before allocating.
    const std::vector<uint8_t> jpeg = ReadFileRange(fileName, jpegOffset, jpegLength);
    Bitmap picture = DecodeJpeg(jpeg.data(), jpeg.size(), fileName);
    const std::vector<uint8_t> png = ReadFileRange(fileName, pngOffset, pngLength);
    const Bitmap mask = DecodePng(png.data(), png.size(), fileName);
    ApplyMask(picture, mask);
    return picture;
}

}  // namespace

bool LoadHpiPicture(const std::string& fileName, Bitmap& bitmap) {
    try {
        if (!FileExists(fileName)) return false;
        bitmap = DecodeHpi(fileName);
        return true;
    } catch (...) {
        return false;
    }
}

}  // namespace pixadra
