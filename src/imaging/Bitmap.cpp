#include "imaging/Bitmap.h"

#include <string>

#include "support/Errors.h"

namespace pixadra {

void Bitmap::CheckSize(int64_t width, int64_t height) {
    if (width < 0 || height < 0) {
        throw SizeError("Invalid picture size " + std::to_string(width) + " x " + std::to_string(height));
    }
    if (width > 0 && height > 0 && (width > kMaxBitmapBytes / 3 / height)) {
        throw SizeError("A picture of " + std::to_string(width) + " x " + std::to_string(height) +
                        " pixels needs more than 2 GiB of memory");
    }
}

Bitmap::Bitmap(int width, int height) { SetSize(width, height); }

void Bitmap::SetSize(int width, int height) {
    CheckSize(width, height);
    width_ = width;
    height_ = height;
    pixels_.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3, 0);
}

void Bitmap::Fill(uint8_t red, uint8_t green, uint8_t blue) {
    for (std::size_t i = 0; i + 2 < pixels_.size(); i += 3) {
        pixels_[i] = blue;
        pixels_[i + 1] = green;
        pixels_[i + 2] = red;
    }
}

}  // namespace pixadra
