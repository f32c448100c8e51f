// JPEG decoding through libjpeg: greyscale, YCbCr, RGB, CMYK and YCCK, baseline, progressive and
// arithmetic coded, straight into the rows of a 24-bit Bitmap.
#include <algorithm>
#include <string>
#include <vector>

#include "imaging/JpegErrors.h"
#include "imaging/PictureLoader.h"
#include "support/Errors.h"

namespace pixadra {

namespace {

// Sequential Huffman data spends at least two bits on every 8 x 8 block of the full-resolution
// component (a DC code and an end-of-block code), so N bytes cannot describe more than 256 * N
// pixels. Progressive and arithmetic coded data have no such bound.
constexpr int64_t kHuffmanPixelsPerByte = 256;
// Real progressive files have about ten scans; thousands only burn time.
constexpr int kMaxScans = 1000;
// libjpeg's own buffers (progressive coefficients) stay within the size of our largest bitmap.
constexpr long kMaxLibraryMemory = 1L << 31;
constexpr JDIMENSION kRowsPerRead = 16;

void LimitScans(j_common_ptr cinfo) {
    if (cinfo->is_decompressor && reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kMaxScans) {
        AbortJpeg(cinfo, "too many scans");
    }
}

// The library handle; destroying a zeroed or half-built handle is safe.
struct DecompressHandle {
    jpeg_decompress_struct cinfo{};
    DecompressHandle() = default;
    DecompressHandle(const DecompressHandle&) = delete;
    DecompressHandle& operator=(const DecompressHandle&) = delete;
    ~DecompressHandle() { jpeg_destroy_decompress(&cinfo); }
};

class Decompressor {
  public:
    // Reads the header; throws DecodeError.
    Decompressor(const uint8_t* data, std::size_t size, const std::string& what) : what_(what) {
        handle_.cinfo.err = InitJpegErrorManager(errors_);
        errors_.endOfFileIsFatal = true;
        if (size == 0) Fail("the file is empty");
        jpeg_decompress_struct& cinfo = handle_.cinfo;
        Run([&] { jpeg_create_decompress(&cinfo); });
        cinfo.err = &errors_.pub;
        cinfo.mem->max_memory_to_use = kMaxLibraryMemory;
        progress_.progress_monitor = LimitScans;
        cinfo.progress = &progress_;
        Run([&] {
            jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
            jpeg_read_header(&cinfo, TRUE);
        });
    }

    jpeg_decompress_struct& Info() { return handle_.cinfo; }

    template <class Call>
    void Run(Call&& call) {
        if (!JpegGuard(errors_, call)) Fail(errors_.message);
    }

    [[noreturn]] void Fail(const std::string& reason) const {
        throw DecodeError("Cannot read the JPEG picture \"" + what_ + "\": " + reason);
    }

  private:
    std::string what_;
    JpegErrorManager errors_;
    jpeg_progress_mgr progress_{};
    DecompressHandle handle_;
};

void CheckPlausibleSize(const jpeg_decompress_struct& cinfo, std::size_t size, const std::string& what) {
    const int64_t width = cinfo.image_width;
    const int64_t height = cinfo.image_height;
    try {
        Bitmap::CheckSize(width, height);
    } catch (const SizeError& error) {
        throw SizeError("\"" + what + "\": " + error.what());
    }
    const int64_t bound = kHuffmanPixelsPerByte * static_cast<int64_t>(size);
    if (!cinfo.progressive_mode && !cinfo.arith_code && width * height > bound) {
        throw SizeError("\"" + what + "\": a JPEG file of " + std::to_string(size) + " bytes cannot hold " +
                        std::to_string(width) + " x " + std::to_string(height) + " pixels");
    }
}

// Inverted CMYK (as Adobe applications store it) turns into RGB by R = C * K / 255; plain CMYK
// by R = (255 - C) * (255 - K) / 255.
void CmykRowToBgr(const uint8_t* cmyk, uint8_t* bgr, int width, bool inverted) {
    const int flip = inverted ? 0 : 255;
    for (int x = 0; x < width; ++x, cmyk += 4, bgr += 3) {
        const int k = cmyk[3] ^ flip;
        bgr[0] = static_cast<uint8_t>(((cmyk[2] ^ flip) * k + 127) / 255);
        bgr[1] = static_cast<uint8_t>(((cmyk[1] ^ flip) * k + 127) / 255);
        bgr[2] = static_cast<uint8_t>(((cmyk[0] ^ flip) * k + 127) / 255);
    }
}

}  // namespace

Bitmap DecodeJpeg(const uint8_t* data, std::size_t size, const std::string& what) {
    Decompressor jpeg(data, size, what);
    jpeg_decompress_struct& cinfo = jpeg.Info();
    bool cmyk = false;
    switch (cinfo.jpeg_color_space) {
        case JCS_GRAYSCALE:
        case JCS_YCbCr:
        case JCS_RGB:
            cinfo.out_color_space = JCS_EXT_BGR;
            break;
        case JCS_CMYK:
        case JCS_YCCK:
            cinfo.out_color_space = JCS_CMYK;
            cmyk = true;
            break;
        default:
            jpeg.Fail("unsupported colour space with " + std::to_string(cinfo.num_components) +
                      " components");
    }
    CheckPlausibleSize(cinfo, size, what);
    jpeg.Run([&] { jpeg_start_decompress(&cinfo); });

    Bitmap bitmap(static_cast<int>(cinfo.output_width), static_cast<int>(cinfo.output_height));
    const int width = bitmap.Width();
    std::vector<uint8_t> cmykRows;
    if (cmyk) cmykRows.resize(static_cast<std::size_t>(width) * 4 * kRowsPerRead);
    JSAMPROW rows[kRowsPerRead];
    while (cinfo.output_scanline < cinfo.output_height) {
        const JDIMENSION first = cinfo.output_scanline;
        const JDIMENSION count = std::min(kRowsPerRead, cinfo.output_height - first);
        for (JDIMENSION i = 0; i < count; ++i) {
            rows[i] = cmyk ? cmykRows.data() + static_cast<std::size_t>(width) * 4 * i
                           : bitmap.Row(static_cast<int>(first + i));
        }
        JDIMENSION got = 0;
        jpeg.Run([&] { got = jpeg_read_scanlines(&cinfo, rows, count); });
        if (got == 0) jpeg.Fail("the picture data ends early");
        for (JDIMENSION i = 0; cmyk && i < got; ++i) {
            CmykRowToBgr(rows[i], bitmap.Row(static_cast<int>(first + i)), width, cinfo.saw_Adobe_marker);
        }
    }
    // The trailer after the last row is not read: the picture is complete.
    return bitmap;
}

void ReadJpegSize(const uint8_t* data, std::size_t size, int& width, int& height, const std::string& what) {
    Decompressor jpeg(data, size, what);
    width = static_cast<int>(jpeg.Info().image_width);
    height = static_cast<int>(jpeg.Info().image_height);
}

}  // namespace pixadra
