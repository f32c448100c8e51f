#pragma once
// Matching: every cell of the grid gets the loaded tile whose colour signature is closest to
// its own, under a limit on how often one tile may be used, visiting the cells in random order.
#include <cstdint>
#include <optional>

#include "engine/MatchingKernel.h"
#include "engine/TileGrid.h"
#include "support/Progress.h"

namespace pixadra {

// Distance of two 0x00BBGGRR colours: the square root of the exact integer sum of the squared
// channel differences.
double ColorDistance(uint32_t color1, uint32_t color2);

// Colour of sub-cell (column c, row r) of a signature as 0x00BBGGRR, from the low bytes.
uint32_t SignatureColor(const ColorSignature& signature, int c, int r);

// The plain loop over LoadedTiles(): the tile with the smallest sum of the 16 sub-cell
// distances among those whose UseCount is below useLimit (ties: the lowest index), copied into
// the cell, whose Found says whether one was left; the chosen tile's UseCount is raised.
// Empty entries are skipped. Throws PixadraError for a shape other than 0, 1 or 2.
void FindBestTile(TTile& cell, int32_t useLimit, int shape);

struct MatchingOptions {
    std::optional<uint64_t> seed;  // without one the order is seeded from the clock
    bool plainLoop = false;        // FindBestTile for every cell instead of the fast path
    int threads = 0;               // 0: chosen from the machine and the number of tiles
    MatchingKernel kernel = MatchingKernel::Automatic;
};

// Matches every cell of TheCellGrid() against LoadedTiles() in the order of MatchingOrder.
// The label (given alone or with the bar) shows "FindTiles" with the highest tile index; the
// bar runs 1..100 over the cells. Throws PixadraError for a shape other than 0, 1 or 2.
void FindTiles(int32_t useLimit, int shape, const Progress& progress = {},
               std::optional<uint64_t> seed = std::nullopt);
void FindTiles(int32_t useLimit, int shape, const Progress& progress, const MatchingOptions& options);

}  // namespace pixadra
