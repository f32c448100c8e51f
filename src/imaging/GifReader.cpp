// GIF decoding through giflib. The result is the first frame on the logical screen: the first
// image, together with the images that follow it without a pause (a frame built from several
// images), transparent pixels and uncovered screen white.
#include <gif_lib.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "imaging/PictureLoader.h"
#include "support/Errors.h"

namespace pixadra {

namespace {

// One LZW code takes at least two bits and yields at most 4096 pixels.
constexpr int64_t kLzwPixelsPerByte = 16384;
constexpr int64_t kPixelAllowance = 65536;

struct MemorySource {
    const uint8_t* data;
    std::size_t size;
    std::size_t position;
};

int ReadFromMemory(GifFileType* gif, GifByteType* target, int length) {
    auto* source = static_cast<MemorySource*>(gif->UserData);
    const std::size_t count =
        std::min(static_cast<std::size_t>(std::max(length, 0)), source->size - source->position);
    if (count > 0) std::memcpy(target, source->data + source->position, count);
    source->position += count;
    return static_cast<int>(count);
}

std::string Reason(int code) {
    const char* text = GifErrorString(code);
    return text ? text : "giflib error " + std::to_string(code);
}

struct GifHandle {
    GifFileType* gif = nullptr;
    GifHandle() = default;
    GifHandle(const GifHandle&) = delete;
    GifHandle& operator=(const GifHandle&) = delete;
    ~GifHandle() {
        int error = 0;
        if (gif) DGifCloseFile(gif, &error);
    }
};

// What a graphic control extension says about the image after it.
struct Control {
    int transparent = -1;
    int delay = 0;
};

class GifDecoder {
  public:
    GifDecoder(const uint8_t* data, std::size_t size, const std::string& what)
        : source_{data, size, 0}, what_(what) {}

    Bitmap Decode() {
        int error = 0;
        handle_.gif = DGifOpen(&source_, ReadFromMemory, &error);
        if (!handle_.gif) Fail(Reason(error));
        GifFileType* gif = handle_.gif;
        if (gif->SWidth <= 0 || gif->SHeight <= 0) Fail("the screen has no area");

        Control control;
        bool frameEnded = false;
        bool painted = false;
        for (;;) {
            GifRecordType type = UNDEFINED_RECORD_TYPE;
            if (DGifGetRecordType(gif, &type) == GIF_ERROR) {
                if (painted) break;  // damage after a complete frame does not matter
                Fail(Reason(gif->Error));
            }
            if (type == TERMINATE_RECORD_TYPE) break;
            if (type == EXTENSION_RECORD_TYPE) {
                if (!ReadExtension(control)) {
                    if (painted) break;
                    Fail(Reason(gif->Error));
                }
            } else if (type == IMAGE_DESC_RECORD_TYPE) {
                if (DGifGetImageDesc(gif) == GIF_ERROR) {
                    if (painted) break;
                    Fail(Reason(gif->Error));
                }
                const GifImageDesc& image = gif->Image;
                const bool coversScreen = image.Left == 0 && image.Top == 0 && image.Width >= gif->SWidth &&
                                          image.Height >= gif->SHeight;
                // A pause ends the frame; so does an image that replaces the whole screen.
                if (painted && (frameEnded || coversScreen)) break;
                PaintImage(control);
                painted = true;
                frameEnded = control.delay > 0;
                control = Control{};
            }
        }
        if (!painted) Fail("the file holds no image");
        return std::move(canvas_);
    }

  private:
    [[noreturn]] void Fail(const std::string& reason) const {
        throw DecodeError("Cannot read the GIF picture \"" + what_ + "\": " + reason);
    }

    bool ReadExtension(Control& control) {
        int code = 0;
        GifByteType* block = nullptr;
        if (DGifGetExtension(handle_.gif, &code, &block) == GIF_ERROR) return false;
        if (code == GRAPHICS_EXT_FUNC_CODE && block && block[0] >= 4) {
            control.delay = block[2] | (block[3] << 8);
            control.transparent = (block[1] & 1) ? block[4] : -1;
        }
        while (block) {
            if (DGifGetExtensionNext(handle_.gif, &block) == GIF_ERROR) return false;
        }
        return true;
    }

