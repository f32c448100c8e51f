// Run-length coded BMP pixels (RLE8 and RLE4). Rows count from the bottom. A pair (n, i) repeats
// index i n times (RLE4: its two nibbles in turn); (0, 0) ends the row, (0, 1) ends the picture,
// (0, 2, dx, dy) moves right and up, (0, n) is followed by n literal indices padded to 16 bits.
// Whatever lands outside the picture is dropped; pixels never reached keep the fill.
#include <algorithm>

#include "imaging/BmpFormat.h"

namespace pixadra {

namespace {

class RleWriter {
  public:
    RleWriter(const BmpLayout& layout, Bitmap& bitmap) : layout_(layout), bitmap_(bitmap) {}

    bool PastTop() const { return y_ >= layout_.height; }
    bool RowsFilled() const { return PastTop() || (y_ == layout_.height - 1 && x_ >= layout_.width); }
    void EndOfLine() {
        x_ = 0;
        ++y_;
    }
    void Move(int dx, int dy) {
        x_ += dx;
        y_ += dy;
    }

    // `count` pixels whose indices come from `indexAt(i)`.
    template <class IndexAt>
    void Put(int64_t count, IndexAt indexAt) {
        const int64_t visible = PastTop() ? 0 : std::clamp<int64_t>(layout_.width - x_, 0, count);
        if (visible > 0) {
            uint8_t* target = bitmap_.Row(layout_.height - 1 - static_cast<int>(y_)) + x_ * 3;
            for (int64_t i = 0; i < visible; ++i, target += 3) {
                const uint8_t* colour = &layout_.palette[std::size_t{3} * indexAt(i)];
                target[0] = colour[0];
                target[1] = colour[1];
                target[2] = colour[2];
            }
        }
        x_ += count;
    }

  private:
    const BmpLayout& layout_;
    Bitmap& bitmap_;
    int64_t x_ = 0;
    int64_t y_ = 0;
};

}  // namespace

void DecodeBmpRle(const BmpLayout& layout, const uint8_t* data, std::size_t size, Bitmap& bitmap,
                  const std::string& what) {
    const bool four = layout.coding == BmpCoding::Rle4;
    RleWriter writer(layout, bitmap);
    std::size_t pos = 0;
    while (!writer.PastTop()) {
        if (size - pos < 2) {
            if (writer.RowsFilled()) return;
            FailBmp(what, "the run-length data ends early");
        }
        const int count = data[pos];
        const int value = data[pos + 1];
        pos += 2;
        if (count > 0) {
            if (four) {
                writer.Put(count, [value](int64_t i) { return (i & 1) ? value & 15 : value >> 4; });
            } else {
                writer.Put(count, [value](int64_t) { return value; });
            }
        } else if (value == 0) {
            writer.EndOfLine();
        } else if (value == 1) {
            return;
        } else if (value == 2) {
            if (size - pos < 2) FailBmp(what, "the run-length data ends early");
            writer.Move(data[pos], data[pos + 1]);
            pos += 2;
        } else {
            const std::size_t bytes =
                four ? (static_cast<std::size_t>(value) + 1) / 2 : static_cast<std::size_t>(value);
            if (size - pos < bytes) FailBmp(what, "the run-length data ends early");
            const uint8_t* literal = data + pos;
            if (four) {
                writer.Put(value, [literal](int64_t i) {
                    return (i & 1) ? literal[i / 2] & 15 : literal[i / 2] >> 4;
                });
            } else {
                writer.Put(value, [literal](int64_t i) { return literal[i]; });
            }
            pos += std::min((bytes + 1) & ~std::size_t{1}, size - pos);
        }
    }
}

}  // namespace pixadra
