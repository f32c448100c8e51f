#pragma once
// The 24-bit BMP writer: headers, then padded rows bottom-up, every write checked.
#include <array>
#include <cstdint>
#include <string>

#include "imaging/Bitmap.h"
#include "support/FileSystem.h"

namespace pixadra {

// Length of one 24-bit row padded to a multiple of 4 bytes.
int64_t BmpRowBytes(int64_t width);
// The 14-byte file header and the 40-byte info header of an uncompressed 24-bit BMP with rows
// bottom-up; throws SizeError when the file would be larger than its 32-bit size field allows.
std::array<uint8_t, 54> BmpHeaders24(int64_t width, int64_t height);

// Writes a 24-bit BMP (40-byte info header, 3780 pixels per metre like the mosaic) of the bitmap
// to the sink. Throws SizeError for an empty picture or one whose file would pass 4 GiB, and
// whatever the sink throws.
void WriteBmp(const Bitmap& bitmap, ByteSink& sink);
// Writes the file beside `path` and renames it into place, so a failure leaves any old file as
// it was; throws SizeError or FileError.
void SaveBitmapAsBmp(const Bitmap& bitmap, const std::string& path);

}  // namespace pixadra
