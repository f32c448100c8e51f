#pragma once
// Index file bytes spelled out field by field, independent of the program's own encoder, so
// a test compares whole files against what the format says.
#include <cstdint>
#include <cstring>
#include <string>

namespace pixadra::testing {

inline void AppendLittleEndian(std::string& out, uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

inline std::string HandHeader(int32_t version1 = 1, int32_t version2 = 1, double created = 0.0) {
    std::string out;
    out += static_cast<char>(13);
    out += "MIDXDATHEADER";
    AppendLittleEndian(out, static_cast<uint32_t>(version1), 4);
    AppendLittleEndian(out, static_cast<uint32_t>(version2), 4);
    uint64_t bits = 0;
    std::memcpy(&bits, &created, 8);
    AppendLittleEndian(out, bits, 8);
    return out;
}

// 48 bytes whose every byte is base + position, so a swapped or shifted block shows.
inline std::string HandSignature(uint8_t base) {
    std::string out;
    for (int i = 0; i < 48; ++i) out += static_cast<char>(static_cast<uint8_t>(base + i));
    return out;
}

inline std::string HandString(const std::string& text) {
    std::string out(201, '\0');
    out[0] = static_cast<char>(text.size());
    std::memcpy(out.data() + 1, text.data(), text.size());
    return out;
}

// Offset and size are given as the 64-bit values the file holds.
inline std::string HandRecord(uint64_t offset, uint64_t size, const std::string& square,
                              const std::string& landscape, const std::string& portrait,
                              const std::string& source, const std::string& fileName) {
    std::string out;
    AppendLittleEndian(out, offset, 8);
    AppendLittleEndian(out, size, 8);
    out += square + landscape + portrait + HandString(source) + HandString(fileName);
    return out;
}

}  // namespace pixadra::testing
