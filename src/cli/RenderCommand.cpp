// pixadra-cli render: the render job over the named databases.
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "cli/Command.h"
#include "cli/Console.h"
#include "cli/DatabaseLookup.h"
#include "cli/ExitStatus.h"
#include "cli/TileShape.h"
#include "engine/RenderJob.h"
#include "imaging/Bitmap.h"
#include "imaging/PictureLoader.h"
#include "support/FileSystem.h"
#include "support/Text.h"

namespace pixadra::cli {
namespace {

constexpr int64_t kMinTiles = 10;
constexpr int64_t kMaxTiles = 100000000;

// The mosaic's folder must exist before hours of work go into it.
void RequireOutputFolder(const std::string& output) {
    const std::string folder = FolderOf(output);
    if (!folder.empty() && !FolderExists(folder)) {
        throw CliError("cannot write the mosaic \"" + output + "\": the folder \"" + folder +
                       "\" does not exist");
    }
    if (FolderExists(output)) throw CliError("cannot write the mosaic \"" + output + "\": it is a folder");
}

// The input picture's size as the wizard records it when a picture is chosen: the picture must load.
void RecordInputSize(RenderRequest& request) {
    Bitmap picture;
    if (!LoadPicture(request.inputPath, picture)) {
        throw CliError("cannot read the picture \"" + request.inputPath +
                       "\": it is missing, damaged, or not a BMP, JPEG, PNG, GIF or HPI file");
    }
    request.inputWidth = picture.Width();
    request.inputHeight = picture.Height();
}

int RunRender(const ParsedArguments& args) {
    // Everything the command line alone can refuse is refused before a file is touched.
    RenderRequest request;
    const std::string folderArgument = args.Required("databases");
    request.databaseNames = args.Values("use");
    if (request.databaseNames.empty()) throw UsageError("--use is required (at least one database)");
    request.inputPath = args.Required("input");
    request.outputPath = args.Required("output");
    request.tileCount = static_cast<int32_t>(args.Integer("tiles", 1000, kMinTiles, kMaxTiles));
    request.shape = ParseShape(args.Value("shape", "landscape"));
    const TileSize tile = TileSizeForShape(args.Integer("tile-width", 28, 2, kMaxTileSide), request.shape);
    request.tileWidth = tile.width;
    request.tileHeight = tile.height;
    request.useLimit = static_cast<int32_t>(args.Integer("max-uses", 5, 1, 100000));
    request.sourcesTable = args.Has("sources-table");
    if (args.Has("seed")) {
        request.hasSeed = true;
        request.seed = static_cast<uint64_t>(args.Integer("seed", 0, 0, std::numeric_limits<int64_t>::max()));
    }

    request.databaseFolder = ExistingDatabaseFolder(folderArgument);
    for (const std::string& name : request.databaseNames) RequireValidDatabase(request.databaseFolder, name);
    RequireOutputFolder(request.outputPath);
    RecordInputSize(request);

    Console console(args.Has("quiet"), args.Has("yes"));
    const RenderOutcome outcome = RenderMosaic(request, nullptr, console.Outputs());
    console.ClearLine();
    if (outcome == RenderOutcome::Declined) {
        if (console.DeclinedAQuestion()) return kExitDeclined;
        // The job refused on its own (its message is printed above): nothing was written.
        std::fputs("pixadra-cli: nothing was rendered\n", stderr);
        return kExitError;
    }
    // Also after an unreadable result: the mosaic was written; only its read-back failed.
    std::printf("%s\n", request.outputPath.c_str());
    return kExitDone;
}

}  // namespace

const Command& RenderCommand() {
    static const Command command{
        "render",
        "render a picture as a mosaic of tiles from one or more databases",
        "Usage: pixadra-cli render --databases DIR --use NAME [--use NAME ...] --input PICTURE\n"
        "                          --output FILE [options]\n"
        "\n"
        "Cuts PICTURE into about --tiles cells, gives every cell the closest tile of the databases\n"
        "(loaded in the order of --use), and writes the mosaic as an uncompressed 24-bit BMP. \".bmp\"\n"
        "is appended to FILE unless it ends in it; the final name is printed on standard output.\n"
        "\n"
        "Options:\n"
        "  --databases DIR     folder of the tile databases\n"
        "  --use NAME          a database to take tiles from; repeat for several\n"
        "  --input PICTURE     the picture (BMP, JPEG, PNG, GIF or HPI)\n"
        "  --output FILE       the mosaic\n"
        "  --tiles N           number of tiles asked for, 10 to 100000000 (default 1000)\n"
        "  --tile-width W      tile width in pixels (default 28); brought down to a multiple of 4\n"
        "                      (landscape) or 3 (portrait); the height follows from the shape\n"
        "  --shape SHAPE       landscape (4:3, default), portrait (3:4) or square\n"
        "  --max-uses N        how often one tile may be used, 1 to 100000 (default 5)\n"
        "  --sources-table     also write FILE.source.csv naming the source of every cell's tile\n"
        "  --seed N            fixed seed for the order in which cells get their tiles\n"
        "                      (default: from the clock)\n"
        "  --yes               go on after the warnings (not enough memory, too few tiles for\n"
        "                      --max-uses); without it they decline the job with exit status 3\n"
        "  --quiet             no progress on standard error\n"
        "  -h, --help          show this help\n",
        {{"databases", true},
         {"use", true, true},
         {"input", true},
         {"output", true},
         {"tiles", true},
         {"tile-width", true},
         {"shape", true},
         {"max-uses", true},
         {"sources-table"},
         {"seed", true},
         {"yes"},
         {"quiet"}},
        0,
        RunRender};
    return command;
}

}  // namespace pixadra::cli
