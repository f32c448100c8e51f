#pragma once
// File access with the guarantees users' files need: every short write is an error, whole
// files are written beside their target and renamed over it, appended files are locked.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace pixadra {

bool FileExists(const std::string& path);    // a regular file (or a link to one)
bool FolderExists(const std::string& path);  // a directory
int64_t FileSize(const std::string& path);   // -1 when missing
// Reads a whole file; throws FileError naming the file.
std::vector<uint8_t> ReadWholeFile(const std::string& path);
// Reads `size` bytes at `offset`; throws FileError when the file is shorter.
std::vector<uint8_t> ReadFileRange(const std::string& path, int64_t offset, int64_t size);
bool RemoveFile(const std::string& path);  // true when it is gone afterwards
// rename(2); throws FileError naming both paths.
void RenameFile(const std::string& from, const std::string& to);
// Creates the folder and its parents; false when that fails.
bool CreateFolders(const std::string& path);

// Entries of one folder in case-insensitive name order (hidden files included, "." and ".."
// not). Files and folders are listed apart.
struct FolderEntries {
    std::vector<std::string> files;
    std::vector<std::string> folders;
};
FolderEntries ListFolder(const std::string& folder);

// Where bytes go. Write throws FileError when fewer bytes than requested were written.
class ByteSink {
public:
    virtual ~ByteSink() = default;
    virtual void Write(const void* data, std::size_t size) = 0;
};

class MemorySink : public ByteSink {
public:
    void Write(const void* data, std::size_t size) override;
    std::vector<uint8_t> bytes;
};

// Writes a new whole file: the bytes go to a temporary file beside the target, Commit()
// flushes it and renames it over the target. Without Commit() (an error on the way) the
// temporary file is removed and the target stays as it was.
class AtomicFileWriter : public ByteSink {
public:
    explicit AtomicFileWriter(const std::string& target);
    ~AtomicFileWriter() override;
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    void Write(const void* data, std::size_t size) override;
    void Commit();
    const std::string& TempPath() const { return tempPath_; }

private:
    std::string target_;
    std::string tempPath_;
    int fd_ = -1;
    bool committed_ = false;
};

// Writes a whole file in one go through AtomicFileWriter.
void WriteWholeFileAtomically(const std::string& path, const void* data, std::size_t size);

// A file opened for reading and appending (created when missing) under an exclusive advisory
// lock, so a second writer gets a clear error instead of interleaving its bytes.
class LockedFile {
public:
    // Throws FileError when the file cannot be opened or another process holds the lock.
    explicit LockedFile(const std::string& path, bool create = true);
    ~LockedFile();
    LockedFile(const LockedFile&) = delete;
    LockedFile& operator=(const LockedFile&) = delete;

    int64_t Size() const;
    void Append(const void* data, std::size_t size);  // at the end; throws on a short write
    void ReadAt(int64_t offset, void* data, std::size_t size) const;  // throws when short
    void Truncate(int64_t size);  // takes back a failed append; throws FileError
    void Sync();
    const std::string& Path() const { return path_; }

private:
    std::string path_;
    int fd_ = -1;
};

}  // namespace pixadra
