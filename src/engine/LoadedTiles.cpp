#include "engine/LoadedTiles.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "engine/DatabaseFiles.h"
#include "support/Dialogs.h"
#include "support/Errors.h"
#include "support/Language.h"
#include "support/Rounding.h"
#include "support/Text.h"

namespace pixadra {
namespace {

// Records are read in blocks of this many, so a large index costs few system calls.
constexpr int64_t kRecordsPerRead = 4096;

class ReadOnlyFile {
  public:
    explicit ReadOnlyFile(const std::string& path) : path_(path) {
        fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd_ < 0) throw FileError("Cannot open \"" + path + "\": " + std::strerror(errno));
    }
    ~ReadOnlyFile() { ::close(fd_); }
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

    int64_t Size() const {
        struct stat st {};
        if (::fstat(fd_, &st) != 0) throw FileError("Cannot read \"" + path_ + "\": " + std::strerror(errno));
        return static_cast<int64_t>(st.st_size);
    }
    // Bytes read at offset (fewer at the end of the file); throws on a read error.
    std::size_t ReadAt(int64_t offset, uint8_t* data, std::size_t size) const {
        std::size_t done = 0;
        while (done < size) {
            const ssize_t n = ::pread(fd_, data + done, size - done, offset + static_cast<int64_t>(done));
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) throw FileError("Cannot read \"" + path_ + "\": " + std::strerror(errno));
            if (n == 0) break;
            done += static_cast<std::size_t>(n);
        }
        return done;
    }

  private:
    std::string path_;
    int fd_ = -1;
};

// Holds the data file's append lock while the index is replaced, so a tile appended by another
// process cannot land in the index that is being moved away. A data file that cannot be
// opened needs no guard: nothing can append to it either.
class DataFileGuard {
  public:
    explicit DataFileGuard(const std::string& databasePath) {
        const std::string path = databasePath + ".dat";
        fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd_ < 0) return;
        if (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
            ::close(fd_);
            throw FileError("\"" + path + "\" is being written by another process; the index of database \"" +
                            FileNameOf(databasePath) + "\" was not saved");
        }
    }
    ~DataFileGuard() {
        if (fd_ >= 0) ::close(fd_);
    }
    DataFileGuard(const DataFileGuard&) = delete;
    DataFileGuard& operator=(const DataFileGuard&) = delete;

  private:
    int fd_ = -1;
};

int Percent(int64_t done, int64_t total) {
    return static_cast<int>(Trunc(done / (total / 100.0L)));
}

void BeginWith(const Progress& progress, const std::string& key, const std::vector<std::string>& args) {
    if (progress.Both()) progress.Begin(FormatLanguageWord("GaugeMessages", key, args));
}

void FillTile(TDataBaseTile& tile, const uint8_t* bytes, bool namesOnly, const std::string& databaseName) {
    IndexRecord record = DecodeIndexRecord(bytes);
    tile.FileName = std::move(record.FileName);
    if (namesOnly) return;
    tile.Signatures[0] = UnpackSignature(record.SquareSignature);
    tile.Signatures[1] = UnpackSignature(record.PortraitSignature);
    tile.Signatures[2] = UnpackSignature(record.LandscapeSignature);
    // Only the low 32 bits count.
    tile.DataOffset = static_cast<int32_t>(static_cast<uint32_t>(record.DataOffset));
    tile.DataSize = static_cast<int32_t>(static_cast<uint32_t>(record.DataSize));
    tile.DataBaseName = databaseName;
    tile.Source = std::move(record.Source);
    tile.UseCount = 0;
}

bool EntryExists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

}  // namespace

LoadedTileList& LoadedTiles() {
    static LoadedTileList tiles;
    return tiles;
}

