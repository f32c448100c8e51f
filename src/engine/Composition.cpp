#include "engine/Composition.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <exception>
#include <map>
#include <memory>
#include <tuple>
#include <vector>

#include "engine/BigBmp.h"
#include "engine/DatabaseFiles.h"
#include "engine/TileGrid.h"
#include "engine/WorkerTeam.h"
#include "imaging/PictureLoader.h"
#include "imaging/Resampling.h"
#include "support/Errors.h"
#include "support/Language.h"
#include "support/Rounding.h"

namespace pixadra {
namespace {

struct CellAt {
    int32_t column;
    int32_t row;
};

// The tile of one cell, read from its database, decoded, cut to the shape and scaled.
Bitmap ScaledTile(const std::string& databaseFolder, const TTile& cell, int shape, int64_t targetArea,
                  TilePixels size) {
    const std::string database = databaseFolder + cell.DataBaseName;
    const std::vector<uint8_t> jpeg = ReadTileJpeg(database, cell.DataOffset, cell.DataSize);
    Bitmap tile =
        DecodeJpeg(jpeg.data(), jpeg.size(), database + ".dat, offset " + std::to_string(cell.DataOffset));
    CropToShape(tile, shape, targetArea, 0, true);
    if (tile.Width() != size.width || tile.Height() != size.height) {
        throw PixadraError("The tile at offset " + std::to_string(cell.DataOffset) + " of database \"" +
                           database + "\" came out at " + std::to_string(tile.Width()) + " x " +
                           std::to_string(tile.Height()) + " pixels instead of " +
                           std::to_string(size.width) + " x " + std::to_string(size.height));
    }
    return tile;
}

// What SetPixel would store for every pixel of the tile, a whole row at a time. A block that
// does not lie inside the mosaic goes pixel by pixel, so SetPixel raises its own error.
void PaintTile(TBigBmp& mosaic, const Bitmap& tile, int64_t x0, int64_t y0) {
    const int64_t lastIndex = (y0 + tile.Height() - 1) * mosaic.Width + x0 + tile.Width() - 1;
    const bool inside =
        x0 >= 0 && y0 >= 0 && x0 + tile.Width() <= mosaic.Width && lastIndex < mosaic.PixelCount;
    for (int y = 0; y < tile.Height(); ++y) {
        const uint8_t* source = tile.Row(y);
        if (!inside) {
            for (int x = 0; x < tile.Width(); ++x, source += 3) {
                const uint32_t color = source[2] | (uint32_t{source[1]} << 8) | (uint32_t{source[0]} << 16);
                mosaic.SetPixel(static_cast<int32_t>(x0 + x), static_cast<int32_t>(y0 + y), color);
            }
            continue;
        }
        uint32_t* target = mosaic.Bits + (y0 + y) * mosaic.Width + x0;
        for (int x = 0; x < tile.Width(); ++x, source += 3)
            target[x] = source[2] | (uint32_t{source[1]} << 8) | (uint32_t{source[0]} << 16);
    }
}

int Percent(int64_t done, int64_t cells) {
    return static_cast<int>(Trunc(static_cast<long double>(done) / (static_cast<long double>(cells) / 100)));
}

void ComposeEveryCell(const CellGrid& grid, TBigBmp& mosaic, int shape, int64_t targetArea,
                      const std::string& databaseFolder, TilePixels size, const Progress& progress) {
    const int columns = GridColumns(grid), rows = GridRows(grid);
    for (int c = 0; c < columns; ++c) {
        for (int r = 0; r < rows; ++r) {
            const TTile& cell = grid[c][r];
            if (!cell.Found) continue;
            const Bitmap tile = ScaledTile(databaseFolder, cell, shape, targetArea, size);
            const int64_t x0 = int64_t{c} * size.width, y0 = int64_t{r} * size.height;
            for (int y = 0; y < tile.Height(); ++y) {
                const uint8_t* source = tile.Row(y);
                for (int x = 0; x < tile.Width(); ++x, source += 3) {
                    const uint32_t color = source[2] + 256u * source[1] + 65536u * source[0];
                    mosaic.SetPixel(static_cast<int32_t>(x0 + x), static_cast<int32_t>(y0 + y), color);
                }
            }
            progress.Update(Percent(int64_t{c} * rows + r + 1, int64_t{columns} * rows));
        }
    }
}

// Each distinct tile (database, offset, size) is decoded once and painted into all of its
// cells; the cells' blocks do not overlap, so the order of painting does not matter. Tiles are
// taken in the order of their first cell, and the error of the earliest failing one is the one
// reported, as in the cell-by-cell composition.
class TilePainter {
  public:
    TilePainter(const CellGrid& grid, TBigBmp& mosaic, int shape, int64_t targetArea,
                const std::string& folder, TilePixels size)
        : grid_(grid), mosaic_(mosaic), shape_(shape), targetArea_(targetArea), folder_(folder), size_(size) {
        const int columns = GridColumns(grid), rows = GridRows(grid);
        std::map<std::tuple<std::string, int32_t, int32_t>, int32_t> keys;
        for (int c = 0; c < columns; ++c) {
            for (int r = 0; r < rows; ++r) {
                const TTile& cell = grid[c][r];
                if (!cell.Found) continue;
                auto [it, added] = keys.try_emplace({cell.DataBaseName, cell.DataOffset, cell.DataSize},
                                                    static_cast<int32_t>(tileCells_.size()));
                if (added) tileCells_.emplace_back();
                tileCells_[static_cast<std::size_t>(it->second)].push_back(
                    static_cast<int32_t>(cells_.size()));
                cells_.push_back({c, r});
            }
        }
        cellDone_ = std::make_unique<std::atomic<bool>[]>(cells_.size());
        errors_.resize(tileCells_.size());
    }

