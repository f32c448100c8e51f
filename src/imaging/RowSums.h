#pragma once
// Adding whole rows of bytes into 16-bit sums: the inner loop shared by the resampler and the
// picture analysis. Blocks of a fixed 16 values let the compiler use vector instructions.
#include <cstddef>
#include <cstdint>

namespace pixadra {

// 257 rows of 255 still fit 16 bits.
constexpr int kRowsPer16BitSum = 257;

// sums[i] += row[i] for i < count; the caller keeps to kRowsPer16BitSum rows per sum.
inline void AddRowTo16(uint16_t* __restrict sums, const uint8_t* __restrict row, std::size_t count) {
    std::size_t i = 0;
    for (; i + 16 <= count; i += 16) {
        for (std::size_t k = 0; k < 16; ++k) sums[i + k] = static_cast<uint16_t>(sums[i + k] + row[i + k]);
    }
    for (; i < count; ++i) sums[i] = static_cast<uint16_t>(sums[i] + row[i]);
}

}  // namespace pixadra
