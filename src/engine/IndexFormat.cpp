// Byte layout of the index file: a 30-byte header and 562-byte records, little-endian.
#include <algorithm>
#include <cstring>

#include "engine/DatabaseFiles.h"
#include "support/ByteOrder.h"
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

// Offsets and sizes are 32-bit values stored as their 64-bit sign extension.
uint64_t SignExtended(int64_t value) { return static_cast<uint64_t>(static_cast<int64_t>(static_cast<int32_t>(value))); }

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
    PutLE32(bytes.data() + 14, 1);
    PutLE32(bytes.data() + 18, 1);
    uint64_t bits = 0;
    static_assert(sizeof bits == sizeof created);
    std::memcpy(&bits, &created, sizeof bits);
    PutLE64(bytes.data() + 22, bits);
    return bytes;
}

bool HasIndexMagic(const uint8_t* header, std::size_t size) {
    return size >= 1 + kMagicLength && header[0] == kMagicLength &&
           std::memcmp(header + 1, kMagic, kMagicLength) == 0;
}

bool IsValidIndexHeader(const uint8_t* header, std::size_t size) {
    return size >= static_cast<std::size_t>(kIndexHeaderSize) && HasIndexMagic(header, size) &&
           GetLE32(header + 14) == 1 && GetLE32(header + 18) == 1;
}

std::vector<uint8_t> EncodeIndexRecord(const IndexRecord& record) {
    std::vector<uint8_t> bytes(kIndexRecordSize, 0);
    uint8_t* p = bytes.data();
    // Offsets and sizes live as 32-bit values; the 64-bit fields hold their sign extension.
    PutLE64(p + kOffsetField, SignExtended(record.DataOffset));
    PutLE64(p + kSizeField, SignExtended(record.DataSize));
    std::memcpy(p + kSquareField, record.SquareSignature.data(), 48);
    std::memcpy(p + kLandscapeField, record.LandscapeSignature.data(), 48);
    std::memcpy(p + kPortraitField, record.PortraitSignature.data(), 48);
    PutString(p + kSourceField, record.Source);
    PutString(p + kFileNameField, record.FileName);
    return bytes;
}

IndexRecord DecodeIndexRecord(const uint8_t* bytes) {
    IndexRecord record;
    record.DataOffset = static_cast<int64_t>(GetLE64(bytes + kOffsetField));
    record.DataSize = static_cast<int64_t>(GetLE64(bytes + kSizeField));
    std::memcpy(record.SquareSignature.data(), bytes + kSquareField, 48);
    std::memcpy(record.LandscapeSignature.data(), bytes + kLandscapeField, 48);
    std::memcpy(record.PortraitSignature.data(), bytes + kPortraitField, 48);
    record.Source = GetString(bytes + kSourceField);
    record.FileName = GetString(bytes + kFileNameField);
    return record;
}

}  // namespace pixadra
