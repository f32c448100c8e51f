// The cross-fade holds pictures of the mosaic's full size; it mixes the input picture into
// the mosaic's own bitmap so that two of them, not three, are alive at once.
#include "engine/CrossFade.h"

#include "engine/TileGrid.h"
#include "imaging/Blend.h"
#include "imaging/PictureLoader.h"
#include "imaging/Resampling.h"

namespace pixadra {

bool CropOriginalToGrid(Bitmap& target, const std::string& inputPath, int64_t tileCount, int shape) {
    try {
        Bitmap picture;
        if (!LoadPicture(inputPath, picture)) return false;
        const GridSize grid = CalcTileGrid(picture.Width(), picture.Height(), tileCount, shape);
        if (grid.Columns <= 0 || grid.Rows <= 0) return false;
        const int width = picture.Width() / grid.Columns * grid.Columns;
        const int height = picture.Height() / grid.Rows * grid.Rows;
        if (width == picture.Width() && height == picture.Height()) {
            target = std::move(picture);
        } else {
            target = CropBitmap(picture, 0, 0, width, height);
        }
        return true;
    } catch (...) {
        return false;
    }
}

bool CrossFadeTheBitmaps(const std::string& mosaicPath, const std::string& inputPath, int64_t tileCount,
                         int shape, int blendPercent, Bitmap& result) {
    try {
        result = Bitmap();  // its old content is not needed, its memory may be
        Bitmap mosaic;
        if (!LoadPicture(mosaicPath, mosaic)) return false;
        {
            Bitmap original;
            if (!CropOriginalToGrid(original, inputPath, tileCount, shape)) return false;
            if (!ResampleTo(original, mosaic.Width(), mosaic.Height())) return false;
            const long double x = static_cast<long double>(blendPercent) / 100;
            if (!BlendBitmaps(mosaic, original, mosaic, x)) return false;
        }
        result = std::move(mosaic);
        return true;
    } catch (...) {
        return false;
    }
}

}  // namespace pixadra
