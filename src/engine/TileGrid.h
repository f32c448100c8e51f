#pragma once
// The mosaic's grid of cells: how a picture is cut into columns and rows, and each cell's
// colour signature.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/ColorSignature.h"
#include "imaging/Bitmap.h"
#include "support/Progress.h"

namespace pixadra {

// One cell of the mosaic. The fields after Found are copies of the chosen tile's.
struct TTile {
    ColorSignature Signature{};
    bool Found = false;
    std::string Source;
    int32_t TileIndex = 0;
    std::string DataBaseName;
    int32_t DataOffset = 0;
    int32_t DataSize = 0;
};

// Indexed [column][row]; every column has the same number of rows.
using CellGrid = std::vector<std::vector<TTile>>;

// The process-wide cell grid, replaced by every analysis.
CellGrid& TheCellGrid();
int GridColumns(const CellGrid& grid);
int GridRows(const CellGrid& grid);

struct GridSize {
    int32_t Columns = 0;
    int32_t Rows = 0;
};

// Columns and rows of nominal cells for a picture of width x height, tileCount tiles and a
// shape; 0 x 0 when the nominal cell size is 0.
GridSize CalcTileGrid(int64_t width, int64_t height, int64_t tileCount, int shape);

// Replaces TheCellGrid() by the grid of `picture` and fills every cell's signature.
// Throws SizeError when the grid would have no cell.
void AnalysePicture(const Bitmap& picture, int64_t tileCount, int shape, const Progress& progress = {});

}  // namespace pixadra
