#pragma once
// Tile shapes by name and the tile size that follows from a requested width, as the wizard's
// options page keeps width and height in the shape's proportion.
#include <cstdint>
#include <string>

namespace pixadra::cli {

constexpr int64_t kMaxTileSide = 100000000;

// "square" 0, "portrait" 1, "landscape" 2; throws UsageError for any other name.
int ParseShape(const std::string& name);

struct TileSize {
    int32_t width = 0;
    int32_t height = 0;
};

// The width brought down to the shape's step (never below its minimum) and the height derived
// from it: square w x w (min 2), portrait multiples of 3 by w/3*4, landscape multiples of 4 by w/4*3.
TileSize TileSizeForShape(int64_t width, int shape);

}  // namespace pixadra::cli
