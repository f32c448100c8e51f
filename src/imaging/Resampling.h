#pragma once
// Every change of a picture's size: the box resampler and the fitting operations built on it.
#include <cstdint>

#include "imaging/Bitmap.h"

namespace pixadra {

// Shape codes of the tiles.
enum ShapeCode { kShapeSquare = 0, kShapePortrait = 1, kShapeLandscape = 2 };

// Box filter of radius 0.5 to exactly width x height (both >= 1); whole rows, integer arithmetic.
// Shrinking averages the source pixels under each target pixel, weighted by their overlap;
// enlarging repeats them. Source and target may be the same bitmap. Throws SizeError for an
// empty source or a size below 1 (target untouched).
void BoxResample(const Bitmap& source, Bitmap& target, int width, int height);

// False (bitmap untouched) when it has fewer than minArea pixels; else shrinks it, keeping
// its aspect, to about targetArea pixels (never enlarges, never below 1 pixel across) and
// returns true. Resampling errors are thrown.
bool ReduceToArea(Bitmap& bitmap, int64_t targetArea, int64_t minArea);
// Cuts the largest centred area of the shape, then brings it to the shape's tile size for
// targetArea (enlarging only with forceSize). False (untouched) below minArea. Throws
// PixadraError for a shape code outside 0..2 and resampling errors (e.g. a target size of 0).
bool CropToShape(Bitmap& bitmap, int shape, int64_t targetArea, int64_t minArea, bool forceSize);
// Tile size that CropToShape aims at for a target area; PixadraError for an unknown shape.
void ShapeTargetSize(int shape, int64_t targetArea, int& width, int& height);
// Resamples to exactly width x height; false on any error.
bool ResampleTo(Bitmap& bitmap, int width, int height);
// Fits source into a box (keeping aspect, never enlarging) into target; false leaves target untouched.
bool FitIntoBox(const Bitmap& source, Bitmap& target, int boxWidth, int boxHeight);
// The rectangle of width x height at (left, top), copied pixel for pixel. Throws SizeError
// when it does not lie inside the source.
Bitmap CropBitmap(const Bitmap& source, int left, int top, int width, int height);

// Each block of blockWidth x blockHeight takes the colour of its top-left pixel; blocks
// below 1 act as 1.
void Pixelate(Bitmap& bitmap, int blockWidth, int blockHeight);

}  // namespace pixadra
