#pragma once
// The cross-fade of a finished mosaic with its input picture: the picture is cut to the area
// that the mosaic's cells cover, resampled to the mosaic's size and mixed into it.
#include <cstdint>
#include <string>

#include "imaging/Bitmap.h"

namespace pixadra {

// Leaves in `target` the top-left area of the picture at inputPath that the cells of the
// grid for tileCount tiles and the shape cover. False (target untouched) when the picture
// does not load, the grid has no cell, or anything else fails; never throws.
bool CropOriginalToGrid(Bitmap& target, const std::string& inputPath, int64_t tileCount, int shape);

// The mosaic file mixed with the cropped input picture, blendPercent / 100 of the latter
// (0 gives the mosaic, 100 the picture), at the mosaic's size. False when a picture does not
// load, the grid has no cell, memory runs out or anything else fails; `result` is then not
// to be used. Never throws.
bool CrossFadeTheBitmaps(const std::string& mosaicPath, const std::string& inputPath, int64_t tileCount,
                         int shape, int blendPercent, Bitmap& result);

}  // namespace pixadra
