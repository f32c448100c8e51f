#include "engine/DatabaseFiles.h"
#include "imaging/PictureLoader.h"
#include "support/Errors.h"
#include "support/Text.h"

namespace pixadra {

Bitmap DecodeTile(const std::string& databasePath, int32_t offset, int32_t size) {
    const std::vector<uint8_t> jpeg = ReadTileJpeg(databasePath, offset, size);
    try {
        return DecodeJpeg(jpeg.data(), jpeg.size(), databasePath + ".dat");
    } catch (const PixadraError& e) {
        throw DecodeError("The tile at offset " + std::to_string(offset) + " with " + std::to_string(size) +
                          " bytes of database \"" + FileNameOf(databasePath) +
                          "\" does not decode: " + e.what());
    }
}

}  // namespace pixadra
