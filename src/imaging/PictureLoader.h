#pragma once
// Reading picture files. The reader is chosen by the file's extension (case-insensitive):
// .BMP, .JPG/.JPEG, .GIF, .PNG, .HPI. Transparent pixels are composited over white.
#include <string>

#include "imaging/Bitmap.h"

namespace pixadra {

// True: `bitmap` holds the picture at its own size. False: missing file, unknown extension,
// or a file that does not decode; `bitmap` is then unchanged. Never throws.
bool LoadPicture(const std::string& fileName, Bitmap& bitmap);

// An HPI file: a JPEG picture and a PNG mask; mask pixels that are black turn the picture's
// pixels white (over the area common to both). Same contract as LoadPicture.
bool LoadHpiPicture(const std::string& fileName, Bitmap& bitmap);

// Decoders over bytes in memory; they throw DecodeError (naming `what`) on bad data and
// SizeError for pictures that claim more pixels than the data or 2 GiB can hold.
Bitmap DecodeBmp(const uint8_t* data, std::size_t size, const std::string& what);
Bitmap DecodeJpeg(const uint8_t* data, std::size_t size, const std::string& what);
Bitmap DecodePng(const uint8_t* data, std::size_t size, const std::string& what);
Bitmap DecodeGif(const uint8_t* data, std::size_t size, const std::string& what);
// A BMP file read row block by row block, without a copy of the whole file in memory; throws
// like DecodeBmp, and FileError when the file cannot be read.
Bitmap ReadBmpFile(const std::string& path);

// Width and height from a JPEG header without decoding the pixels; throws DecodeError.
void ReadJpegSize(const uint8_t* data, std::size_t size, int& width, int& height, const std::string& what);

}  // namespace pixadra
