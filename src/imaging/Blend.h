#pragma once
// The cross-fade's pixel work.
#include "imaging/Bitmap.h"

namespace pixadra {

// out := (1 - x) * a + x * b per channel, rounded half to even; b at least as large as a.
// False when b is smaller than a or memory runs out. `out` may be `a` (mixed in place) or `b`.
bool BlendBitmaps(const Bitmap& a, const Bitmap& b, Bitmap& out, long double x);

}  // namespace pixadra
