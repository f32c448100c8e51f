#pragma once
// The 24-bit BMP writer: headers, then padded rows bottom-up, every write checked.
#include <string>

#include "imaging/Bitmap.h"
#include "support/FileSystem.h"

namespace pixadra {

// Writes a 24-bit BMP (40-byte info header, 3780 pixels per metre like the mosaic) of the bitmap
// to the sink. Throws SizeError for an empty picture or one whose file would pass 4 GiB, and
// whatever the sink throws.
void WriteBmp(const Bitmap& bitmap, ByteSink& sink);
// Writes the file beside `path` and renames it into place, so a failure leaves any old file as
// it was; throws SizeError or FileError.
void SaveBitmapAsBmp(const Bitmap& bitmap, const std::string& path);

}  // namespace pixadra
