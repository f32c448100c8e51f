// Tile databases at the sizes users reach: adding forty photographs measured against their
// bare decode, loading an index of 100,000 tiles, and synchronising 100,000 found paths
// against 100,000 stored names.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/AddPictures.h"
#include "engine/DatabaseFiles.h"
#include "engine/LoadedTiles.h"
#include "imaging/JpegEncoder.h"
#include "imaging/PictureLoader.h"
#include "support/FileSystem.h"

namespace pixadra {
namespace {

constexpr int kPictures = 40;
constexpr int kVariants = 4;  // distinct photographs; each is written ten times
constexpr int64_t kTarget = 300 * 300;
constexpr int64_t kMinimum = 150 * 150;
constexpr int kRecords = 100000;

class ScratchFolder {
  public:
    ScratchFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "pixadra-dbbench-XXXXXX").string();
        path_ = std::string(::mkdtemp(pattern.data())) + "/";
    }
    ~ScratchFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    const std::string& Path() const { return path_; }

  private:
    std::string path_;
};

ScratchFolder& Scratch() {
    static ScratchFolder folder;
    return folder;
}

// Gradients, waves and noise: the JPEG size and decoding work of a photograph.
Bitmap Photograph(int width, int height, int variant) {
    Bitmap bitmap(width, height);
    uint32_t noise = 777u + static_cast<uint32_t>(variant);
    std::vector<double> columnWave(static_cast<std::size_t>(width));
    for (int x = 0; x < width; ++x) columnWave[x] = std::sin(x * (0.003 + 0.001 * variant));
    for (int y = 0; y < height; ++y) {
        const double rowWave = std::cos(y * 0.004) * 40;
        uint8_t* p = bitmap.Row(y);
        for (int x = 0; x < width; ++x, p += 3) {
            noise = noise * 1664525u + 1013904223u;
            const double n = static_cast<double>(noise >> 28) - 8 + columnWave[x] * rowWave;
            auto channel = [&](double v) {
                return static_cast<uint8_t>(std::fmin(255.0, std::fmax(0.0, v + n)));
            };
            p[0] = channel(50 + 30 * variant + 120.0 * y / height);
            p[1] = channel(90 + 80.0 * x / width);
            p[2] = channel(210 - 40 * variant - 150.0 * (x + y) / (width + height));
        }
    }
    return bitmap;
}

const std::string& PictureFolder() {
    static const std::string folder = [] {
        const std::string path = Scratch().Path() + "pictures/";
        CreateFolders(path);
        for (int v = 0; v < kVariants; ++v) {
            const std::vector<uint8_t> jpeg = EncodeJpeg(Photograph(4000, 3000, v), 90);
            for (int copy = v; copy < kPictures; copy += kVariants) {
                char name[32];
                std::snprintf(name, sizeof name, "photo%02d.jpg", copy);
                WriteWholeFileAtomically(path + name, jpeg.data(), jpeg.size());
            }
        }
        return path;
    }();
    return folder;
}

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Processor time of this process: steadier than wall time on a busy machine.
double CpuSeconds() {
    timespec t{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + t.tv_nsec / 1e9;
}

// One run: the bare decode of the forty files, then adding them to a new database.
void BM_AddFortyPictures(benchmark::State& state) {
    const std::string& folder = PictureFolder();
    std::vector<std::string> files;
    SearchPictureFiles(folder, files, false);
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        double cpuStart = CpuSeconds();
        for (const std::string& file : files) {
            Bitmap bitmap;
            if (!LoadPicture(file, bitmap)) state.SkipWithError("a generated picture did not load");
            benchmark::DoNotOptimize(bitmap.Data());
        }
        const double decode = SecondsSince(start);
        const double decodeCpu = CpuSeconds() - cpuStart;

        const std::string db = Scratch().Path() + "Added";
        RemoveFile(db + ".idx");
        RemoveFile(db + ".dat");
        start = std::chrono::steady_clock::now();
        cpuStart = CpuSeconds();
        const int64_t stored =
            AddPicturesToDatabase(folder, false, false, db, false, nullptr, kTarget, kMinimum);
        const double add = SecondsSince(start);
        const double addCpu = CpuSeconds() - cpuStart;
        if (stored != kPictures) state.SkipWithError("not every picture was stored");

        state.SetIterationTime(add);
        state.counters["decode_s"] = decode;
        state.counters["add_s"] = add;
        state.counters["add_per_decode"] = add / decode;  // target: at most 1.6
        state.counters["add_per_decode_cpu"] = addCpu / decodeCpu;
    }
}
BENCHMARK(BM_AddFortyPictures)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

std::string IndexPath(const std::string& name, bool distinctNames) {
    const std::string db = Scratch().Path() + name;
    if (FileExists(db + ".idx")) return db;
    MemorySink bytes;
    bytes.bytes.reserve(kIndexHeaderSize + static_cast<std::size_t>(kRecords) * kIndexRecordSize);
    WriteIndexHeader(bytes);
    IndexRecord record;
    for (int i = 0; i < kRecords; ++i) {
        record.DataOffset = static_cast<int64_t>(i) * 20000;
        record.DataSize = 20000;
        for (int k = 0; k < 48; ++k) record.SquareSignature[k] = static_cast<uint8_t>(i + k);
        const int j = distinctNames ? i : i % (kRecords / 2);
        record.FileName =
            "/home/user/Pictures/Holidays " + std::to_string(j / 500) + "/IMG_" + std::to_string(j) + ".JPG";
        record.Source = "Holiday at sea, picture " + std::to_string(i);
        const std::vector<uint8_t> encoded = EncodeIndexRecord(record);
        bytes.Write(encoded.data(), encoded.size());
    }
    WriteWholeFileAtomically(db + ".idx", bytes.bytes.data(), bytes.bytes.size());
    WriteWholeFileAtomically(db + ".dat", "d", 1);
    return db;
}

void BM_LoadIndex100k(benchmark::State& state) {
    const std::string db = IndexPath("Loaded", true);
    for (auto _ : state) {
        LoadDataBase(true, db, false);
        benchmark::DoNotOptimize(LoadedTiles().data());
    }
    state.counters["tiles"] = static_cast<double>(LoadedTiles().size());  // target: under 300 ms
    LoadedTiles().clear();
}
BENCHMARK(BM_LoadIndex100k)->Iterations(5)->Unit(benchmark::kMillisecond);

// Every stored name is there twice; half the found paths match one of them (in another case),
// the other half are new.
void BM_Sync100kAgainst100k(benchmark::State& state) {
    const std::string db = IndexPath("Synced", false);
    std::vector<std::string> found;
    found.reserve(kRecords);
    for (int i = 0; i < kRecords; ++i) {
        const bool stored = i < kRecords / 2;
        found.push_back("/home/user/Pictures/" + std::string(stored ? "holidays " : "New ") +
                        std::to_string(i / 500) + "/img_" + std::to_string(i) + ".jpg");
    }
    std::size_t kept = 0;
    for (auto _ : state) {
        std::vector<std::string> list = found;
        SyncDataBase(db, list);
        kept = list.size();
    }
    state.counters["kept"] = static_cast<double>(kept);  // target: under 1 s
    LoadedTiles().clear();
}
BENCHMARK(BM_Sync100kAgainst100k)->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace pixadra