    void Run(int threads, const Progress& progress) {
        const int columns = GridColumns(grid_), rows = GridRows(grid_);
        WorkerTeam team(static_cast<int>(std::min<std::size_t>(static_cast<std::size_t>(threads),
                                                               std::max<std::size_t>(tileCells_.size(), 1))));
        std::size_t reported = 0;
        auto report = [&] {
            for (; reported < cells_.size() && cellDone_[reported].load(std::memory_order_acquire);
                 ++reported) {
                const CellAt at = cells_[reported];
                progress.Update(Percent(int64_t{at.column} * rows + at.row + 1, int64_t{columns} * rows));
            }
        };
        team.Run([&](int part) {
            for (;;) {
                const int32_t task = nextTask_.fetch_add(1);
                if (task >= static_cast<int32_t>(tileCells_.size()) || task > firstFailure_.load()) return;
                Paint(task);
                if (part == 0 && firstFailure_.load() == kNoFailure) report();
            }
        });
        if (firstFailure_.load() != kNoFailure) std::rethrow_exception(errors_[firstFailure_.load()]);
        report();
    }

  private:
    static constexpr int32_t kNoFailure = INT32_MAX;

    void Paint(int32_t task) {
        const std::vector<int32_t>& cells = tileCells_[static_cast<std::size_t>(task)];
        try {
            const CellAt first = cells_[static_cast<std::size_t>(cells.front())];
            const Bitmap tile =
                ScaledTile(folder_, grid_[first.column][first.row], shape_, targetArea_, size_);
            for (int32_t index : cells) {
                const CellAt at = cells_[static_cast<std::size_t>(index)];
                PaintTile(mosaic_, tile, int64_t{at.column} * size_.width, int64_t{at.row} * size_.height);
                cellDone_[static_cast<std::size_t>(index)].store(true, std::memory_order_release);
            }
        } catch (...) {
            errors_[static_cast<std::size_t>(task)] = std::current_exception();
            int32_t seen = firstFailure_.load();
            while (task < seen && !firstFailure_.compare_exchange_weak(seen, task)) {
            }
        }
    }

    const CellGrid& grid_;
    TBigBmp& mosaic_;
    int shape_;
    int64_t targetArea_;
    const std::string& folder_;
    TilePixels size_;
    std::vector<CellAt> cells_;                      // cells with a tile, column by column
    std::vector<std::vector<int32_t>> tileCells_;    // per distinct tile: its cells
    std::unique_ptr<std::atomic<bool>[]> cellDone_;  // per cell with a tile
    std::vector<std::exception_ptr> errors_;         // per distinct tile
    std::atomic<int32_t> nextTask_{0};
    std::atomic<int32_t> firstFailure_{kNoFailure};
};

}  // namespace

TilePixels MosaicTileSize(int64_t targetArea, int shape) {
    const long double area = static_cast<long double>(targetArea);
    switch (shape) {
        case 0: {
            const int64_t t = Trunc(std::sqrt(area));
            return {static_cast<int32_t>(t), static_cast<int32_t>(t)};
        }
        case 1: {
            const int64_t t = Trunc(std::sqrt(area * 4 / 3));
            const int64_t th = 4 * Trunc(static_cast<long double>(t) / 4);
            return {static_cast<int32_t>(Trunc(th * 0.75L)), static_cast<int32_t>(th)};
        }
        case 2: {
            const int64_t t = Trunc(std::sqrt(area * 4 / 3));
            const int64_t tw = 4 * Trunc(static_cast<long double>(t) / 4);
            return {static_cast<int32_t>(tw), static_cast<int32_t>(Trunc(tw * 0.75L))};
        }
        default:
            throw PixadraError("Tile shape " + std::to_string(shape) +
                               " is not 0 (square), 1 (portrait) or 2 (landscape)");
    }
}

void CreatePicture(const std::string& outputFile, int64_t targetArea, int shape,
                   const std::string& databaseFolder, const Progress& progress,
                   const CompositionOptions& options) {
    const CellGrid& grid = TheCellGrid();
    const int columns = GridColumns(grid), rows = GridRows(grid);
    if (targetArea < 0 || targetArea > INT32_MAX)
        throw SizeError("A tile area of " + std::to_string(targetArea) + " pixels is not possible");
    const TilePixels size = MosaicTileSize(targetArea, shape);
    if (columns > 0 && rows > 0 && (size.width <= 0 || size.height <= 0)) {
        throw SizeError("A tile area of " + std::to_string(targetArea) +
                        " pixels gives no whole tile of shape " + std::to_string(shape));
    }
    const int64_t width = int64_t{columns} * size.width, height = int64_t{rows} * size.height;
    TBigBmp::CheckSize(width, height);
    TBigBmp mosaic(static_cast<int32_t>(width), static_cast<int32_t>(height));

    if (progress.Both()) progress.Begin(GetLanguageWord("GaugeMessages", "CreatePicture"));
    if (options.decodeEveryCell) {
        ComposeEveryCell(grid, mosaic, shape, targetArea, databaseFolder, size, progress);
    } else {
        TilePainter painter(grid, mosaic, shape, targetArea, databaseFolder, size);
        painter.Run(options.threads > 0 ? options.threads : WorkerTeam::DefaultParts(), progress);
    }
    mosaic.SaveToFile(outputFile);
    progress.End();
}

}  // namespace pixadra
