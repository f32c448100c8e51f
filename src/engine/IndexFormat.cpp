// Byte layout of the index file: a 30-byte header and 562-byte records, little-endian.
#include <algorithm>
#include <cstring>

#include "engine/DatabaseFiles.h"
#include "support/Text.h"

namespace pixadra {
namespace {

constexpr char kMagic[] = "MIDXDATHEADER";
constexpr int kMagicLength = 13;

// Record field offsets.
constexpr int kOffsetField = 0;
constexpr int kSizeField = 8;
constexpr int kSquareField = 16;
constexpr int kLandscapeField = 64;
constexpr int kPortraitField = 112;
constexpr int kSourceField = 160;
constexpr int kFileNameField = 361;

void PutInt32(uint8_t* p, int32_t value) {
    const auto v = static_cast<uint32_t>(value);
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

void PutInt64(uint8_t* p, int64_t value) {
    const auto v = static_cast<uint64_t>(value);
    for (int i = 0; i < 8; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

int32_t GetInt32(const uint8_t* p) {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(p[i]) << (8 * i);
    return static_cast<int32_t>(v);
}

int64_t GetInt64(const uint8_t* p) {
    uint64_t v = 0;
    for (int i = 0; i < 8; ++i) v |= static_cast<uint64_t>(p[i]) << (8 * i);
    return static_cast<int64_t>(v);
}

// One length byte and 200 character bytes, zeros after the text.
void PutString(uint8_t* p, const std::string& text) {
    const std::string cut = CutUtf8(text, kIndexStringWidth);
    p[0] = static_cast<uint8_t>(cut.size());
    std::memcpy(p + 1, cut.data(), cut.size());
}

std::string GetString(const uint8_t* p) {
    // A damaged length byte above 200 must not reach into the next field.
    const std::size_t length = std::min<std::size_t>(p[0], kIndexStringWidth);
    return std::string(reinterpret_cast<const char*>(p + 1), length);
}

}  // namespace

std::vector<uint8_t> EncodeIndexHeader(double created) {
    std::vector<uint8_t> bytes(kIndexHeaderSize, 0);
    bytes[0] = kMagicLength;
    std::memcpy(bytes.data() + 1, kMagic, kMagicLength);
    PutInt32(bytes.data() + 14, 1);
    PutInt32(bytes.data() + 18, 1);
    uint64_t bits = 0;
    static_assert(sizeof bits == sizeof created);
    std::memcpy(&bits, &created, sizeof bits);
    PutInt64(bytes.data() + 22, static_cast<int64_t>(bits));
    return bytes;
}

bool HasIndexMagic(const uint8_t* header, std::size_t size) {
    return size >= 1 + kMagicLength && header[0] == kMagicLength &&
           std::memcmp(header + 1, kMagic, kMagicLength) == 0;
}

bool IsValidIndexHeader(const uint8_t* header, std::size_t size) {
    return size >= static_cast<std::size_t>(kIndexHeaderSize) && HasIndexMagic(header, size) &&
           GetInt32(header + 14) == 1 && GetInt32(header + 18) == 1;
}

std::vector<uint8_t> EncodeIndexRecord(const IndexRecord& record) {
    std::vector<uint8_t> bytes(kIndexRecordSize, 0);
    uint8_t* p = bytes.data();
    // Offsets and sizes live as 32-bit values; the 64-bit fields hold their sign extension.
    PutInt64(p + kOffsetField, static_cast<int32_t>(record.DataOffset));
    PutInt64(p + kSizeField, static_cast<int32_t>(record.DataSize));
    std::memcpy(p + kSquareField, record.SquareSignature.data(), 48);
    std::memcpy(p + kLandscapeField, record.LandscapeSignature.data(), 48);
    std::memcpy(p + kPortraitField, record.PortraitSignature.data(), 48);
    PutString(p + kSourceField, record.Source);
    PutString(p + kFileNameField, record.FileName);
    return bytes;
}

IndexRecord DecodeIndexRecord(const uint8_t* bytes) {
    IndexRecord record;
    record.DataOffset = GetInt64(bytes + kOffsetField);
    record.DataSize = GetInt64(bytes + kSizeField);
    std::memcpy(record.SquareSignature.data(), bytes + kSquareField, 48);
    std::memcpy(record.LandscapeSignature.data(), bytes + kLandscapeField, 48);
    std::memcpy(record.PortraitSignature.data(), bytes + kPortraitField, 48);
    record.Source = GetString(bytes + kSourceField);
    record.FileName = GetString(bytes + kFileNameField);
    return record;
}

}  // namespace pixadra
