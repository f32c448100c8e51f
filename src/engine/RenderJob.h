#pragma once
// The render job: one call from the input picture and the chosen databases to the mosaic BMP,
// its sources table and the preview.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/PreviewImage.h"
#include "support/Progress.h"
#include "support/SystemInfo.h"

namespace pixadra {

enum class RenderOutcome { Previewed, Unreadable, Declined };

struct RenderRequest {
    std::string inputPath;
    int32_t inputWidth = 0;  // recorded when the picture was chosen
    int32_t inputHeight = 0;
    std::string outputPath;      // ".bmp" is appended unless the name ends in it (case-insensitive)
    std::string databaseFolder;  // ends in "/"
    std::vector<std::string> databaseNames;
    int32_t tileCount = 1000;
    int32_t tileWidth = 28;
    int32_t tileHeight = 21;
    int32_t useLimit = 5;
    int shape = 2;
    bool sourcesTable = false;
    // Fixed seed for matching; without one, matching is seeded from the clock.
    bool hasSeed = false;
    uint64_t seed = 0;
    // Where the memory check reads the available memory in bytes (tests fix the figure).
    int64_t (*availableMemory)() = AvailableMemory;
};

// Runs the job. The warnings (memory, tile supply) are asked through ShowLanguageDialog;
// request.outputPath is updated to the final name. Declined, after an information message and
// before anything is loaded or written, when the input picture no longer loads, when the grid
// would have no cell, or when the mosaic would not fit a BMP file's 32-bit fields. Unreadable
// (after an error message) when the finished mosaic does not read back for the preview; with a
// null preview it is only read back. Errors are thrown (FileError, DecodeError, SizeError, ...).
RenderOutcome RenderMosaic(RenderRequest& request, PreviewImage* preview, const Progress& progress = {});

}  // namespace pixadra
