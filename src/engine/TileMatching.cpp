#include "engine/TileMatching.h"

#include <cmath>
#include <string>

#include "engine/LoadedTiles.h"
#include "engine/MatchingOrder.h"
#include "support/Errors.h"
#include "support/Language.h"
#include "support/Rounding.h"

namespace pixadra {
namespace {

void CheckShape(int shape) {
    if (shape < 0 || shape > 2)
        throw PixadraError("Tile shape " + std::to_string(shape) +
                           " is not 0 (square), 1 (portrait) or 2 (landscape)");
}

}  // namespace

double ColorDistance(uint32_t color1, uint32_t color2) {
    const int dr = static_cast<int>(color1 & 0xFF) - static_cast<int>(color2 & 0xFF);
    const int dg = static_cast<int>((color1 >> 8) & 0xFF) - static_cast<int>((color2 >> 8) & 0xFF);
    const int db = static_cast<int>((color1 >> 16) & 0xFF) - static_cast<int>((color2 >> 16) & 0xFF);
    return std::sqrt(static_cast<double>(dr * dr + dg * dg + db * db));
}

uint32_t SignatureColor(const ColorSignature& signature, int c, int r) {
    const uint32_t red = static_cast<uint32_t>(signature[SignatureIndex(c, r, 0)]) & 0xFF;
    const uint32_t green = static_cast<uint32_t>(signature[SignatureIndex(c, r, 1)]) & 0xFF;
    const uint32_t blue = static_cast<uint32_t>(signature[SignatureIndex(c, r, 2)]) & 0xFF;
    return red | (green << 8) | (blue << 16);
}

void FindBestTile(TTile& cell, int32_t useLimit, int shape) {
    CheckShape(shape);
    LoadedTileList& tiles = LoadedTiles();
    // A fresh choice: a cell matched before must not count a use of its old tile again.
    cell.Found = false;
    double best = 10000.0;
    for (std::size_t i = 0; i < tiles.size(); ++i) {
        const TDataBaseTile* tile = tiles[i].get();
        if (tile == nullptr) continue;
        const ColorSignature& signature = tile->Signatures[static_cast<std::size_t>(shape)];
        double sum = 0.0;
        for (int c = 0; c < 4; ++c)
            for (int r = 0; r < 4; ++r)
                sum += ColorDistance(SignatureColor(signature, c, r), SignatureColor(cell.Signature, c, r));
        if (sum < best && tile->UseCount < useLimit) {
            best = sum;
            cell.Found = true;
            cell.TileIndex = static_cast<int32_t>(i);
            cell.Source = tile->Source;
            cell.DataBaseName = tile->DataBaseName;
            cell.DataOffset = tile->DataOffset;
            cell.DataSize = tile->DataSize;
        }
    }
    if (cell.Found) ++tiles[static_cast<std::size_t>(cell.TileIndex)]->UseCount;
}

void FindTiles(int32_t useLimit, int shape, const Progress& progress, std::optional<uint64_t> seed) {
    MatchingOptions options;
    options.seed = seed;
    FindTiles(useLimit, shape, progress, options);
}

void FindTiles(int32_t useLimit, int shape, const Progress& progress, const MatchingOptions& options) {
    CheckShape(shape);
    CellGrid& grid = TheCellGrid();
    LoadedTileList& tiles = LoadedTiles();
    const int columns = GridColumns(grid);
    const int rows = GridRows(grid);
    const int64_t cells = static_cast<int64_t>(columns) * rows;
    if (cells > INT32_MAX)
        throw SizeError("A grid of " + std::to_string(cells) + " cells is too large to match");

    MatchRandom random(options.seed ? *options.seed : ClockSeed());
    const std::vector<int32_t> order = MatchingOrder(static_cast<int32_t>(cells), random);

    if (progress.label != nullptr) {
        const std::string highest = std::to_string(static_cast<int64_t>(tiles.size()) - 1);
        progress.label->SetText(FormatLanguageWord("GaugeMessages", "FindTiles", {highest}));
        progress.ProcessEvents();
    }

    std::optional<FastTileMatcher> matcher;
    if (!options.plainLoop && !order.empty())
        matcher.emplace(tiles, shape, useLimit, options.threads, options.kernel);
    const long double hundredth = static_cast<long double>(cells) / 100;
    for (std::size_t i = 0; i < order.size(); ++i) {
        // Cell numbers run column by column, as the working list was built.
        TTile& cell =
            grid[static_cast<std::size_t>(order[i] / rows)][static_cast<std::size_t>(order[i] % rows)];
        if (matcher) {
            matcher->Match(cell);
        } else {
            FindBestTile(cell, useLimit, shape);
        }
        progress.Update(static_cast<int>(Trunc(static_cast<long double>(i) / hundredth)) + 1);
    }
    progress.End();
}

}  // namespace pixadra
