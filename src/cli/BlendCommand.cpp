// pixadra-cli blend: the cross-fade of a finished mosaic with its picture, saved over the mosaic.
#include <cstdio>
#include <string>

#include "cli/Command.h"
#include "cli/Console.h"
#include "cli/ExitStatus.h"
#include "cli/TileShape.h"
#include "engine/CrossFade.h"
#include "imaging/Bitmap.h"
#include "imaging/BmpWriter.h"
#include "support/Dialogs.h"
#include "support/Language.h"

namespace pixadra::cli {
namespace {

int RunBlend(const ParsedArguments& args) {
    const std::string input = args.Required("input");
    const std::string mosaic = args.Required("mosaic");
    if (!args.Has("tiles"))
        throw UsageError("--tiles is required (the tile count the mosaic was rendered with)");
    const int64_t tiles = args.Integer("tiles", 1000, 10, 100000000);
    const int shape = ParseShape(args.Value("shape", "landscape"));
    if (!args.Has("factor")) throw UsageError("--factor is required");
    const int factor = static_cast<int>(args.Integer("factor", 0, 0, 100));

    Console console(args.Has("quiet"), false);
    Bitmap result;
    if (!CrossFadeTheBitmaps(mosaic, input, tiles, shape, factor, result)) {
        ShowLanguageDialog(GetLanguageWord("Messages", "CanNotBlend"), kDlgError, kButtonsOk);
        std::fprintf(stderr,
                     "pixadra-cli: cannot cross-fade the mosaic \"%s\" with the picture \"%s\"; the mosaic "
                     "is unchanged\n",
                     mosaic.c_str(), input.c_str());
        return kExitError;
    }
    // Written beside the mosaic and renamed over it: a failed save leaves the mosaic as it was.
    SaveBitmapAsBmp(result, mosaic);
    return kExitDone;
}

}  // namespace

const Command& BlendCommand() {
    static const Command command{
        "blend",
        "cross-fade a finished mosaic with its picture, saved over the mosaic",
        "Usage: pixadra-cli blend --input PICTURE --mosaic FILE --tiles N [--shape SHAPE] --factor PERCENT\n"
        "\n"
        "Lays PICTURE over the mosaic FILE with PERCENT opacity (0 keeps the mosaic, 100 gives the\n"
        "picture alone) and saves the result over FILE. PICTURE is cut to the area that the mosaic's\n"
        "cells cover, so --tiles and --shape must be those the mosaic was rendered with.\n"
        "\n"
        "Options:\n"
        "  --input PICTURE    the picture the mosaic was rendered from\n"
        "  --mosaic FILE      the mosaic BMP (as printed by render)\n"
        "  --tiles N          the mosaic's tile count, 10 to 100000000\n"
        "  --shape SHAPE      landscape (default), portrait or square\n"
        "  --factor PERCENT   share of the picture, 0 to 100\n"
        "  --quiet            no progress (blending shows none anyway)\n"
        "  -h, --help         show this help\n",
        {{"input", true}, {"mosaic", true}, {"tiles", true}, {"shape", true}, {"factor", true}, {"quiet"}},
        0,
        RunBlend};
    return command;
}

}  // namespace pixadra::cli
