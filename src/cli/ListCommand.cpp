// pixadra-cli list: the databases of a folder, or the tiles of one database.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/Command.h"
#include "cli/Console.h"
#include "cli/DatabaseLookup.h"
#include "cli/ExitStatus.h"
#include "engine/DatabaseFiles.h"
#include "engine/LoadedTiles.h"
#include "support/Language.h"
#include "support/Text.h"

namespace pixadra::cli {
namespace {

void PrintLine(const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
}

void ListFolder(const std::string& folder) {
    std::vector<std::string> valid;
    std::vector<std::string> old;
    ListDataBases(folder, &valid, &old);
    for (const std::string& name : valid) {
        const int64_t count = DatabaseTileCount(folder + name);
        PrintLine(name + "\t" + std::to_string(count) + (count == 1 ? " tile" : " tiles"));
    }
    for (const std::string& name : old) PrintLine(name + "\told");
}

// One line per tile as the database edit page lists them, then a TAB and the tile's file name.
void ListTiles(const std::string& folder, const std::string& name, Console& console) {
    RequireValidDatabase(folder, name);
    LoadDataBase(true, folder + name, false, console.Outputs());
    const LoadedTileList& tiles = LoadedTiles();
    if (tiles.empty()) return;
    const std::size_t digits = std::to_string(tiles.size() - 1).size();
    const std::string deleted = "*" + GetLanguageWord("Const", "Deleted") + "*";
    console.ClearLine();
    for (std::size_t i = 0; i < tiles.size(); ++i) {
        if (!tiles[i]) {
            PrintLine(deleted);
            continue;
        }
        std::string index = std::to_string(i);
        index.insert(0, digits - index.size(), '0');
        PrintLine(index + "   -   " + ToDisplayUtf8(tiles[i]->Source) + "\t" +
                  ToDisplayUtf8(tiles[i]->FileName));
    }
}

int RunList(const ParsedArguments& args) {
    const std::string folder = ExistingDatabaseFolder(args.Required("databases"));
    Console console(args.Has("quiet"), false);
    if (args.Positionals().empty()) {
        ListFolder(folder);
    } else {
        ListTiles(folder, args.Positionals().front(), console);
    }
    std::fflush(stdout);
    return kExitDone;
}

}  // namespace

const Command& ListCommand() {
    static const Command command{
        "list",
        "list the tile databases of a folder, or the tiles of one database",
        "Usage: pixadra-cli list --databases DIR [NAME]\n"
        "\n"
        "Without NAME: one line per database in DIR, \"NAME<TAB>N tiles\", followed by the databases\n"
        "of an older index format as \"NAME<TAB>old\" (they cannot be used).\n"
        "With NAME: one line per tile of that database, \"INDEX   -   SOURCE<TAB>FILE\", where INDEX\n"
        "is padded with zeros to the width of the last index, SOURCE is the tile's description and\n"
        "FILE the picture it was made from.\n"
        "\n"
        "Options:\n"
        "  --databases DIR   folder of the tile databases\n"
        "  --quiet           no progress on standard error\n"
        "  -h, --help        show this help\n",
        {{"databases", true}, {"quiet"}},
        1,
        RunList};
    return command;
}

}  // namespace pixadra::cli
