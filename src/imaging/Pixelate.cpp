// Block pixelation for the options page's preview: the first row of each band is turned into
// runs of its blocks' first pixels, then copied whole over the band's other rows.
#include <algorithm>
#include <cstring>

#include "imaging/Resampling.h"

namespace pixadra {

void Pixelate(Bitmap& bitmap, int blockWidth, int blockHeight) {
    const int64_t width = bitmap.Width();
    const int64_t height = bitmap.Height();
    const int64_t bw = std::max(blockWidth, 1);
    const int64_t bh = std::max(blockHeight, 1);
    if (bitmap.Empty()) return;
    for (int64_t top = 0; top < height; top += bh) {
        uint8_t* reference = bitmap.Row(static_cast<int>(top));
        if (bw > 1) {
            for (int64_t left = 0; left < width; left += bw) {
                uint8_t* p = reference + left * 3;
                const uint8_t blue = p[0], green = p[1], red = p[2];
                const int64_t end = std::min(width, left + bw);
                for (int64_t x = left + 1; x < end; ++x) {
                    p += 3;
                    p[0] = blue;
                    p[1] = green;
                    p[2] = red;
                }
            }
        }
        const int64_t bottom = std::min(height, top + bh);
        for (int64_t y = top + 1; y < bottom; ++y) {
            std::memcpy(bitmap.Row(static_cast<int>(y)), reference, bitmap.Stride());
        }
    }
}

}  // namespace pixadra
