#include "cli/DatabaseLookup.h"

#include <algorithm>
#include <vector>

#include "cli/Command.h"
#include "engine/DatabaseFiles.h"
#include "support/FileSystem.h"
#include "support/Text.h"

namespace pixadra::cli {

DatabaseState FindDatabase(const std::string& folder, const std::string& name) {
    std::vector<std::string> valid;
    std::vector<std::string> old;
    ListDataBases(folder, &valid, &old);
    // File names on Linux keep their case, so the name must match exactly.
    if (std::find(valid.begin(), valid.end(), name) != valid.end()) return DatabaseState::Valid;
    if (std::find(old.begin(), old.end(), name) != old.end()) return DatabaseState::Old;
    return DatabaseState::Missing;
}

std::string ExistingDatabaseFolder(const std::string& folder) {
    if (!FolderExists(folder)) throw CliError("database folder \"" + folder + "\" does not exist");
    return WithTrailingSlash(folder);
}

void RequireValidDatabase(const std::string& folder, const std::string& name) {
    switch (FindDatabase(folder, name)) {
        case DatabaseState::Valid:
            return;
        case DatabaseState::Old:
            throw CliError("database \"" + name + "\" in \"" + folder +
                           "\" has an index of an older format, which cannot be used");
        case DatabaseState::Missing:
            break;
    }
    throw CliError("no database \"" + name + "\" in \"" + folder + "\" (" + name + ".idx and " + name +
                   ".dat are needed)");
}

int64_t DatabaseTileCount(const std::string& databasePath) {
    const int64_t size = FileSize(databasePath + ".idx");
    return size < kIndexHeaderSize ? 0 : (size - kIndexHeaderSize) / kIndexRecordSize;
}

}  // namespace pixadra::cli
