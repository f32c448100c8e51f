// pixadra-cli add: the pictures of a folder into a tile database, as the wizard's adding page does.
#include <cstdio>
#include <filesystem>
#include <string>

#include "cli/Command.h"
#include "cli/Console.h"
#include "cli/DatabaseLookup.h"
#include "cli/ExitStatus.h"
#include "cli/SignalHandling.h"
#include "engine/AddPictures.h"
#include "engine/CancelFlag.h"
#include "engine/DatabaseFiles.h"
#include "support/FileSystem.h"
#include "support/Rounding.h"
#include "support/Text.h"

namespace pixadra::cli {
namespace {

// Keeps the Ctrl-C handler for the duration of the adding only.
class InterruptScope {
  public:
    InterruptScope() { InstallInterruptHandler(); }
    ~InterruptScope() { RestoreInterruptHandler(); }
    InterruptScope(const InterruptScope&) = delete;
    InterruptScope& operator=(const InterruptScope&) = delete;
};

int RunAdd(const ParsedArguments& args) {
    const std::string folderArgument = args.Required("databases");
    const std::string rawName = args.Required("name");
    const std::string name = CleanDataBaseName(rawName);
    if (name.empty()) {
        throw UsageError("--name \"" + rawName +
                         "\" leaves no database name once the characters \\ / : * ? \" < > | are dropped");
    }
    // Tiles remember their picture by full path (synchronising compares it), as the wizard's
    // folder choice gives it.
    const std::string from = std::filesystem::absolute(args.Required("from")).lexically_normal().string();
    const int64_t side = args.Integer("resolution", 300, 50, 1000);
    const bool recursive = args.Has("recursive");

    if (!FolderExists(from)) throw CliError("cannot add pictures from \"" + from + "\": no such folder");
    const std::string folder = WithTrailingSlash(folderArgument);
    // Like the wizard's default database folder, a missing one is made.
    if (!FolderExists(folder) && !CreateFolders(folder)) {
        throw CliError("cannot create the database folder \"" + folderArgument + "\"");
    }
    const DatabaseState state = FindDatabase(folder, name);
    if (state == DatabaseState::Old) {
        // Records appended to an index of the older format would be unreadable by it and by us.
        throw CliError("database \"" + name + "\" in \"" + folder +
                       "\" has an index of an older format; pictures cannot be added to it");
    }
    // Synchronising only means something for a database that is already there.
    const bool synchronise = args.Has("sync") && state == DatabaseState::Valid;
    const std::string databasePath = folder + name;
    const long double s = static_cast<long double>(side);

    Console console(args.Has("quiet"), false);
    int64_t added = 0;
    {
        InterruptScope interrupts;
        added = AddPicturesToDatabase(from, recursive, synchronise, databasePath, false, nullptr,
                                      Trunc(s * s), Trunc((s / 2) * (s / 2)), console.Outputs());
    }
    console.ClearLine();
    std::printf("%s: %lld tiles added (%lld in all)\n", name.c_str(), static_cast<long long>(added),
                static_cast<long long>(DatabaseTileCount(databasePath)));
    std::fflush(stdout);
    if (CancelFlag().load()) {
        std::fputs("pixadra-cli: interrupted; the tiles stored before stay in the database\n", stderr);
        return kExitInterrupted;
    }
    return kExitDone;
}

}  // namespace

const Command& AddCommand() {
    static const Command command{
        "add",
        "add the pictures of a folder to a tile database",
        "Usage: pixadra-cli add --databases DIR --name NAME --from FOLDER [options]\n"
        "\n"
        "Adds the pictures (BMP, JPEG, PNG, GIF, HPI) of FOLDER to the tile database NAME in DIR.\n"
        "A new database comes into being with its first tile; DIR is made when missing. The\n"
        "characters \\ / : * ? \" < > | are dropped from NAME. A file \"sources.list.txt\" in a picture\n"
        "folder may describe its pictures (\"file name;description\" per line).\n"
        "Prints \"NAME: N tiles added (M in all)\" on standard output.\n"
        "\n"
        "Options:\n"
        "  --databases DIR    folder of the tile databases\n"
        "  --name NAME        the database to add to, new or existing\n"
        "  --from FOLDER      the folder with the pictures\n"
        "  --recursive        include its subfolders (not those whose names begin with \".\")\n"
        "  --sync             skip the pictures an existing database already holds (by full path)\n"
        "  --resolution S     store each picture with about S x S pixels, 50 to 1000 (default 300);\n"
        "                     pictures with fewer than (S/2) x (S/2) pixels are skipped\n"
        "  --quiet            no progress on standard error\n"
        "  -h, --help         show this help\n"
        "\n"
        "Ctrl-C stops before the next picture: the tiles stored so far stay, and the exit status\n"
        "is 130. A second Ctrl-C ends the program at once.\n",
        {{"databases", true},
         {"name", true},
         {"from", true},
         {"recursive"},
         {"sync"},
         {"resolution", true},
         {"quiet"}},
        0,
        RunAdd};
    return command;
}

}  // namespace pixadra::cli
