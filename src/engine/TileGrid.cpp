// How many columns and rows of cells a picture is cut into, and the process-wide grid.
#include "engine/TileGrid.h"

#include <cmath>
#include <limits>

#include "support/Rounding.h"

namespace pixadra {

CellGrid& TheCellGrid() {
    static CellGrid grid;
    return grid;
}

int GridColumns(const CellGrid& grid) {
    return static_cast<int>(grid.size());
}
int GridRows(const CellGrid& grid) {
    return grid.empty() ? 0 : static_cast<int>(grid.front().size());
}

GridSize CalcTileGrid(int64_t width, int64_t height, int64_t tileCount, int shape) {
    constexpr int64_t kMaxSide = std::numeric_limits<int32_t>::max();
    // Without a tile or a pixel there is no cell to size (and nothing to divide by).
    if (width <= 0 || height <= 0 || tileCount <= 0 || width > kMaxSide || height > kMaxSide) return {};
    // Below 2^62, so 3 and 4 times it stay exact in 64 bits and in long double.
    const uint64_t area = static_cast<uint64_t>(width) * static_cast<uint64_t>(height);
    const long double n = static_cast<long double>(tileCount);
    int64_t tw = 0, th = 0;
    switch (shape) {
        case 0: {
            const int64_t t = Trunc(std::sqrt(static_cast<long double>(area) / n));
            tw = t;
            th = t;
            break;
        }
        case 1: {
            const int64_t t = Trunc(std::sqrt(static_cast<long double>(3 * area) / (4 * n)));
            tw = 3 * (t / 3);
            th = 4 * (tw / 3);
            break;
        }
        case 2: {
            const int64_t t = Trunc(std::sqrt(static_cast<long double>(4 * area) / (3 * n)));
            tw = 4 * (t / 4);
            th = 3 * (tw / 4);
            break;
        }
        default:
            break;
    }
    if (tw == 0 || th == 0) return {};
    return {static_cast<int32_t>(width / tw), static_cast<int32_t>(height / th)};
}

}  // namespace pixadra
