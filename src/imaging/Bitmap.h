#pragma once
// A picture in memory: 24-bit pixels, three bytes per pixel in the order blue, green, red,
// rows packed without padding, row 0 at the top.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace pixadra {

// The largest pixel block a Bitmap accepts (2 GiB of 24-bit pixels).
constexpr int64_t kMaxBitmapBytes = int64_t{1} << 31;

class Bitmap {
public:
    Bitmap() = default;
    // Throws SizeError for negative sizes or more than kMaxBitmapBytes; pixels start black.
    Bitmap(int width, int height);

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Empty() const { return width_ <= 0 || height_ <= 0; }
    std::size_t Stride() const { return static_cast<std::size_t>(width_) * 3; }

    uint8_t* Row(int y) { return pixels_.data() + static_cast<std::size_t>(y) * Stride(); }
    const uint8_t* Row(int y) const { return pixels_.data() + static_cast<std::size_t>(y) * Stride(); }
    uint8_t* Data() { return pixels_.data(); }
    const uint8_t* Data() const { return pixels_.data(); }
    std::size_t ByteCount() const { return pixels_.size(); }

    // New size; the content is undefined afterwards (black when freshly grown).
    void SetSize(int width, int height);
    // Every pixel set to one colour.
    void Fill(uint8_t red, uint8_t green, uint8_t blue);

    bool operator==(const Bitmap& other) const = default;

    // Checks a size before anything is allocated: throws SizeError naming the size.
    static void CheckSize(int64_t width, int64_t height);

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<uint8_t> pixels_;
};

}  // namespace pixadra
