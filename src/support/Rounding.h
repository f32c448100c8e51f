#pragma once
// The two roundings of the program: truncation toward zero and rounding half to even,
// both of values computed in long double (80-bit extended on x86-64).
#include <cfenv>
#include <cmath>
#include <cstdint>

namespace pixadra {

inline int64_t Trunc(long double v) { return static_cast<int64_t>(std::trunc(v)); }
// Round half to even: 2.5 -> 2, 3.5 -> 4 (nearbyint in the default rounding mode).
inline int64_t RoundHalfEven(long double v) { return static_cast<int64_t>(std::nearbyintl(v)); }

}  // namespace pixadra
