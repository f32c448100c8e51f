// The foundation's hot paths on a photograph-sized picture: JPEG decoding as the yardstick,
// shrinking to a database resolution, the analysis into cells, cutting a tile to its shape,
// and writing a large mosaic to disk.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/BigBmp.h"
#include "engine/TileGrid.h"
#include "imaging/JpegEncoder.h"
#include "imaging/PictureLoader.h"
#include "imaging/Resampling.h"
#include "support/FileSystem.h"

namespace pixadra {
namespace {

// Smooth colour gradients and soft waves with some noise, so that the JPEG has the size and
// the decoding work of a photograph rather than of a flat test pattern.
Bitmap NaturalPicture(int width, int height) {
    Bitmap bitmap(width, height);
    uint32_t noise = 12345;
    for (int y = 0; y < height; ++y) {
        uint8_t* p = bitmap.Row(y);
        for (int x = 0; x < width; ++x, p += 3) {
            noise = noise * 1664525u + 1013904223u;
            const int n = static_cast<int>(noise >> 28) - 8;
            const double wave = 40 * std::sin(x * 0.004 + std::cos(y * 0.003) * 3) * std::cos(y * 0.005);
            auto channel = [&](double v) {
                return static_cast<uint8_t>(std::clamp(v + wave + n, 0.0, 255.0));
            };
            p[0] = channel(60 + 120.0 * y / height);
            p[1] = channel(90 + 80.0 * x / width);
            p[2] = channel(200 - 150.0 * (x + y) / (width + height));
        }
    }
    return bitmap;
}

const std::vector<uint8_t>& PhotoJpeg() {
    static const std::vector<uint8_t> jpeg = EncodeJpeg(NaturalPicture(4000, 3000), 90);
    return jpeg;
}

const Bitmap& Photo() {
    static const Bitmap photo = DecodeJpeg(PhotoJpeg().data(), PhotoJpeg().size(), "photo.jpg");
    return photo;
}

void BM_DecodeJpeg4000x3000(benchmark::State& state) {
    const std::vector<uint8_t>& jpeg = PhotoJpeg();
    for (auto _ : state) {
        Bitmap bitmap = DecodeJpeg(jpeg.data(), jpeg.size(), "photo.jpg");
        benchmark::DoNotOptimize(bitmap.Data());
    }
    state.counters["jpeg_bytes"] = static_cast<double>(jpeg.size());
}
BENCHMARK(BM_DecodeJpeg4000x3000)->Unit(benchmark::kMillisecond);

void BM_ReduceToArea300x300(benchmark::State& state) {
    const Bitmap& photo = Photo();
    for (auto _ : state) {
        state.PauseTiming();
        Bitmap bitmap = photo;
        state.ResumeTiming();
        ReduceToArea(bitmap, 300 * 300, 150 * 150);
        benchmark::DoNotOptimize(bitmap.Data());
    }
}
BENCHMARK(BM_ReduceToArea300x300)->Unit(benchmark::kMillisecond);

void BM_AnalysePicture10000Tiles(benchmark::State& state) {
    const Bitmap& photo = Photo();
    for (auto _ : state) {
        AnalysePicture(photo, 10000, kShapeLandscape);
        benchmark::DoNotOptimize(TheCellGrid().data());
    }
}
BENCHMARK(BM_AnalysePicture10000Tiles)->Unit(benchmark::kMillisecond);

void BM_CropToShapeTile28x21(benchmark::State& state) {
    Bitmap tile;
    BoxResample(Photo(), tile, 346, 259);
    for (auto _ : state) {
        state.PauseTiming();
        Bitmap bitmap = tile;
        state.ResumeTiming();
        CropToShape(bitmap, kShapeLandscape, 28 * 21, 0, true);
        benchmark::DoNotOptimize(bitmap.Data());
    }
}
BENCHMARK(BM_CropToShapeTile28x21)->Unit(benchmark::kMicrosecond);

// A fresh folder under /tmp for one benchmark's file, removed afterwards.
class BenchFolder {
  public:
    BenchFolder() {
        char pattern[] = "/tmp/pixadra-bench-XXXXXX";
        const char* made = ::mkdtemp(pattern);
        path_ = made ? std::string(made) + "/" : std::string("/tmp/");
    }
    ~BenchFolder() { ::rmdir(path_.c_str()); }
    std::string File(const std::string& name) const { return path_ + name; }

  private:
    std::string path_;
};

constexpr int32_t kMosaicWidth = 8000;
constexpr int32_t kMosaicHeight = 6000;

void BM_BigBmpSave8000x6000(benchmark::State& state) {
    TBigBmp mosaic(kMosaicWidth, kMosaicHeight);
    for (int32_t y = 0; y < kMosaicHeight; ++y) {
        uint32_t* row = mosaic.RowPointer(y);
        for (int32_t x = 0; x < kMosaicWidth; ++x)
            row[x] = static_cast<uint32_t>(x * 2654435761u ^ y * 40503u);
    }
    const BenchFolder folder;
    const std::string path = folder.File("mosaic.bmp");
    const int64_t fileBytes = int64_t{TBigBmp::BytesPerLine(kMosaicWidth)} * kMosaicHeight + 54;
    for (auto _ : state) mosaic.SaveToFile(path);
    state.SetBytesProcessed(state.iterations() * fileBytes);
    RemoveFile(path);
}
BENCHMARK(BM_BigBmpSave8000x6000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// The yardstick for the save: the same bytes, rows and file handling without the conversion.
void BM_RawFileWrite8000x6000(benchmark::State& state) {
    const std::size_t rowBytes = static_cast<std::size_t>(TBigBmp::BytesPerLine(kMosaicWidth));
    std::vector<uint8_t> row(rowBytes, 0x5A);
    const BenchFolder folder;
    const std::string path = folder.File("raw.bin");
    for (auto _ : state) {
        AtomicFileWriter writer(path);
        writer.Write(row.data(), 54);
        for (int32_t y = 0; y < kMosaicHeight; ++y) writer.Write(row.data(), rowBytes);
        writer.Commit();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(rowBytes * kMosaicHeight + 54));
    RemoveFile(path);
}
BENCHMARK(BM_RawFileWrite8000x6000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

}  // namespace
}  // namespace pixadra
