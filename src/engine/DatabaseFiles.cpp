#include "engine/DatabaseFiles.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <locale>

#include "support/Errors.h"
#include "support/SystemInfo.h"
#include "support/Text.h"

namespace pixadra {
namespace {

enum class HeaderState { kValid, kOld, kUnreadable };

// Reads up to the first 30 bytes of an index. An index shorter than its header counts as old
// (so the rest of the catalogue goes on); one that cannot be opened is left out of both lists,
// so nothing offers to delete a database merely because it could not be read.
HeaderState ReadHeaderState(const std::string& indexPath) {
    const int fd = ::open(indexPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return HeaderState::kUnreadable;
    uint8_t header[kIndexHeaderSize];
    std::size_t got = 0;
    bool failed = false;
    while (got < sizeof header) {
        const ssize_t n = ::read(fd, header + got, sizeof header - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) failed = true;
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
    }
    ::close(fd);
    if (failed) return HeaderState::kUnreadable;
    return IsValidIndexHeader(header, got) ? HeaderState::kValid : HeaderState::kOld;
}

// Appends all bytes or none: a partial record would shift every later record of the index.
void AppendWhole(LockedFile& file, const void* data, std::size_t size, int64_t oldSize) {
    try {
        file.Append(data, size);
    } catch (...) {
        try {
            file.Truncate(oldSize);
        } catch (const FileError&) {
            // The write error is the one to report.
        }
        throw;
    }
}

std::string DatabaseNameOf(const std::string& databasePath) {
    return FileNameOf(databasePath);
}

const std::collate<char>* UserCollation() {
    static const std::collate<char>* collation = []() -> const std::collate<char>* {
        try {
            static const std::locale user("");
            return &std::use_facet<std::collate<char>>(user);
        } catch (const std::exception&) {
            return nullptr;  // no usable user locale: folded byte order alone
        }
    }();
    return collation;
}

}  // namespace

void ListDataBases(const std::string& folder, std::vector<std::string>* valid,
                   std::vector<std::string>* old) {
    const std::string base = WithTrailingSlash(folder);
    if (valid) valid->clear();
    if (old) old->clear();
    for (const std::string& file : ListFolder(base).files) {
        // The program writes lower-case extensions; both files must be there under those names.
        if (file.size() < 4 || file.compare(file.size() - 4, 4, ".dat") != 0) continue;
        const std::string name = file.substr(0, file.size() - 4);
        if (!FileExists(base + name + ".idx") || !FileExists(base + name + ".dat")) continue;
        switch (ReadHeaderState(base + name + ".idx")) {
            case HeaderState::kValid:
                if (valid) valid->push_back(name);
                break;
            case HeaderState::kOld:
                if (old) old->push_back(name);
                break;
            case HeaderState::kUnreadable:
                break;
        }
    }
    if (valid) SortStrings(*valid);
    if (old) SortStrings(*old);
}

void WriteIndexHeader(ByteSink& sink) {
    const std::vector<uint8_t> header = EncodeIndexHeader(LocalDateTimeAsDays());
    sink.Write(header.data(), header.size());
}

void AppendTile(const std::string& databasePath, const std::vector<uint8_t>& jpeg, IndexRecord record) {
    const std::string name = DatabaseNameOf(databasePath);
    const auto tooLarge = [&](int64_t offset) {
        return SizeError("The data file of database \"" + name + "\" cannot take another tile: " +
                         std::to_string(offset) + " + " + std::to_string(jpeg.size()) +
                         " bytes would pass the limit of " + std::to_string(kMaxDataFileSize) + " bytes");
    };
    if (jpeg.size() > static_cast<uint64_t>(kMaxDataFileSize)) throw tooLarge(0);

    // The data file stays locked until the record is in the index, so two writers cannot
    // interleave their tiles.
    LockedFile data(databasePath + ".dat");
    const int64_t offset = data.Size();
    if (offset > kMaxDataFileSize - static_cast<int64_t>(jpeg.size())) throw tooLarge(offset);
    AppendWhole(data, jpeg.data(), jpeg.size(), offset);

    record.DataOffset = offset;
    record.DataSize = static_cast<int64_t>(jpeg.size());
    LockedFile index(databasePath + ".idx");
    const int64_t indexSize = index.Size();
    MemorySink bytes;
    if (indexSize == 0) WriteIndexHeader(bytes);
    const std::vector<uint8_t> encoded = EncodeIndexRecord(record);
    bytes.Write(encoded.data(), encoded.size());
    AppendWhole(index, bytes.bytes.data(), bytes.bytes.size(), indexSize);
}

std::vector<uint8_t> ReadTileJpeg(const std::string& databasePath, int32_t offset, int32_t size) {
    const std::string path = databasePath + ".dat";
    const int64_t length = FileSize(path);
    if (length < 0 || !FileExists(path)) {
        throw FileError("The data file \"" + path + "\" of database \"" + DatabaseNameOf(databasePath) +
                        "\" is missing");
    }
    if (offset < 0 || size < 0 || static_cast<int64_t>(offset) + size > length) {
        throw FileError("The tile at offset " + std::to_string(offset) + " with " + std::to_string(size) +
                        " bytes lies outside the data file of database \"" + DatabaseNameOf(databasePath) +
                        "\" (" + std::to_string(length) + " bytes)");
    }
    return ReadFileRange(path, offset, size);
}

void SortStrings(std::vector<std::string>& list) {
    struct Keyed {
        std::string folded;
        std::string text;
    };
    std::vector<Keyed> keyed;
    keyed.reserve(list.size());
    for (std::string& text : list) keyed.push_back({FoldCase(text), std::move(text)});
    const std::collate<char>* collation = UserCollation();
    // Locale order first; equal keys fall back to byte order so the result never depends on
    // the sort's inner working.
    std::sort(keyed.begin(), keyed.end(), [collation](const Keyed& a, const Keyed& b) {
        if (collation) {
            const int c = collation->compare(a.folded.data(), a.folded.data() + a.folded.size(),
                                             b.folded.data(), b.folded.data() + b.folded.size());
            if (c != 0) return c < 0;
        }
        if (a.folded != b.folded) return a.folded < b.folded;
        return a.text < b.text;
    });
    list.clear();
    for (Keyed& k : keyed) list.push_back(std::move(k.text));
}

std::string CleanDataBaseName(const std::string& name) {
    std::string clean;
    clean.reserve(name.size());
    for (char c : name) {
        if (std::string_view("\\/:*?\"<>|").find(c) == std::string_view::npos) clean += c;
    }
    return clean;
}

}  // namespace pixadra
