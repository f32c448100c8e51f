#pragma once
// The files of a tile database. "<path>.idx": a 30-byte header and 562-byte records;
// "<path>.dat": the tiles' JPEG streams one after another; "<path>.idx~": the previous index.
// Every procedure takes the database path (folder + name) and adds the extension itself.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/ColorSignature.h"
#include "imaging/Bitmap.h"
#include "support/FileSystem.h"

namespace pixadra {

constexpr int kIndexHeaderSize = 30;
constexpr int kIndexRecordSize = 562;
constexpr int kIndexStringWidth = 200;  // stored as 1 length byte + 200 bytes
constexpr int64_t kMaxDataFileSize = 2147483647;  // offsets are 32-bit

struct IndexRecord {
    int64_t DataOffset = 0;
    int64_t DataSize = 0;
    PackedSignature SquareSignature{};
    PackedSignature LandscapeSignature{};
    PackedSignature PortraitSignature{};
    std::string Source;    // cut to 200 bytes when written
    std::string FileName;  // cut to 200 bytes when written
};

// The 30 header bytes with the given Created value.
std::vector<uint8_t> EncodeIndexHeader(double created);
// True when bytes 0..13 are 13 "MIDXDATHEADER" (Version fields not looked at).
bool HasIndexMagic(const uint8_t* header, std::size_t size);
// Magic right and both versions 1.
bool IsValidIndexHeader(const uint8_t* header, std::size_t size);

std::vector<uint8_t> EncodeIndexRecord(const IndexRecord& record);  // 562 bytes
IndexRecord DecodeIndexRecord(const uint8_t* bytes);                // 562 bytes

// Fills and sorts the given lists (either may be null) with the names of the folder's valid
// and old databases.
void ListDataBases(const std::string& folder, std::vector<std::string>* valid, std::vector<std::string>* old);
// Appends one header (Created = now) to the sink.
void WriteIndexHeader(ByteSink& sink);
// Appends the JPEG to the data file and the record (offset and size filled in) to the index,
// data file first, both under an exclusive lock. Refuses, before writing a byte, a tile that
// would carry the data file past 2^31 - 1 bytes.
void AppendTile(const std::string& databasePath, const std::vector<uint8_t>& jpeg, IndexRecord record);
// The tile's JPEG stream; throws FileError naming the database when it lies outside the file.
std::vector<uint8_t> ReadTileJpeg(const std::string& databasePath, int32_t offset, int32_t size);
// The tile's picture decoded. Throws FileError when the stream lies outside the data file and
// DecodeError when it does not decode, both naming the database and the tile's offset.
Bitmap DecodeTile(const std::string& databasePath, int32_t offset, int32_t size);
// Case-insensitive ascending by the user's locale collation.
void SortStrings(std::vector<std::string>& list);
// Drops \ / : * ? " < > | and nothing else.
std::string CleanDataBaseName(const std::string& name);

}  // namespace pixadra