void LoadDataBase(bool clear, const std::string& databasePath, bool namesOnly, const Progress& progress) {
    const ReadOnlyFile file(databasePath + ".idx");
    const int64_t size = file.Size();
    const int64_t count = size >= kIndexHeaderSize ? (size - kIndexHeaderSize) / kIndexRecordSize : 0;
    LoadedTileList& tiles = LoadedTiles();
    if (clear) tiles.clear();
    const std::string name = FileNameOf(databasePath);
    BeginWith(progress, "LoadDataBase", {name, std::to_string(count)});

    uint8_t header[kIndexHeaderSize] = {};
    std::size_t headerBytes = 0;
    try {
        headerBytes = file.ReadAt(0, header, sizeof header);
    } catch (const FileError&) {
        headerBytes = 0;  // an unreadable header counts as a foreign one
    }
    // An index shorter than its header is as unusable as one of another format.
    if (headerBytes < sizeof header || !HasIndexMagic(header, headerBytes)) {
        ShowPlainMessage("Old_Database");
        progress.End();
        return;
    }

    const std::size_t before = tiles.size();
    tiles.reserve(before + static_cast<std::size_t>(count));
    try {
        std::vector<uint8_t> block(static_cast<std::size_t>(std::min(count, kRecordsPerRead)) *
                                   kIndexRecordSize);
        for (int64_t first = 0; first < count; first += kRecordsPerRead) {
            const int64_t inBlock = std::min(kRecordsPerRead, count - first);
            const auto wanted = static_cast<std::size_t>(inBlock) * kIndexRecordSize;
            const int64_t at = kIndexHeaderSize + first * kIndexRecordSize;
            if (file.ReadAt(at, block.data(), wanted) != wanted) {
                throw FileError("\"" + databasePath + ".idx\" became shorter while it was read");
            }
            for (int64_t k = 0; k < inBlock; ++k) {
                auto tile = std::make_unique<TDataBaseTile>();
                FillTile(*tile, block.data() + k * kIndexRecordSize, namesOnly, name);
                tiles.push_back(std::move(tile));
                if (progress.Both()) progress.Update(Percent(first + k + 1, count));
            }
        }
    } catch (...) {
        tiles.resize(before);  // no half-loaded database
        throw;
    }
    progress.End();
}

void SaveDataBaseIndex(const std::string& databasePath, const Progress& progress) {
    BeginWith(progress, "SaveDataBaseIndex", {});
    const LoadedTileList& tiles = LoadedTiles();
    const std::string indexPath = databasePath + ".idx";
    const std::string backupPath = databasePath + ".idx~";
    const std::string name = FileNameOf(databasePath);

    // The whole new index is built first, then written beside the current one.
    MemorySink bytes;
    bytes.bytes.reserve(kIndexHeaderSize + tiles.size() * kIndexRecordSize);
    WriteIndexHeader(bytes);
    const auto total = static_cast<int64_t>(tiles.size());
    for (int64_t i = 0; i < total; ++i) {
        if (const TDataBaseTile* tile = tiles[static_cast<std::size_t>(i)].get()) {
            IndexRecord record;
            record.DataOffset = tile->DataOffset;
            record.DataSize = tile->DataSize;
            record.SquareSignature = PackSignature(tile->Signatures[0]);
            record.PortraitSignature = PackSignature(tile->Signatures[1]);
            record.LandscapeSignature = PackSignature(tile->Signatures[2]);
            record.Source = tile->Source;
            record.FileName = tile->FileName;
            const std::vector<uint8_t> encoded = EncodeIndexRecord(record);
            bytes.Write(encoded.data(), encoded.size());
        }
        if (progress.Both()) progress.Update(Percent(i + 1, total));
    }

    const DataFileGuard guard(databasePath);
    AtomicFileWriter writer(indexPath);  // removes its temporary file on every error below
    writer.Write(bytes.bytes.data(), bytes.bytes.size());

    const std::string keptAsItWas = "; the index of database \"" + name + "\" was left as it was";
    if (EntryExists(backupPath) && !RemoveFile(backupPath)) {
        const std::string reason = std::strerror(errno);
        throw FileError("Cannot remove the old backup \"" + backupPath + "\": " + reason + keptAsItWas);
    }
    // A hard link keeps the current index in place while the backup is made; file systems
    // without links get a rename, undone if the new index cannot take its place.
    bool moved = false;
    if (EntryExists(indexPath) && ::link(indexPath.c_str(), backupPath.c_str()) != 0) {
        if (::rename(indexPath.c_str(), backupPath.c_str()) != 0) {
            const std::string reason = std::strerror(errno);
            throw FileError("Cannot keep the previous index as \"" + backupPath + "\": " + reason +
                            keptAsItWas);
        }
        moved = true;
    }
    try {
        writer.Commit();
    } catch (...) {
        if (moved) ::rename(backupPath.c_str(), indexPath.c_str());
        throw;
    }
    progress.End();
}

}  // namespace pixadra
