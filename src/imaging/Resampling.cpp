// Shrinking to an area, cutting to a tile shape and fitting into a view. Sizes and ratios
// are computed in long double before their truncation or rounding, in the order written.
#include "imaging/Resampling.h"

#include <cmath>
#include <cstring>
#include <string>

#include "support/Errors.h"
#include "support/Rounding.h"

namespace pixadra {
namespace {

struct Rect {
    int64_t left, top, right, bottom;  // right and bottom exclusive
};

Rect PortraitCrop(int64_t W, int64_t H) {
    if (4 * W == 3 * H) return {0, 0, W, H};
    if (W < (H / 4) * 3) {  // too narrow: full width, centred band of rows
        const int64_t w = (W / 3) * 3;
        const long double n = static_cast<long double>(w) / 3 * 4;
        const long double y = (H - n) / 2;
        return {0, Trunc(y), w, Trunc(y + n)};
    }
    const int64_t h = (H / 4) * 4;
    const long double n = static_cast<long double>(h) / 4 * 3;
    const long double x = (W - n) / 2;
    return {Trunc(x), 0, Trunc(x + n), h};
}

Rect LandscapeCrop(int64_t W, int64_t H) {
    if (3 * W == 4 * H) return {0, 0, W, H};
    if (W < (H / 3) * 4) {
        const int64_t w = (W / 4) * 4;
        const long double n = static_cast<long double>(w) / 4 * 3;
        const long double y = (H - n) / 2;
        return {0, Trunc(y), w, Trunc(y + n)};
    }
    const int64_t h = (H / 3) * 3;
    const long double n = static_cast<long double>(h) / 3 * 4;
    const long double x = (W - n) / 2;
    return {Trunc(x), 0, Trunc(x + n), h};
}

Rect SquareCrop(int64_t W, int64_t H) {
    if (W < H) {
        const int64_t top = RoundHalfEven(static_cast<long double>(H - W) / 2);
        return {0, top, W, top + W};
    }
    const int64_t left = RoundHalfEven(static_cast<long double>(W - H) / 2);
    return {left, 0, left + H, H};
}

[[noreturn]] void UnknownShape(int shape) {
    throw PixadraError("Unknown tile shape " + std::to_string(shape));
}

}  // namespace

Bitmap CropBitmap(const Bitmap& source, int left, int top, int width, int height) {
    if (left < 0 || top < 0 || width < 0 || height < 0 || left > source.Width() - width ||
        top > source.Height() - height) {
        throw SizeError("The area of " + std::to_string(width) + " x " + std::to_string(height) +
                        " pixels at " + std::to_string(left) + "/" + std::to_string(top) +
                        " lies outside the picture of " + std::to_string(source.Width()) + " x " +
                        std::to_string(source.Height()) + " pixels");
    }
    Bitmap result(width, height);
    if (width == 0) return result;
    for (int y = 0; y < height; ++y) {
        std::memcpy(result.Row(y), source.Row(top + y) + static_cast<std::size_t>(left) * 3, result.Stride());
    }
    return result;
}

bool ReduceToArea(Bitmap& bitmap, int64_t targetArea, int64_t minArea) {
    const int64_t W = bitmap.Width();
    const int64_t H = bitmap.Height();
    if (W * H < minArea) return false;
    if (W == 0 || H == 0) return true;  // nothing to shrink
    const long double area = targetArea > 0 ? static_cast<long double>(targetArea) : 0.0L;
    int64_t w = Trunc(std::sqrt(static_cast<long double>(W) / H * area));
    int64_t h = Trunc(static_cast<long double>(H) / W * w);
    // A picture far longer than wide would come out 0 pixels high; one row is its reduction.
    w = std::max<int64_t>(w, 1);
    h = std::max<int64_t>(h, 1);
    if (w < W && h < H) BoxResample(bitmap, bitmap, static_cast<int>(w), static_cast<int>(h));
    return true;
}

void ShapeTargetSize(int shape, int64_t targetArea, int& width, int& height) {
    const long double B = targetArea > 0 ? static_cast<long double>(targetArea) : 0.0L;
    int64_t t = 0;
    switch (shape) {
        case kShapeSquare:
            t = Trunc(std::sqrt(B));
            width = static_cast<int>(t);
            height = static_cast<int>(t);
            return;
        case kShapePortrait: {
            t = Trunc(std::sqrt(B / 4 * 3));
            const int64_t tw = (t / 3) * 3;
            width = static_cast<int>(tw);
            height = static_cast<int>(Trunc(static_cast<long double>(tw) / 3 * 4));
            return;
        }
        case kShapeLandscape: {
            t = Trunc(std::sqrt(B / 3 * 4));
            const int64_t tw = (t / 4) * 4;
            width = static_cast<int>(tw);
            height = static_cast<int>(Trunc(static_cast<long double>(tw) / 4 * 3));
            return;
        }
        default:
            UnknownShape(shape);
    }
}

bool CropToShape(Bitmap& bitmap, int shape, int64_t targetArea, int64_t minArea, bool forceSize) {
    const int64_t W = bitmap.Width();
    const int64_t H = bitmap.Height();
    if (W * H < minArea) return false;
    Rect crop{};
    switch (shape) {
        case kShapeSquare:
            crop = SquareCrop(W, H);
            break;
        case kShapePortrait:
            crop = PortraitCrop(W, H);
            break;
        case kShapeLandscape:
            crop = LandscapeCrop(W, H);
            break;
        default:
            UnknownShape(shape);
    }
    int tw = 0, th = 0;
    ShapeTargetSize(shape, targetArea, tw, th);
    const int cw = static_cast<int>(crop.right - crop.left);
    const int ch = static_cast<int>(crop.bottom - crop.top);
    if (cw != W || ch != H) {
        bitmap = CropBitmap(bitmap, static_cast<int>(crop.left), static_cast<int>(crop.top), cw, ch);
    }
    if (cw == tw && ch == th) return true;
    if ((tw < cw && th < ch) || forceSize) BoxResample(bitmap, bitmap, tw, th);
    return true;
}

bool ResampleTo(Bitmap& bitmap, int width, int height) {
    try {
        BoxResample(bitmap, bitmap, width, height);
        return true;
    } catch (...) {
        return false;
    }
}

bool FitIntoBox(const Bitmap& source, Bitmap& target, int boxWidth, int boxHeight) {
    const int W = source.Width();
    const int H = source.Height();
    try {
        if (W < boxWidth && H < boxHeight) {
            target = source;
            return true;
        }
        if (W == 0 || H == 0) return false;
        const long double bw = boxWidth;
        const long double bh = boxHeight;
        int64_t width = 0, height = 0;
        if (bh > bw / W * H) {
            width = boxWidth;
            height = RoundHalfEven(bw / W * H);
        } else {
            width = RoundHalfEven(bh / H * W);
            height = boxHeight;
        }
        Bitmap work;  // a size of 0 throws here and leaves the target as it was
        BoxResample(source, work, static_cast<int>(width), static_cast<int>(height));
        target = std::move(work);
        return true;
    } catch (...) {
        return false;
    }
}

}  // namespace pixadra
