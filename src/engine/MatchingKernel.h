#pragma once
// The fast path of matching. The tiles' colours are packed in blocks of 16 tiles for SIMD; per
// cell a single-precision pass over all tiles finds the few that can still win, and only those
// get the exact double sums, added in the same order as the plain loop, so every sum, tie and
// choice is the plain loop's. The tiles of one cell are spread over the cores.
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/LoadedTiles.h"
#include "engine/TileGrid.h"

namespace pixadra {

enum class MatchingKernel { Automatic, Portable, Avx2, Avx512 };

// True when this processor can run the kernel (Automatic and Portable always).
bool MatchingKernelSupported(MatchingKernel kernel);

class WorkerTeam;

class FastTileMatcher {
  public:
    // Packs the signatures for `shape` of `tiles` (empty entries are never chosen). The list
    // must not change while the matcher lives, apart from the use counts that Match raises.
    // `threads` 0 picks a count from the machine and the number of tiles.
    FastTileMatcher(LoadedTileList& tiles, int shape, int32_t useLimit, int threads = 0,
                    MatchingKernel kernel = MatchingKernel::Automatic);
    ~FastTileMatcher();
    FastTileMatcher(const FastTileMatcher&) = delete;
    FastTileMatcher& operator=(const FastTileMatcher&) = delete;

    // Same effect as FindBestTile(cell, useLimit, shape) on the same list.
    void Match(TTile& cell);

    struct Best {
        double sum = 10000.0;
        int32_t index = -1;
    };

  private:
    Best SearchBlocks(const float* cell, int32_t firstBlock, int32_t endBlock) const;

    LoadedTileList& tiles_;
    int32_t useLimit_;
    MatchingKernel kernel_;
    int32_t blocks_ = 0;
    std::vector<uint8_t> colors_;     // per block: 16 sub-cells x 3 channels x 16 tiles
    std::vector<uint16_t> eligible_;  // per block: tiles that exist and are under the use limit
    std::vector<int32_t> partStart_;  // first block of each part, plus the end
    std::unique_ptr<WorkerTeam> team_;
};

}  // namespace pixadra
