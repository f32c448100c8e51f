// Our BMP reader: palette pictures of 1, 2, 4 and 8 bits (also RLE4 and RLE8), 24 bits, and 16 or
// 32 bits with any bit masks. Rows are read in blocks and converted a whole row at a time.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "imaging/BmpFormat.h"
#include "imaging/PictureLoader.h"
#include "support/Errors.h"

namespace pixadra {

namespace {

constexpr int64_t kReadBlockBytes = 1 << 20;
// Runs of 255 pixels cost two bytes; skips may leave more undefined, but not without limit.
constexpr int64_t kRlePixelsPerByte = 1024;
constexpr int64_t kRlePixelAllowance = 65536;

class MemoryBmpSource : public BmpSource {
  public:
    MemoryBmpSource(const uint8_t* data, std::size_t size, const std::string& what)
        : data_(data), size_(size), what_(what) {}
    int64_t Size() const override { return static_cast<int64_t>(size_); }
    void Read(int64_t offset, void* target, std::size_t count) override {
        if (offset < 0 || static_cast<uint64_t>(offset) > size_ ||
            count > size_ - static_cast<std::size_t>(offset)) {
            FailBmp(what_, "the file ends early");
        }
        if (count > 0) std::memcpy(target, data_ + offset, count);
    }

  private:
    const uint8_t* data_;
    std::size_t size_;
    const std::string& what_;
};

class FileBmpSource : public BmpSource {
  public:
    explicit FileBmpSource(const std::string& path) : path_(path) {
        fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        struct stat st {};
        if (fd_ < 0 || ::fstat(fd_, &st) != 0) {
            const std::string reason = std::strerror(errno);
            if (fd_ >= 0) ::close(fd_);
            throw FileError("Cannot open \"" + path + "\": " + reason);
        }
        size_ = st.st_size;
    }
    ~FileBmpSource() override { ::close(fd_); }
    FileBmpSource(const FileBmpSource&) = delete;
    FileBmpSource& operator=(const FileBmpSource&) = delete;

    int64_t Size() const override { return size_; }
    void Read(int64_t offset, void* target, std::size_t count) override {
        auto* bytes = static_cast<uint8_t*>(target);
        while (count > 0) {
            const ssize_t got = ::pread(fd_, bytes, count, offset);
            if (got < 0 && errno == EINTR) continue;
            if (got < 0) throw FileError("Cannot read \"" + path_ + "\": " + std::strerror(errno));
            if (got == 0) FailBmp(path_, "the file ends early");
            bytes += got;
            offset += got;
            count -= static_cast<std::size_t>(got);
        }
    }

  private:
    std::string path_;
    int fd_ = -1;
    int64_t size_ = 0;
};

// How one bit-mask field becomes 0..255: (value * 255 + max / 2) / max, so a full field is 255.
struct Field {
    uint32_t mask = 0;
    int shift = 0;
    uint32_t max = 0;
    std::vector<uint8_t> table;  // for fields of up to 16 bits

    explicit Field(uint32_t m) : mask(m) {
        if (mask == 0) return;
        while (((mask >> shift) & 1) == 0) ++shift;
        max = mask >> shift;
        if (max <= 0xFFFF) {
            table.resize(std::size_t{max} + 1);
            for (uint32_t v = 0; v <= max; ++v) table[v] = Scale(v);
        }
    }
    uint8_t Scale(uint32_t value) const {
        return static_cast<uint8_t>((uint64_t{value} * 255 + max / 2) / max);
    }
    uint8_t operator()(uint32_t pixel) const {
        if (max == 0) return 0;
        const uint32_t value = (pixel & mask) >> shift;
        return table.empty() ? Scale(value) : table[value];
    }
};

class RowConverter {
  public:
    explicit RowConverter(const BmpLayout& layout)
        : layout_(layout), red_(layout.masks[0]), green_(layout.masks[1]), blue_(layout.masks[2]) {
        plainBytes_ = layout.bitsPerPixel == 32 && layout.masks[0] == 0xFF0000u &&
                      layout.masks[1] == 0xFF00u && layout.masks[2] == 0xFFu;
    }

    void Convert(const uint8_t* source, uint8_t* target) const {
        const int width = layout_.width;
        const int bits = layout_.bitsPerPixel;
        if (bits == 24) {
            std::memcpy(target, source, std::size_t{3} * width);
        } else if (bits <= 8) {
            PaletteRow(source, target, width, bits);
        } else if (plainBytes_) {
            for (int x = 0; x < width; ++x, source += 4, target += 3) {
                target[0] = source[0];
                target[1] = source[1];
                target[2] = source[2];
            }
        } else if (bits == 16) {
            for (int x = 0; x < width; ++x, source += 2, target += 3)
                Put(uint32_t{source[0]} | (source[1] << 8), target);
        } else {
            for (int x = 0; x < width; ++x, source += 4, target += 3) {
                Put(uint32_t{source[0]} | (uint32_t{source[1]} << 8) | (uint32_t{source[2]} << 16) |
                        (uint32_t{source[3]} << 24),
                    target);
            }
        }
    }

