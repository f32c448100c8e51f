// Colour signatures of stored tiles: sums over 4 x 4 sub-cells whose width and height are the
// rounded quarters of the tile's, the fourth taking whatever remains.
#include <algorithm>
#include <array>
#include <limits>

#include "engine/AddPictures.h"
#include "support/Errors.h"
#include "support/Rounding.h"

namespace pixadra {
namespace {

using SubCellSums = std::array<int64_t, 64>;  // SignatureIndex layout, in 64 bits

// Start of each quarter and the end: pixel x lies in quarter q when bounds[q] <= x < bounds[q + 1].
std::array<int, 5> QuarterBounds(int length) {
    const auto quarter = static_cast<int64_t>(RoundHalfEven(length / 4.0L));
    std::array<int, 5> bounds{};
    for (int q = 1; q <= 3; ++q) bounds[q] = static_cast<int>(std::min<int64_t>(quarter * q, length));
    bounds[4] = length;
    return bounds;
}

SubCellSums SumSubCells(const Bitmap& bitmap) {
    SubCellSums sums{};
    const std::array<int, 5> columns = QuarterBounds(bitmap.Width());
    const std::array<int, 5> rows = QuarterBounds(bitmap.Height());
    for (int r = 0; r < 4; ++r) {
        for (int y = rows[r]; y < rows[r + 1]; ++y) {
            const uint8_t* row = bitmap.Row(y);
            for (int c = 0; c < 4; ++c) {
                uint64_t blue = 0, green = 0, red = 0;
                const uint8_t* p = row + static_cast<std::size_t>(columns[c]) * 3;
                const uint8_t* end = row + static_cast<std::size_t>(columns[c + 1]) * 3;
                for (; p < end; p += 3) {
                    blue += p[0];
                    green += p[1];
                    red += p[2];
                }
                sums[SignatureIndex(c, r, 0)] += static_cast<int64_t>(red);
                sums[SignatureIndex(c, r, 1)] += static_cast<int64_t>(green);
                sums[SignatureIndex(c, r, 2)] += static_cast<int64_t>(blue);
            }
        }
        for (int c = 0; c < 4; ++c) {
            sums[SignatureIndex(c, r, 3)] =
                static_cast<int64_t>(columns[c + 1] - columns[c]) * (rows[r + 1] - rows[r]);
        }
    }
    return sums;
}

}  // namespace

void TileSignature(const Bitmap& bitmap, ColorSignature& signature) {
    const SubCellSums sums = SumSubCells(bitmap);
    for (std::size_t i = 0; i < sums.size(); ++i) {
        if (sums[i] > std::numeric_limits<int32_t>::max()) {
            throw SizeError("The colour sums of a picture of " + std::to_string(bitmap.Width()) + " x " +
                            std::to_string(bitmap.Height()) +
                            " pixels do not fit the signature's 32-bit values");
        }
        signature[i] = static_cast<int32_t>(sums[i]);
    }
}

PackedSignature PackedTileSignature(const Bitmap& bitmap) {
    const SubCellSums sums = SumSubCells(bitmap);
    PackedSignature packed{};
    for (int c = 0; c < 4; ++c) {
        for (int r = 0; r < 4; ++r) {
            const int64_t count = sums[SignatureIndex(c, r, 3)];
            if (count == 0) continue;  // an empty sub-cell is stored black
            for (int k = 0; k < 3; ++k) {
                packed[PackedIndex(c, r, k)] = static_cast<uint8_t>(sums[SignatureIndex(c, r, k)] / count);
            }
        }
    }
    return packed;
}

}  // namespace pixadra