    void CreateCanvas() {
        const int64_t width = handle_.gif->SWidth;
        const int64_t height = handle_.gif->SHeight;
        try {
            Bitmap::CheckSize(width, height);
        } catch (const SizeError& error) {
            throw SizeError("\"" + what_ + "\": " + error.what());
        }
        if (width * height > kLzwPixelsPerByte * static_cast<int64_t>(source_.size) + kPixelAllowance) {
            throw SizeError("\"" + what_ + "\": a GIF file of " + std::to_string(source_.size) +
                            " bytes cannot fill a screen of " + std::to_string(width) + " x " +
                            std::to_string(height) + " pixels");
        }
        canvas_.SetSize(static_cast<int>(width), static_cast<int>(height));
        canvas_.Fill(255, 255, 255);
    }

    void PaintImage(const Control& control) {
        GifFileType* gif = handle_.gif;
        const GifImageDesc& image = gif->Image;
        if (image.Width <= 0 || image.Height <= 0) Fail("an image has no area");
        const ColorMapObject* map = image.ColorMap ? image.ColorMap : gif->SColorMap;
        if (!map || !map->Colors) Fail("an image has no colour table");
        if (int64_t{image.Width} * image.Height >
            kLzwPixelsPerByte * static_cast<int64_t>(source_.size) + kPixelAllowance) {
            Fail("an image of " + std::to_string(image.Width) + " x " + std::to_string(image.Height) +
                 " pixels cannot fit in the file");
        }
        if (canvas_.Empty()) CreateCanvas();

        // Indices past the colour table show black.
        std::array<uint8_t, 256 * 3> palette{};
        const int colours = std::min(map->ColorCount, 256);
        for (int i = 0; i < colours; ++i) {
            palette[i * 3] = map->Colors[i].Blue;
            palette[i * 3 + 1] = map->Colors[i].Green;
            palette[i * 3 + 2] = map->Colors[i].Red;
        }
        const int left = image.Left;
        const int right =
            static_cast<int>(std::min<int64_t>(int64_t{image.Left} + image.Width, canvas_.Width()));
        std::vector<GifPixelType> line(static_cast<std::size_t>(image.Width));
        // Interlaced images send every 8th row from 0, every 8th from 4, every 4th from 2, then
        // every 2nd from 1.
        static constexpr int kStart[4] = {0, 4, 2, 1};
        static constexpr int kStep[4] = {8, 8, 4, 2};
        const int passes = image.Interlace ? 4 : 1;
        for (int pass = 0; pass < passes; ++pass) {
            const int start = image.Interlace ? kStart[pass] : 0;
            const int step = image.Interlace ? kStep[pass] : 1;
            for (int row = start; row < image.Height; row += step) {
                if (DGifGetLine(gif, line.data(), image.Width) == GIF_ERROR) Fail(Reason(gif->Error));
                const int64_t y = int64_t{image.Top} + row;
                if (y >= canvas_.Height() || left >= right) continue;
                uint8_t* target = canvas_.Row(static_cast<int>(y)) + std::size_t{3} * left;
                const GifPixelType* index = line.data();
                for (int x = left; x < right; ++x, ++index, target += 3) {
                    if (*index == control.transparent) continue;
                    const uint8_t* colour = &palette[std::size_t{3} * *index];
                    target[0] = colour[0];
                    target[1] = colour[1];
                    target[2] = colour[2];
                }
            }
        }
    }

    MemorySource source_;
    std::string what_;
    GifHandle handle_;
    Bitmap canvas_;
};

}  // namespace

Bitmap DecodeGif(const uint8_t* data, std::size_t size, const std::string& what) {
    return GifDecoder(data, size, what).Decode();
}

}  // namespace pixadra
