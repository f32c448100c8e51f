// The mosaic engine's heavy steps on generated data: matching (plain loop against the fast
// path), composition (cell by cell on one thread against each tile once on all cores) and a
// whole render job.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "engine/AddPictures.h"
#include "engine/Composition.h"
#include "engine/LoadedTiles.h"
#include "engine/RenderJob.h"
#include "engine/TileGrid.h"
#include "engine/TileMatching.h"
#include "imaging/JpegEncoder.h"
#include "imaging/Resampling.h"
#include "support/Dialogs.h"
#include "support/FileSystem.h"
#include "support/Language.h"

namespace pixadra {
namespace {

constexpr int kCellColumns = 100, kCellRows = 100;  // 10,000 cells
constexpr int kMatchTiles = 20000;
constexpr int kUseLimit = 5;
constexpr int kDatabaseTiles = 2500;
constexpr int kComposedTiles = 2000;  // each used 5 times by the 10,000 cells

// Signatures of photographs change smoothly across a cell: a base colour, a gradient and noise.
ColorSignature NaturalSignature(std::mt19937& rng) {
    ColorSignature signature{};
    int base[3], across[3], down[3];
    for (int ch = 0; ch < 3; ++ch) {
        base[ch] = static_cast<int>(rng() % 256);
        across[ch] = static_cast<int>(rng() % 61) - 30;
        down[ch] = static_cast<int>(rng() % 61) - 30;
    }
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            for (int ch = 0; ch < 3; ++ch) {
                const int v = base[ch] + across[ch] * (c - 1) / 2 + down[ch] * (r - 1) / 2 +
                              static_cast<int>(rng() % 21) - 10;
                signature[SignatureIndex(c, r, ch)] = std::clamp(v, 0, 255);
            }
    return signature;
}

// A photograph-like picture: gradients, a soft texture and pixel noise, so JPEG has work to do.
Bitmap NaturalPicture(int width, int height, uint32_t seed) {
    std::mt19937 rng(seed);
    Bitmap picture(width, height);
    int base[3], across[3], down[3];
    for (int ch = 0; ch < 3; ++ch) {
        base[ch] = static_cast<int>(rng() % 200) + 28;
        across[ch] = static_cast<int>(rng() % 121) - 60;
        down[ch] = static_cast<int>(rng() % 121) - 60;
    }
    for (int y = 0; y < height; ++y) {
        uint8_t* p = picture.Row(y);
        for (int x = 0; x < width; ++x, p += 3) {
            const int texture = ((x / 7 + y / 5) % 3) * 6;
            for (int ch = 0; ch < 3; ++ch) {
                const int v = base[ch] + across[ch] * x / width + down[ch] * y / height + texture +
                              static_cast<int>(rng() % 13) - 6;
                p[2 - ch] = static_cast<uint8_t>(std::clamp(v, 0, 255));
            }
        }
    }
    return picture;
}

void FillGrid(const std::vector<ColorSignature>& signatures) {
    CellGrid& grid = TheCellGrid();
    grid.assign(kCellColumns, std::vector<TTile>(kCellRows));
    for (int c = 0; c < kCellColumns; ++c)
        for (int r = 0; r < kCellRows; ++r)
            grid[c][r].Signature = signatures[static_cast<std::size_t>(c * kCellRows + r)];
}

struct MatchingData {
    std::vector<ColorSignature> cells;
    std::vector<ColorSignature> tiles;
    std::vector<int32_t> plainChoice;  // filled by the plain run, checked by the fast one
};

MatchingData& Matching() {
    static MatchingData data = [] {
        MatchingData d;
        std::mt19937 rng(1);
        for (int i = 0; i < kCellColumns * kCellRows; ++i) d.cells.push_back(NaturalSignature(rng));
        for (int i = 0; i < kMatchTiles; ++i) d.tiles.push_back(NaturalSignature(rng));
        return d;
    }();
    return data;
}

void PrepareMatching() {
    MatchingData& data = Matching();
    FillGrid(data.cells);
    LoadedTiles().clear();
    for (const ColorSignature& signature : data.tiles) {
        auto tile = std::make_unique<TDataBaseTile>();
        tile->Signatures[kShapeLandscape] = signature;
        LoadedTiles().push_back(std::move(tile));
    }
}

std::vector<int32_t> Choices() {
    std::vector<int32_t> choices;
    for (const auto& column : TheCellGrid())
        for (const TTile& cell : column) choices.push_back(cell.Found ? cell.TileIndex : -1);
    return choices;
}

void MatchingBenchmark(benchmark::State& state, bool plainLoop) {
    for (auto _ : state) {
        state.PauseTiming();
        PrepareMatching();
        MatchingOptions options;
        options.seed = 7;
        options.plainLoop = plainLoop;
        state.ResumeTiming();
        FindTiles(kUseLimit, kShapeLandscape, {}, options);
    }
    MatchingData& data = Matching();
    if (plainLoop) {
        data.plainChoice = Choices();
    } else if (!data.plainChoice.empty() && data.plainChoice != Choices()) {
        state.SkipWithError("the fast path chose other tiles than the plain loop");
    }
    state.counters["cells"] = kCellColumns * kCellRows;
    state.counters["tiles"] = kMatchTiles;
}

void BM_MatchPlainLoop(benchmark::State& state) {
    MatchingBenchmark(state, true);
}
void BM_MatchFastPath(benchmark::State& state) {
    MatchingBenchmark(state, false);
}
BENCHMARK(BM_MatchPlainLoop)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_MatchFastPath)->Iterations(1)->Unit(benchmark::kSecond);

// A database of 346 x 259 tiles (what resolution 300 stores for 4:3 pictures) and a 4000 x 3000
// input picture, made once in a temporary folder.
struct RenderData {
    std::string folder;
    std::string input;
    ~RenderData() {
        std::error_code ec;
        if (!folder.empty()) std::filesystem::remove_all(folder, ec);
    }
};

RenderData& Rendering() {
    static RenderData data = [] {
        RenderData d;
        std::string pattern = (std::filesystem::temp_directory_path() / "pixadra-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) std::abort();
        d.folder = pattern + "/";
        LoadLanguageFile();
        for (int i = 0; i < kDatabaseTiles; ++i) {
            Bitmap picture = NaturalPicture(346, 259, static_cast<uint32_t>(i + 1));
            AddPicture(picture, d.folder + "pictures/p" + std::to_string(i) + ".jpg", d.folder + "bench",
                       90000, false, nullptr, 0);
        }
        d.input = d.folder + "input.jpg";
        const std::vector<uint8_t> jpeg = EncodeJpeg(NaturalPicture(4000, 3000, 12345), 90);
        WriteWholeFileAtomically(d.input, jpeg.data(), jpeg.size());
        return d;
    }();
    return data;
}

// 10,000 cells, each of the first 2,000 tiles in 5 of them, in a shuffled order.
void PrepareComposition() {
    RenderData& data = Rendering();
    LoadDataBase(true, data.folder + "bench", false);
    std::vector<int> uses;
    for (int i = 0; i < kCellColumns * kCellRows; ++i) uses.push_back(i % kComposedTiles);
    std::shuffle(uses.begin(), uses.end(), std::mt19937(3));
    CellGrid& grid = TheCellGrid();
    grid.assign(kCellColumns, std::vector<TTile>(kCellRows));
    for (int c = 0; c < kCellColumns; ++c)
        for (int r = 0; r < kCellRows; ++r) {
            const TDataBaseTile& tile = *LoadedTiles()[static_cast<std::size_t>(uses[c * kCellRows + r])];
            TTile& cell = grid[c][r];
            cell.Found = true;
            cell.DataBaseName = tile.DataBaseName;
            cell.DataOffset = tile.DataOffset;
            cell.DataSize = tile.DataSize;
        }
}

void CompositionBenchmark(benchmark::State& state, bool everyCell) {
    RenderData& data = Rendering();
    PrepareComposition();
    CompositionOptions options;
    options.decodeEveryCell = everyCell;
    for (auto _ : state)
        CreatePicture(data.folder + "mosaic.bmp", 28 * 21, kShapeLandscape, data.folder, {}, options);
    state.counters["cells"] = kCellColumns * kCellRows;
}

void BM_ComposeCellByCellOneThread(benchmark::State& state) {
    CompositionBenchmark(state, true);
}
void BM_ComposeEachTileOnceAllCores(benchmark::State& state) {
    CompositionBenchmark(state, false);
}
BENCHMARK(BM_ComposeCellByCellOneThread)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ComposeEachTileOnceAllCores)->Iterations(3)->Unit(benchmark::kMillisecond);

class AnswerYes : public DialogPresenter {
  public:
    int Present(const DialogRequest&) override { return kResultYes; }
    void PresentPlain(const std::string&) override {}
};

void BM_RenderMosaic(benchmark::State& state) {
    RenderData& data = Rendering();
    AnswerYes yes;
    SetDialogPresenter(&yes);
    for (auto _ : state) {
        RenderRequest request;
        request.inputPath = data.input;
        request.inputWidth = 4000;
        request.inputHeight = 3000;
        request.outputPath = data.folder + "render.bmp";
        request.databaseFolder = data.folder;
        request.databaseNames = {"bench"};
        request.tileCount = 10000;
        request.tileWidth = 28;
        request.tileHeight = 21;
        request.useLimit = kUseLimit;
        request.shape = kShapeLandscape;
        request.sourcesTable = true;
        request.hasSeed = true;
        request.seed = 11;
        if (RenderMosaic(request, nullptr) != RenderOutcome::Previewed)
            state.SkipWithError("render not previewed");
    }
    SetDialogPresenter(nullptr);
    state.counters["cells"] = static_cast<double>(GridColumns(TheCellGrid()) * GridRows(TheCellGrid()));
    state.counters["tiles"] = static_cast<double>(LoadedTiles().size());
}
BENCHMARK(BM_RenderMosaic)->Iterations(2)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace pixadra
