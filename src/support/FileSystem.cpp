#include "support/FileSystem.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>

#include "support/Errors.h"
#include "support/Text.h"

namespace pixadra {
namespace {

std::string SystemReason() { return std::strerror(errno); }

// Writes all bytes, retrying short writes; throws on failure.
void WriteAll(int fd, const void* data, std::size_t size, const std::string& path) {
    auto* p = static_cast<const uint8_t*>(data);
    while (size > 0) {
        ssize_t n = ::write(fd, p, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            throw FileError("Cannot write to \"" + path + "\": " + (n < 0 ? SystemReason() : "no space written"));
        }
        p += n;
        size -= static_cast<std::size_t>(n);
    }
}

void ReadAllAt(int fd, int64_t offset, void* data, std::size_t size, const std::string& path) {
    auto* p = static_cast<uint8_t*>(data);
    std::size_t done = 0;
    while (done < size) {
        ssize_t n = ::pread(fd, p + done, size - done, offset + static_cast<int64_t>(done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throw FileError("Cannot read \"" + path + "\": " + SystemReason());
        if (n == 0) {
            throw FileError("\"" + path + "\" is too short: " + std::to_string(size) + " bytes wanted at offset " +
                            std::to_string(offset) + ", only " + std::to_string(done) + " there");
        }
        done += static_cast<std::size_t>(n);
    }
}

std::string RandomSuffix() {
    static thread_local std::mt19937_64 rng{std::random_device{}()};
    static const char digits[] = "0123456789abcdef";
    std::string s;
    for (int i = 0; i < 8; ++i) s += digits[rng() % 16];
    return s;
}

}  // namespace

bool FileExists(const std::string& path) {
    struct stat st{};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool FolderExists(const std::string& path) {
    struct stat st{};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

int64_t FileSize(const std::string& path) {
    struct stat st{};
    if (path.empty() || ::stat(path.c_str(), &st) != 0) return -1;
    return static_cast<int64_t>(st.st_size);
}

std::vector<uint8_t> ReadWholeFile(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw FileError("Cannot open \"" + path + "\": " + SystemReason());
    struct stat st{};
    if (::fstat(fd, &st) != 0) {
        ::close(fd);
        throw FileError("Cannot read \"" + path + "\": " + SystemReason());
    }
    std::vector<uint8_t> bytes(static_cast<std::size_t>(st.st_size));
    try {
        ReadAllAt(fd, 0, bytes.data(), bytes.size(), path);
    } catch (...) {
        ::close(fd);
        throw;
    }
    ::close(fd);
    return bytes;
}

std::vector<uint8_t> ReadFileRange(const std::string& path, int64_t offset, int64_t size) {
    if (offset < 0 || size < 0) {
        throw FileError("Invalid range in \"" + path + "\": offset " + std::to_string(offset) + ", size " +
                        std::to_string(size));
    }
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw FileError("Cannot open \"" + path + "\": " + SystemReason());
    struct stat st{};
    if (::fstat(fd, &st) != 0 || offset + size > st.st_size) {
        int64_t length = st.st_size;
        ::close(fd);
        throw FileError("\"" + path + "\" is too short: " + std::to_string(size) + " bytes wanted at offset " +
                        std::to_string(offset) + " of a " + std::to_string(length) + "-byte file");
    }
    std::vector<uint8_t> bytes(static_cast<std::size_t>(size));
    try {
        ReadAllAt(fd, offset, bytes.data(), bytes.size(), path);
    } catch (...) {
        ::close(fd);
        throw;
    }
    ::close(fd);
    return bytes;
}

bool RemoveFile(const std::string& path) {
    if (::unlink(path.c_str()) == 0) return true;
    return errno == ENOENT;
}

void RenameFile(const std::string& from, const std::string& to) {
    if (::rename(from.c_str(), to.c_str()) != 0) {
        throw FileError("Cannot rename \"" + from + "\" to \"" + to + "\": " + SystemReason());
    }
}

bool CreateFolders(const std::string& path) {
    std::error_code ec;
    std::filesystem::create_directories(path, ec);
    return FolderExists(path);
}

FolderEntries ListFolder(const std::string& folder) {
    FolderEntries result;
    std::error_code ec;
    std::filesystem::directory_iterator it(folder.empty() ? "." : folder, ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        std::error_code sec;
        if (it->is_directory(sec)) {
            result.folders.push_back(name);
        } else if (it->is_regular_file(sec)) {
            result.files.push_back(name);
        }
    }
    // The order a case-insensitive file system hands its entries out in.
    auto byFoldedName = [](const std::string& a, const std::string& b) {
        const std::string fa = FoldCase(a), fb = FoldCase(b);
        return fa != fb ? fa < fb : a < b;
    };
    std::sort(result.files.begin(), result.files.end(), byFoldedName);
    std::sort(result.folders.begin(), result.folders.end(), byFoldedName);
    return result;
}

void MemorySink::Write(const void* data, std::size_t size) {
    auto* p = static_cast<const uint8_t*>(data);
    bytes.insert(bytes.end(), p, p + size);
}

AtomicFileWriter::AtomicFileWriter(const std::string& target) : target_(target) {
    const std::string folder = FolderOf(target);
    const std::string name = FileNameOf(target);
    for (int attempt = 0; attempt < 16 && fd_ < 0; ++attempt) {
        tempPath_ = folder + "." + name + ".tmp-" + RandomSuffix();
        fd_ = ::open(tempPath_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd_ < 0 && errno != EEXIST) break;
    }
    if (fd_ < 0) throw FileError("Cannot create \"" + target + "\": " + SystemReason());
}

AtomicFileWriter::~AtomicFileWriter() {
    if (fd_ >= 0) ::close(fd_);
    if (!committed_) ::unlink(tempPath_.c_str());
}

void AtomicFileWriter::Write(const void* data, std::size_t size) {
    if (committed_) throw FileError("\"" + target_ + "\" was already written");
    WriteAll(fd_, data, size, target_);
}

void AtomicFileWriter::Commit() {
    if (::fsync(fd_) != 0) throw FileError("Cannot write \"" + target_ + "\": " + SystemReason());
    int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) throw FileError("Cannot write \"" + target_ + "\": " + SystemReason());
    RenameFile(tempPath_, target_);
    committed_ = true;
}

void WriteWholeFileAtomically(const std::string& path, const void* data, std::size_t size) {
    AtomicFileWriter writer(path);
    writer.Write(data, size);
    writer.Commit();
}

LockedFile::LockedFile(const std::string& path, bool create) : path_(path) {
    fd_ = ::open(path.c_str(), O_RDWR | O_CLOEXEC | (create ? O_CREAT : 0), 0644);
    if (fd_ < 0) throw FileError("Cannot open \"" + path + "\": " + SystemReason());
    if (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        const bool busy = errno == EWOULDBLOCK;
        const std::string reason = SystemReason();
        ::close(fd_);
        fd_ = -1;
        throw FileError(busy ? "\"" + path + "\" is being written by another process; try again when it has finished"
                             : "Cannot lock \"" + path + "\": " + reason);
    }
}

LockedFile::~LockedFile() {
    if (fd_ >= 0) ::close(fd_);  // closing releases the lock
}

int64_t LockedFile::Size() const {
    struct stat st{};
    if (::fstat(fd_, &st) != 0) throw FileError("Cannot read \"" + path_ + "\": " + SystemReason());
    return static_cast<int64_t>(st.st_size);
}

void LockedFile::Append(const void* data, std::size_t size) {
    if (::lseek(fd_, 0, SEEK_END) < 0) throw FileError("Cannot seek in \"" + path_ + "\": " + SystemReason());
    WriteAll(fd_, data, size, path_);
}

void LockedFile::ReadAt(int64_t offset, void* data, std::size_t size) const { ReadAllAt(fd_, offset, data, size, path_); }

void LockedFile::Truncate(int64_t size) {
    if (::ftruncate(fd_, size) != 0) throw FileError("Cannot truncate \"" + path_ + "\": " + SystemReason());
}

void LockedFile::Sync() {
    if (::fsync(fd_) != 0) throw FileError("Cannot write \"" + path_ + "\": " + SystemReason());
}

}  // namespace pixadra