  private:
    void Put(uint32_t pixel, uint8_t* target) const {
        target[0] = blue_(pixel);
        target[1] = green_(pixel);
        target[2] = red_(pixel);
    }

    void PaletteRow(const uint8_t* source, uint8_t* target, int width, int bits) const {
        const uint8_t* palette = layout_.palette.data();
        if (bits == 8) {
            for (int x = 0; x < width; ++x, target += 3) std::memcpy(target, palette + 3 * source[x], 3);
            return;
        }
        const int perByte = 8 / bits;
        const int mask = (1 << bits) - 1;
        for (int x = 0; x < width; ++x, target += 3) {
            const int shift = 8 - bits * (x % perByte + 1);
            std::memcpy(target, palette + 3 * ((source[x / perByte] >> shift) & mask), 3);
        }
    }

    const BmpLayout& layout_;
    Field red_, green_, blue_;
    bool plainBytes_ = false;
};

void CheckBitmapSize(const BmpLayout& layout, const std::string& what) {
    try {
        Bitmap::CheckSize(layout.width, layout.height);
    } catch (const SizeError& error) {
        throw SizeError("\"" + what + "\": " + error.what());
    }
}

[[noreturn]] void RefuseClaim(const std::string& what, int64_t bytes, const BmpLayout& layout) {
    throw SizeError("\"" + what + "\": " + std::to_string(bytes) + " bytes of BMP data cannot hold " +
                    std::to_string(layout.width) + " x " + std::to_string(layout.height) + " pixels of " +
                    std::to_string(layout.bitsPerPixel) + " bits");
}

Bitmap DecodeRows(BmpSource& source, const BmpLayout& layout, const std::string& what) {
    const int64_t available = source.Size() - layout.pixelOffset;
    const int64_t rowBits = int64_t{layout.width} * layout.bitsPerPixel;
    const int64_t stride = (rowBits + 31) / 32 * 4;
    // The last row may go without its padding.
    if (stride * (layout.height - 1) + (rowBits + 7) / 8 > available) RefuseClaim(what, available, layout);
    Bitmap bitmap(layout.width, layout.height);
    const RowConverter converter(layout);
    const int64_t rowsPerBlock = std::max<int64_t>(1, kReadBlockBytes / stride);
    std::vector<uint8_t> block(
        static_cast<std::size_t>(std::min<int64_t>(rowsPerBlock, layout.height) * stride));
    for (int64_t first = 0; first < layout.height; first += rowsPerBlock) {
        const int64_t rows = std::min<int64_t>(rowsPerBlock, layout.height - first);
        const int64_t offset = first * stride;
        const int64_t bytes = std::min(rows * stride, available - offset);
        source.Read(layout.pixelOffset + offset, block.data(), static_cast<std::size_t>(bytes));
        for (int64_t i = 0; i < rows; ++i) {
            const int64_t fileRow = first + i;
            const int y = static_cast<int>(layout.topDown ? fileRow : layout.height - 1 - fileRow);
            converter.Convert(block.data() + i * stride, bitmap.Row(y));
        }
    }
    return bitmap;
}

Bitmap DecodeRle(BmpSource& source, const BmpLayout& layout, const std::string& what) {
    const int64_t available = source.Size() - layout.pixelOffset;
    if (int64_t{layout.width} * layout.height > kRlePixelsPerByte * available + kRlePixelAllowance) {
        RefuseClaim(what, available, layout);
    }
    std::vector<uint8_t> data(static_cast<std::size_t>(available));
    source.Read(layout.pixelOffset, data.data(), data.size());
    Bitmap bitmap(layout.width, layout.height);
    bitmap.Fill(layout.palette[2], layout.palette[1], layout.palette[0]);
    DecodeBmpRle(layout, data.data(), data.size(), bitmap, what);
    return bitmap;
}

Bitmap DecodeFrom(BmpSource& source, const std::string& what) {
    const BmpLayout layout = ReadBmpLayout(source, what);
    CheckBitmapSize(layout, what);
    if (layout.coding == BmpCoding::Rle8 || layout.coding == BmpCoding::Rle4)
        return DecodeRle(source, layout, what);
    return DecodeRows(source, layout, what);
}

}  // namespace

Bitmap DecodeBmp(const uint8_t* data, std::size_t size, const std::string& what) {
    MemoryBmpSource source(data, size, what);
    return DecodeFrom(source, what);
}

Bitmap ReadBmpFile(const std::string& path) {
    FileBmpSource source(path);
    return DecodeFrom(source, path);
}

}  // namespace pixadra
