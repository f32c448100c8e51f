#pragma once
// A colour signature: 4 sub-columns x 4 sub-rows x 4 values (mean red, green, blue, pixel
// count), sub-column outermost. Cells and tiles are compared by these.
#include <array>
#include <cstdint>

namespace pixadra {

using ColorSignature = std::array<int32_t, 64>;

// Index of value v (0 red, 1 green, 2 blue, 3 count) of sub-cell (column c, row r), all 0-based.
constexpr int SignatureIndex(int c, int r, int v) { return c * 16 + r * 4 + v; }

// Packed form in the index file: 48 bytes, sub-column by sub-column, then sub-row, red first.
using PackedSignature = std::array<uint8_t, 48>;
constexpr int PackedIndex(int c, int r, int k) { return 12 * c + 3 * r + k; }

PackedSignature PackSignature(const ColorSignature& signature);      // low 8 bits of values 1..3
ColorSignature UnpackSignature(const PackedSignature& packed);      // counts 0

}  // namespace pixadra
