#include "PictureFixtures.h"

#include <gif_lib.h>
#include <png.h>

#include <csetjmp>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace pixadra::testing {

namespace {

void AppendBytes(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void NoFlush(png_structp) {}

// libpng reports errors by jumping back to the setjmp below; nothing in between needs
// destroying.
bool WritePng(png_structp png, png_infop info, const PngRecipe& recipe, std::vector<uint8_t>* out,
              png_bytep* rowPointers, png_colorp palette, png_color_16* grey) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_write_fn(png, out, AppendBytes, NoFlush);
    png_set_IHDR(png, info, static_cast<png_uint_32>(recipe.width), static_cast<png_uint_32>(recipe.height),
                 recipe.bitDepth, recipe.colourType,
                 recipe.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (!recipe.palette.empty())
        png_set_PLTE(png, info, palette, static_cast<int>(recipe.palette.size() / 3));
    if (!recipe.paletteAlpha.empty()) {
        png_set_tRNS(png, info, recipe.paletteAlpha.data(), static_cast<int>(recipe.paletteAlpha.size()),
                     nullptr);
    }
    if (recipe.transparentGrey >= 0) png_set_tRNS(png, info, nullptr, 0, grey);
    png_write_info(png, info);
    png_write_image(png, rowPointers);
    png_write_end(png, nullptr);
    return true;
}

int AppendGifBytes(GifFileType* gif, const GifByteType* data, int length) {
    auto* out = static_cast<std::vector<uint8_t>*>(gif->UserData);
    out->insert(out->end(), data, data + length);
    return length;
}

ColorMapObject* MakeMap(const std::vector<uint8_t>& rgb) {
    std::vector<GifColorType> colours(rgb.size() / 3);
    for (std::size_t i = 0; i < colours.size(); ++i)
        colours[i] = {rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]};
    return GifMakeMapObject(static_cast<int>(colours.size()), colours.data());
}

}  // namespace

std::vector<uint8_t> EncodePng(const PngRecipe& recipe) {
    const std::size_t rowBytes = recipe.rows.size() / static_cast<std::size_t>(recipe.height);
    std::vector<png_bytep> rowPointers;
    std::vector<uint8_t> rows = recipe.rows;
    for (int y = 0; y < recipe.height; ++y) rowPointers.push_back(rows.data() + rowBytes * y);
    std::vector<png_color> palette;
    for (std::size_t i = 0; i + 2 < recipe.palette.size(); i += 3) {
        palette.push_back({recipe.palette[i], recipe.palette[i + 1], recipe.palette[i + 2]});
    }
    png_color_16 grey{};
    grey.gray = static_cast<png_uint_16>(recipe.transparentGrey < 0 ? 0 : recipe.transparentGrey);
    std::vector<uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    const bool ok = WritePng(png, info, recipe, &out, rowPointers.data(), palette.data(), &grey);
    png_destroy_write_struct(&png, &info);
    if (!ok) throw std::runtime_error("test PNG could not be written");
    return out;
}

std::vector<uint8_t> EncodePng(const Bitmap& bitmap) {
    PngRecipe recipe;
    recipe.width = bitmap.Width();
    recipe.height = bitmap.Height();
    recipe.colourType = PNG_COLOR_TYPE_RGB;
    for (int y = 0; y < bitmap.Height(); ++y) {
        const uint8_t* p = bitmap.Row(y);
        for (int x = 0; x < bitmap.Width(); ++x, p += 3)
            recipe.rows.insert(recipe.rows.end(), {p[2], p[1], p[0]});
    }
    return EncodePng(recipe);
}

std::vector<uint8_t> EncodeGif(const GifRecipe& recipe) {
    std::vector<uint8_t> out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, AppendGifBytes, &error);
    if (!gif) throw std::runtime_error("test GIF could not be opened");
    EGifSetGifVersion(gif, true);
    ColorMapObject* global = recipe.globalPalette.empty() ? nullptr : MakeMap(recipe.globalPalette);
    bool ok = EGifPutScreenDesc(gif, recipe.screenWidth, recipe.screenHeight, 8, 0, global) == GIF_OK;
    for (const GifImage& image : recipe.images) {
        if (ok && (image.delay >= 0 || image.transparent >= 0)) {
            GraphicsControlBlock control{};
            control.DelayTime = std::max(image.delay, 0);
            control.TransparentColor = image.transparent;
            GifByteType extension[4];
            EGifGCBToExtension(&control, extension);
            ok = EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, extension) == GIF_OK;
        }
        ColorMapObject* local = image.localPalette.empty() ? nullptr : MakeMap(image.localPalette);
        ok = ok && EGifPutImageDesc(gif, image.left, image.top, image.width, image.height, image.interlaced,
                                    local) == GIF_OK;
        GifFreeMapObject(local);
        // Interlaced rows go out in the order of the four passes.
        std::vector<int> order;
        if (image.interlaced) {
            const int starts[4] = {0, 4, 2, 1}, steps[4] = {8, 8, 4, 2};
            for (int pass = 0; pass < 4; ++pass) {
                for (int y = starts[pass]; y < image.height; y += steps[pass]) order.push_back(y);
            }
        } else {
            for (int y = 0; y < image.height; ++y) order.push_back(y);
        }
        for (int y : order) {
            std::vector<GifPixelType> line(
                image.indices.begin() + static_cast<std::ptrdiff_t>(y) * image.width,
                image.indices.begin() + static_cast<std::ptrdiff_t>(y + 1) * image.width);
            ok = ok && EGifPutLine(gif, line.data(), image.width) == GIF_OK;
        }
    }
    GifFreeMapObject(global);
    ok = EGifCloseFile(gif, &error) == GIF_OK && ok;
    if (!ok) throw std::runtime_error("test GIF could not be written");
    return out;
}

Bitmap Gradient(int width, int height) {
    Bitmap bitmap(width, height);
    for (int y = 0; y < height; ++y) {
        uint8_t* p = bitmap.Row(y);
        for (int x = 0; x < width; ++x, p += 3) {
            p[0] = static_cast<uint8_t>(40 + 160 * x / std::max(1, width - 1));
            p[1] = static_cast<uint8_t>(40 + 160 * y / std::max(1, height - 1));
            p[2] = static_cast<uint8_t>(200 - 80 * (x + y) / std::max(1, width + height - 2));
        }
    }
    return bitmap;
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace pixadra::testing
