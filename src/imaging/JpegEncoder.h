#pragma once
// Baseline JPEG encoding of 24-bit pictures (the stored tiles are quality 90).
#include <cstdint>
#include <vector>

#include "imaging/Bitmap.h"

namespace pixadra {

// A complete JPEG file (baseline, 24-bit colour, 4:2:0). Throws SizeError for an empty picture or
// one beyond JPEG's 65500-pixel sides, DecodeError on encoder failure.
std::vector<uint8_t> EncodeJpeg(const Bitmap& bitmap, int quality = 90);

}  // namespace pixadra
