#include "engine/Maintenance.h"

#include <vector>

#include "engine/DatabaseFiles.h"
#include "support/Dialogs.h"
#include "support/FileSystem.h"
#include "support/Language.h"
#include "support/SystemInfo.h"
#include "support/Text.h"

namespace pixadra {

bool DeleteDataBase(const std::string& databasePath, bool ask) {
    if (ask) {
        const std::string text =
            FormatLanguageWord("Messages", "ConfirmDatabaseDel", {FileNameOf(databasePath)});
        if (ShowLanguageDialog(text, kDlgConfirmation, kButtonsYesNo) != kResultYes) return false;
    }
    RemoveFile(databasePath + ".idx");
    RemoveFile(databasePath + ".dat");
    RemoveFile(databasePath + ".idx~");
    return true;
}

void OfferOldDataBases(const std::string& folder) {
    const std::string base = WithTrailingSlash(folder);
    std::vector<std::string> old;
    ListDataBases(base, nullptr, &old);
    if (old.empty()) return;
    std::string names;
    for (const std::string& name : old) names += "\r\n    - " + name;
    const std::string text = FormatLanguageWord("Messages", "OldDataBases", {names});
    if (ShowLanguageDialog(text, kDlgConfirmation, kButtonsYesNo) != kResultYes) return;
    for (const std::string& name : old) DeleteDataBase(base + name, true);
}

bool ProgramFolderHasDataBases() {
    std::vector<std::string> valid;
    ListDataBases(ExecutableFolder(), &valid, nullptr);
    return !valid.empty();
}

}  // namespace pixadra
