// PNG decoding through libpng: every colour type and bit depth, interlaced or not. Pixels with
// alpha (or a tRNS entry) are composited over white; gamma chunks are ignored, so the stored
// values are what the picture shows.
#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <string>
#include <vector>

#include "imaging/PictureLoader.h"
#include "support/Errors.h"

namespace pixadra {

namespace {

// Deflate turns one byte into at most 1032, so N bytes of file cannot hold more than 1032 * N
// bytes of rows.
constexpr int64_t kInflateRatio = 1032;
constexpr std::size_t kRowsPerRead = 16;

struct PngState {
    std::jmp_buf jump;
    char message[200] = "";
    const uint8_t* data = nullptr;
    std::size_t size = 0;
    std::size_t position = 0;
};

PngState* StateOf(png_structp png) {
    return static_cast<PngState*>(png_get_error_ptr(png));
}

[[noreturn]] void OnError(png_structp png, png_const_charp message) {
    PngState* state = StateOf(png);
    std::strncpy(state->message, message ? message : "unknown error", sizeof state->message - 1);
    std::longjmp(state->jump, 1);
}

void OnWarning(png_structp, png_const_charp) {}

void ReadFromMemory(png_structp png, png_bytep target, png_size_t length) {
    PngState* state = StateOf(png);
    if (length > state->size - state->position) png_error(png, "the file ends early");
    std::memcpy(target, state->data + state->position, length);
    state->position += length;
}

// Runs libpng calls only; a libpng error jumps back here (see OnError).
template <class Call>
bool PngGuard(PngState& state, Call&& call) {
    if (setjmp(state.jump) != 0) return false;
    call();
    return true;
}

struct ReadHandle {
    png_structp png = nullptr;
    png_infop info = nullptr;
    ReadHandle() = default;
    ReadHandle(const ReadHandle&) = delete;
    ReadHandle& operator=(const ReadHandle&) = delete;
    ~ReadHandle() { png_destroy_read_struct(&png, info ? &info : nullptr, nullptr); }
};

uint8_t OverWhite(unsigned colour, unsigned alpha) {
    return static_cast<uint8_t>((colour * alpha + 255 * (255 - alpha) + 127) / 255);
}

void CompositeRowOverWhite(const uint8_t* bgra, uint8_t* bgr, int width) {
    for (int x = 0; x < width; ++x, bgra += 4, bgr += 3) {
        const unsigned alpha = bgra[3];
        bgr[0] = OverWhite(bgra[0], alpha);
        bgr[1] = OverWhite(bgra[1], alpha);
        bgr[2] = OverWhite(bgra[2], alpha);
    }
}

}  // namespace

Bitmap DecodePng(const uint8_t* data, std::size_t size, const std::string& what) {
    auto fail = [&what](const std::string& reason) {
        return DecodeError("Cannot read the PNG picture \"" + what + "\": " + reason);
    };
    PngState state;
    state.data = data;
    state.size = size;
    ReadHandle handle;
    handle.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &state, OnError, OnWarning);
    if (handle.png) handle.info = png_create_info_struct(handle.png);
    if (!handle.png || !handle.info) throw fail("out of memory");
    png_structp png = handle.png;
    png_infop info = handle.info;

    png_uint_32 width = 0, height = 0;
    int bitDepth = 0, colourType = 0;
    if (!PngGuard(state, [&] {
            png_set_read_fn(png, nullptr, ReadFromMemory);
            png_read_info(png, info);
            png_get_IHDR(png, info, &width, &height, &bitDepth, &colourType, nullptr, nullptr, nullptr);
        })) {
        throw fail(state.message);
    }
    try {
        Bitmap::CheckSize(width, height);
    } catch (const SizeError& error) {
        throw SizeError("\"" + what + "\": " + error.what());
    }
    const int64_t rowBits = int64_t{width} * png_get_channels(png, info) * bitDepth;
    if (rowBits / 8 * height > kInflateRatio * static_cast<int64_t>(size)) {
        throw SizeError("\"" + what + "\": a PNG file of " + std::to_string(size) + " bytes cannot hold " +
                        std::to_string(width) + " x " + std::to_string(height) + " pixels");
    }

    std::size_t rowBytes = 0;
    int channels = 0;
    int passes = 1;
    if (!PngGuard(state, [&] {
            png_set_expand(png);  // palette to RGB, grey below 8 bits to 8, tRNS to alpha
            png_set_scale_16(png);
            png_set_gray_to_rgb(png);
            png_set_bgr(png);
            passes = png_set_interlace_handling(png);
            png_read_update_info(png, info);
            rowBytes = png_get_rowbytes(png, info);
            channels = png_get_channels(png, info);
        })) {
        throw fail(state.message);
    }
    if ((channels != 3 && channels != 4) || rowBytes != std::size_t{width} * channels) {
        throw fail("unexpected row layout");
    }

    Bitmap bitmap(static_cast<int>(width), static_cast<int>(height));
    const int w = bitmap.Width();
    const int h = bitmap.Height();
    // Rows without alpha go straight into the bitmap. Rows with alpha wait in BGRA: a block at a
    // time, or the whole picture when interlaced, since later passes fill in earlier rows.
    const bool alpha = channels == 4;
    const bool whole = alpha && passes > 1;
    std::vector<uint8_t> bgra;
    if (alpha) bgra.resize(rowBytes * (whole ? static_cast<std::size_t>(h) : kRowsPerRead));
    png_bytep rows[kRowsPerRead];
    bool ok = true;
    for (int pass = 0; ok && pass < passes; ++pass) {
        for (int first = 0; ok && first < h; first += static_cast<int>(kRowsPerRead)) {
            const int count = std::min(static_cast<int>(kRowsPerRead), h - first);
            for (int i = 0; i < count; ++i) {
                rows[i] = !alpha ? bitmap.Row(first + i)
                                 : bgra.data() + rowBytes * static_cast<std::size_t>(whole ? first + i : i);
            }
            ok = PngGuard(state, [&] { png_read_rows(png, rows, nullptr, static_cast<png_uint_32>(count)); });
            for (int i = 0; ok && alpha && !whole && i < count; ++i) {
                CompositeRowOverWhite(rows[i], bitmap.Row(first + i), w);
            }
        }
    }
    for (int y = 0; ok && whole && y < h; ++y) {
        CompositeRowOverWhite(bgra.data() + rowBytes * static_cast<std::size_t>(y), bitmap.Row(y), w);
    }
    if (!ok) throw fail(state.message);
    // The chunks after the picture data are not read: the picture is complete.
    return bitmap;
}

}  // namespace pixadra
