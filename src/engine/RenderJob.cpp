#include "engine/RenderJob.h"

#include <limits>
#include <new>

#include "engine/BigBmp.h"
#include "engine/Composition.h"
#include "engine/LoadedTiles.h"
#include "engine/SourcesTable.h"
#include "engine/TileGrid.h"
#include "engine/TileMatching.h"
#include "imaging/PictureLoader.h"
#include "imaging/Resampling.h"
#include "support/Dialogs.h"
#include "support/Errors.h"
#include "support/Language.h"
#include "support/Rounding.h"
#include "support/SystemInfo.h"
#include "support/Text.h"

namespace pixadra {
namespace {

void Inform(const std::string& key, const std::vector<std::string>& args) {
    ShowLanguageDialog(FormatLanguageWord("Messages", key, args), kDlgInformation, kButtonsOk);
}

bool WarningAnsweredNo(const std::string& key, const std::vector<std::string>& args) {
    return ShowLanguageDialog(FormatLanguageWord("Messages", key, args), kDlgWarning, kButtonsYesNo) ==
           kResultNo;
}

// The product in 64 bits, held at the largest value where it would not fit.
int64_t SaturatedProduct(std::initializer_list<int64_t> factors) {
    int64_t product = 1;
    for (int64_t factor : factors) {
        if (__builtin_mul_overflow(product, factor, &product)) return std::numeric_limits<int64_t>::max();
    }
    return product;
}

std::string Kilobytes(int64_t bytes) {
    return std::to_string(RoundHalfEven(static_cast<long double>(bytes) / 1024));
}

// Reads the finished mosaic back and shows it fitted into the preview; false when it cannot.
bool ReadBack(const std::string& path, PreviewImage* preview) {
    try {
        Bitmap done;
        if (!LoadPicture(path, done)) return false;
        if (preview == nullptr) return true;
        Bitmap fitted;
        if (!FitIntoBox(done, fitted, preview->Width(), preview->Height())) return false;
        preview->Show(fitted);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

}  // namespace

RenderOutcome RenderMosaic(RenderRequest& request, PreviewImage* preview, const Progress& progress) {
    if (request.useLimit < 1)
        throw PixadraError("The use limit of a tile must be at least 1, not " +
                           std::to_string(request.useLimit));
    if (request.tileWidth < 1 || request.tileHeight < 1) {
        throw SizeError("A tile of " + std::to_string(request.tileWidth) + " x " +
                        std::to_string(request.tileHeight) + " pixels is not possible");
    }
    const int64_t targetArea = int64_t{request.tileWidth} * request.tileHeight;
    const TilePixels tile = MosaicTileSize(targetArea, request.shape);

    // Everything that can be refused is refused before a database is loaded or a file written.
    Bitmap picture;
    if (!LoadPicture(request.inputPath, picture)) {
        Inform("CanNotRenderPicture", {request.inputPath});
        return RenderOutcome::Declined;
    }
    // Callers that recorded no size get the picture's own.
    const int64_t recordedWidth = request.inputWidth > 0 ? request.inputWidth : picture.Width();
    const int64_t recordedHeight = request.inputHeight > 0 ? request.inputHeight : picture.Height();
    const GridSize grid = CalcTileGrid(recordedWidth, recordedHeight, request.tileCount, request.shape);
    // The analysis cuts the picture as it is now, which may differ from the recorded size.
    const GridSize cells = CalcTileGrid(picture.Width(), picture.Height(), request.tileCount, request.shape);
    if (grid.Columns <= 0 || grid.Rows <= 0 || cells.Columns <= 0 || cells.Rows <= 0 || tile.width <= 0 ||
        tile.height <= 0) {
        const bool recordedEmpty = grid.Columns <= 0 || grid.Rows <= 0;
        Inform("TooManyTilesForPicture", {std::to_string(recordedEmpty ? recordedWidth : picture.Width()),
                                          std::to_string(recordedEmpty ? recordedHeight : picture.Height()),
                                          std::to_string(request.tileCount)});
        return RenderOutcome::Declined;
    }
    const int64_t mosaicWidth = int64_t{cells.Columns} * tile.width;
    const int64_t mosaicHeight = int64_t{cells.Rows} * tile.height;
    try {
        TBigBmp::CheckSize(mosaicWidth, mosaicHeight);
    } catch (const SizeError&) {
        Inform("MosaicTooLarge", {std::to_string(mosaicWidth), std::to_string(mosaicHeight)});
        return RenderOutcome::Declined;
    }

    const int64_t need =
        SaturatedProduct({request.tileWidth, grid.Columns, 4, grid.Rows, request.tileHeight});
    const int64_t available = request.availableMemory ? request.availableMemory() : AvailableMemory();
    if (available - need <= 0 &&
        WarningAnsweredNo("NotEnoughMemory", {Kilobytes(available), Kilobytes(need)}))
        return RenderOutcome::Declined;

    LoadedTiles().clear();
    for (const std::string& name : request.databaseNames)
        LoadDataBase(false, request.databaseFolder + name, false, progress);

    const int64_t loaded = static_cast<int64_t>(LoadedTiles().size());
    const int64_t rounds = RoundHalfEven(static_cast<long double>(request.tileCount) / request.useLimit);
    if (rounds >= loaded && WarningAnsweredNo("MoreTilesAsInDatabase", {std::to_string(loaded - 1)}))
        return RenderOutcome::Declined;

    AnalysePicture(picture, request.tileCount, request.shape, progress);
    picture = Bitmap();  // not needed any more; the read-back may need the memory
    FindTiles(request.useLimit, request.shape, progress,
              request.hasSeed ? std::optional<uint64_t>(request.seed) : std::nullopt);

    if (UpperExtension(request.outputPath) != ".BMP") request.outputPath += ".bmp";
    CreatePicture(request.outputPath, targetArea, request.shape, request.databaseFolder, progress);
    if (request.sourcesTable) CreateSourcesTable(request.outputPath + ".source.csv", progress);

    if (!ReadBack(request.outputPath, preview)) {
        ShowLanguageDialog(GetLanguageWord("Messages", "CanNotOpenDonePicture"), kDlgError, kButtonsOk);
        return RenderOutcome::Unreadable;
    }
    return RenderOutcome::Previewed;
}

}  // namespace pixadra
