#pragma once
// Little-endian fields of the file formats (BMP, HPI, the tile index), independent of the
// machine's own byte order.
#include <cstdint>

namespace pixadra {

inline void PutLE16(uint8_t* p, uint32_t value) {
    p[0] = static_cast<uint8_t>(value);
    p[1] = static_cast<uint8_t>(value >> 8);
}
inline void PutLE32(uint8_t* p, uint32_t value) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(value >> (8 * i));
}
inline void PutLE64(uint8_t* p, uint64_t value) {
    for (int i = 0; i < 8; ++i) p[i] = static_cast<uint8_t>(value >> (8 * i));
}

inline uint16_t GetLE16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint32_t GetLE32(const uint8_t* p) {
    return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}
inline int32_t GetLEInt32(const uint8_t* p) { return static_cast<int32_t>(GetLE32(p)); }
inline uint64_t GetLE64(const uint8_t* p) { return GetLE32(p) | (uint64_t{GetLE32(p + 4)} << 32); }

}  // namespace pixadra
