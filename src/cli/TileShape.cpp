#include "cli/TileShape.h"

#include <algorithm>

#include "cli/ArgumentParser.h"
#include "imaging/Resampling.h"
#include "support/Rounding.h"

namespace pixadra::cli {

int ParseShape(const std::string& name) {
    if (name == "square") return kShapeSquare;
    if (name == "portrait") return kShapePortrait;
    if (name == "landscape") return kShapeLandscape;
    throw UsageError("--shape is landscape, portrait or square, not \"" + name + "\"");
}

TileSize TileSizeForShape(int64_t width, int shape) {
    int64_t w = width;
    int64_t h = width;
    if (shape == kShapePortrait) {
        w = std::max<int64_t>(Trunc(static_cast<long double>(width) / 3) * 3, 3);
        h = Trunc(static_cast<long double>(w) / 3 * 4);
    } else if (shape == kShapeLandscape) {
        w = std::max<int64_t>(Trunc(static_cast<long double>(width) / 4) * 4, 4);
        h = Trunc(static_cast<long double>(w) / 4 * 3);
    } else {
        w = std::max<int64_t>(width, 2);
        h = w;
    }
    // The height is clamped to the same range as the width, as a derived field would be.
    return TileSize{static_cast<int32_t>(std::min(w, kMaxTileSide)),
                    static_cast<int32_t>(std::min(h, kMaxTileSide))};
}

}  // namespace pixadra::cli
