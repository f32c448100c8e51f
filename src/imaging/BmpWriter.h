#pragma once
// The 24-bit BMP writer: headers, then padded rows bottom-up, every write checked.
#include <string>

#include "imaging/Bitmap.h"
#include "support/FileSystem.h"

namespace pixadra {

// Writes a 24-bit BMP (BITMAPINFOHEADER, 2835 pixels per metre) of the bitmap to the sink.
void WriteBmp(const Bitmap& bitmap, ByteSink& sink);
// Writes the file beside `path` and renames it into place; throws FileError.
void SaveBitmapAsBmp(const Bitmap& bitmap, const std::string& path);

}  // namespace pixadra
