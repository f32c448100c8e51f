#pragma once
// Composition: the matched cell grid becomes the mosaic BMP, every cell a block filled with its
// tile cut to the shape and scaled to the tile size.
#include <cstdint>
#include <string>

#include "support/Progress.h"

namespace pixadra {

struct TilePixels {
    int32_t width = 0;
    int32_t height = 0;
};

// Tile size in the mosaic for a target area (tile width x height of the options) and a shape;
// the same size CropToShape aims at. Throws PixadraError for a shape other than 0, 1 or 2.
TilePixels MosaicTileSize(int64_t targetArea, int shape);

struct CompositionOptions {
    int threads = 0;  // 0: as many as the machine has cores
    // The one-thread reference: every cell's tile read, decoded, scaled and set pixel by pixel
    // in turn. The default decodes each distinct tile once, on several threads, and fills all
    // of its cells; the file is byte for byte the same.
    bool decodeEveryCell = false;
};

// Composes TheCellGrid() into a mosaic of Columns x tile width by Rows x tile height pixels
// (cells without tile stay white) and saves it as `outputFile`, written beside it and renamed
// into place. Throws SizeError before allocating when the mosaic or the tile size is not
// possible; FileError or DecodeError (naming the database and the tile's offset) for a tile that
// cannot be read, which ends the composition with the output file as it was.
void CreatePicture(const std::string& outputFile, int64_t targetArea, int shape,
                   const std::string& databaseFolder, const Progress& progress = {},
                   const CompositionOptions& options = {});

}  // namespace pixadra
