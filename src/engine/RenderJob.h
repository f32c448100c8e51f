#pragma once
// The render job: one call from the input picture and the chosen databases to the mosaic BMP,
// its sources table and the preview.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/PreviewImage.h"
#include "support/Progress.h"

namespace pixadra {

enum class RenderOutcome { Previewed, Unreadable, Declined };

struct RenderRequest {
    std::string inputPath;
    int32_t inputWidth = 0;   // recorded when the picture was chosen
    int32_t inputHeight = 0;
    std::string outputPath;   // ".bmp" is appended unless the name ends in it (case-insensitive)
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
};

// Runs the job. The warnings (memory, tile supply) are asked through ShowLanguageDialog;
// request.outputPath is updated to the final name. Errors are thrown (FileError, SizeError, ...).
RenderOutcome RenderMosaic(RenderRequest& request, PreviewImage* preview, const Progress& progress = {});

}  // namespace pixadra
