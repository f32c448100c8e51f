#include "imaging/JpegEncoder.h"

#include <algorithm>
#include <new>
#include <string>

#include "imaging/JpegErrors.h"
#include "support/Errors.h"

namespace pixadra {

namespace {

constexpr std::size_t kFirstBufferSize = 64 * 1024;

// A destination that grows a vector. Growing happens inside libjpeg, so a failed allocation is
// turned into a libjpeg error instead of an exception through C frames.
struct VectorDestination {
    jpeg_destination_mgr pub{};
    std::vector<uint8_t>* bytes = nullptr;
};

VectorDestination* DestinationOf(j_compress_ptr cinfo) {
    return reinterpret_cast<VectorDestination*>(cinfo->dest);
}

bool Grow(std::vector<uint8_t>& bytes, std::size_t size) noexcept {
    try {
        bytes.resize(size);
        return true;
    } catch (...) {
        return false;
    }
}

void InitDestination(j_compress_ptr cinfo) {
    VectorDestination* destination = DestinationOf(cinfo);
    if (!Grow(*destination->bytes, kFirstBufferSize))
        AbortJpeg(reinterpret_cast<j_common_ptr>(cinfo), "out of memory");
    destination->pub.next_output_byte = destination->bytes->data();
    destination->pub.free_in_buffer = destination->bytes->size();
}

boolean EmptyOutputBuffer(j_compress_ptr cinfo) {
    VectorDestination* destination = DestinationOf(cinfo);
    std::vector<uint8_t>& bytes = *destination->bytes;
    // libjpeg calls this only when the whole buffer is full.
    const std::size_t used = bytes.size();
    if (!Grow(bytes, used * 2)) AbortJpeg(reinterpret_cast<j_common_ptr>(cinfo), "out of memory");
    destination->pub.next_output_byte = bytes.data() + used;
    destination->pub.free_in_buffer = bytes.size() - used;
    return TRUE;
}

void TermDestination(j_compress_ptr cinfo) {
    VectorDestination* destination = DestinationOf(cinfo);
    destination->bytes->resize(destination->bytes->size() - destination->pub.free_in_buffer);
}

struct CompressHandle {
    jpeg_compress_struct cinfo{};
    CompressHandle() = default;
    CompressHandle(const CompressHandle&) = delete;
    CompressHandle& operator=(const CompressHandle&) = delete;
    ~CompressHandle() { jpeg_destroy_compress(&cinfo); }
};

}  // namespace

std::vector<uint8_t> EncodeJpeg(const Bitmap& bitmap, int quality) {
    if (bitmap.Empty()) throw SizeError("Cannot encode an empty picture as JPEG");
    if (bitmap.Width() > JPEG_MAX_DIMENSION || bitmap.Height() > JPEG_MAX_DIMENSION) {
        throw SizeError("A picture of " + std::to_string(bitmap.Width()) + " x " +
                        std::to_string(bitmap.Height()) + " pixels is too large for a JPEG file");
    }
    std::vector<uint8_t> bytes;
    JpegErrorManager errors;
    VectorDestination destination;
    destination.bytes = &bytes;
    destination.pub.init_destination = InitDestination;
    destination.pub.empty_output_buffer = EmptyOutputBuffer;
    destination.pub.term_destination = TermDestination;
    CompressHandle handle;
    jpeg_compress_struct& cinfo = handle.cinfo;
    cinfo.err = InitJpegErrorManager(errors);
    const int clampedQuality = std::clamp(quality, 1, 100);

    bool ok = JpegGuard(errors, [&] {
        jpeg_create_compress(&cinfo);
        cinfo.dest = &destination.pub;
        cinfo.image_width = static_cast<JDIMENSION>(bitmap.Width());
        cinfo.image_height = static_cast<JDIMENSION>(bitmap.Height());
        cinfo.input_components = 3;
        cinfo.in_color_space = JCS_EXT_BGR;
        jpeg_set_defaults(&cinfo);
        jpeg_set_quality(&cinfo, clampedQuality, TRUE);
        jpeg_start_compress(&cinfo, TRUE);
    });
    constexpr int kRowsPerWrite = 16;
    JSAMPROW rows[kRowsPerWrite];
    while (ok && cinfo.next_scanline < cinfo.image_height) {
        const int first = static_cast<int>(cinfo.next_scanline);
        const int count = std::min(kRowsPerWrite, bitmap.Height() - first);
        // libjpeg only reads the rows; its interface lacks the const.
        for (int i = 0; i < count; ++i) rows[i] = const_cast<uint8_t*>(bitmap.Row(first + i));
        ok = JpegGuard(errors, [&] { jpeg_write_scanlines(&cinfo, rows, static_cast<JDIMENSION>(count)); });
    }
    if (ok) ok = JpegGuard(errors, [&] { jpeg_finish_compress(&cinfo); });
    if (!ok) throw DecodeError(std::string("Cannot encode a picture as JPEG: ") + errors.message);
    return bytes;
}

}  // namespace pixadra
