// The cross-fade's mix. Every output byte depends only on the two input bytes, so the mix
// for one factor is a table of 256 x 256 results, each computed by the defining formula.
#include "imaging/Blend.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "support/Rounding.h"

namespace pixadra {
namespace {

std::vector<uint8_t> MixTable(long double x) {
    std::vector<uint8_t> table(256 * 256);
    for (int a = 0; a < 256; ++a) {
        for (int b = 0; b < 256; ++b) {
            const int64_t v = RoundHalfEven((1 - x) * a + x * b);
            table[a * 256 + b] = static_cast<uint8_t>(std::clamp<int64_t>(v, 0, 255));
        }
    }
    return table;
}

void MixRows(const Bitmap& a, const Bitmap& b, Bitmap& out, const uint8_t* table) {
    const std::size_t count = a.Stride();
    for (int y = 0; y < a.Height(); ++y) {
        const uint8_t* pa = a.Row(y);
        const uint8_t* pb = b.Row(y);
        uint8_t* po = out.Row(y);
        for (std::size_t i = 0; i < count; ++i) po[i] = table[pa[i] * 256u + pb[i]];
    }
}

}  // namespace

bool BlendBitmaps(const Bitmap& a, const Bitmap& b, Bitmap& out, long double x) {
    if (b.Width() < a.Width() || b.Height() < a.Height()) return false;
    try {
        const std::vector<uint8_t> table = MixTable(x);
        if (&out == &a) {
            // In place: each byte is read before it is overwritten, at the same place.
            MixRows(a, b, out, table.data());
        } else if (&out == &b) {
            Bitmap result(a.Width(), a.Height());
            MixRows(a, b, result, table.data());
            out = std::move(result);
        } else {
            out = Bitmap();  // release the old content before taking a new block
            out.SetSize(a.Width(), a.Height());
            MixRows(a, b, out, table.data());
        }
        return true;
    } catch (...) {
        return false;
    }
}

}  // namespace pixadra
