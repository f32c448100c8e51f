#include "imaging/PictureLoader.h"

#include <vector>

#include "support/FileSystem.h"
#include "support/Text.h"

namespace pixadra {

namespace {

using Decoder = Bitmap (*)(const uint8_t*, std::size_t, const std::string&);

Decoder DecoderFor(const std::string& extension) {
    if (extension == ".JPG" || extension == ".JPEG") return DecodeJpeg;
    if (extension == ".PNG") return DecodePng;
    if (extension == ".GIF") return DecodeGif;
    return nullptr;
}

}  // namespace

bool LoadPicture(const std::string& fileName, Bitmap& bitmap) {
    // Every failure, an exhausted memory included, is the answer false; the caller's bitmap is
    // only replaced by a complete picture.
    try {
        const std::string extension = UpperExtension(fileName);
        if (!FileExists(fileName)) return false;
        if (extension == ".HPI") return LoadHpiPicture(fileName, bitmap);
        if (extension == ".BMP") {
            bitmap = ReadBmpFile(fileName);
            return true;
        }
        const Decoder decode = DecoderFor(extension);
        if (!decode) return false;
        const std::vector<uint8_t> bytes = ReadWholeFile(fileName);
        bitmap = decode(bytes.data(), bytes.size(), fileName);
        return true;
    } catch (...) {
        return false;
    }
}

}  // namespace pixadra
