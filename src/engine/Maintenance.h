#pragma once
// Looking after whole databases: deleting one, offering to delete those of the old format,
// and finding databases beside the executable.
#include <string>

namespace pixadra {

// Deletes "<path>.idx", ".dat" and ".idx~" after a Yes to "ConfirmDatabaseDel" (when `ask`).
// False when the user did not answer Yes; true otherwise, even if a file could not be deleted.
bool DeleteDataBase(const std::string& databasePath, bool ask);
// Lists the folder's old databases in one "OldDataBases" question; on Yes, each is deleted
// with its own confirmation.
void OfferOldDataBases(const std::string& folder);
// True when the executable's folder holds at least one valid database.
bool ProgramFolderHasDataBases();

}  // namespace pixadra
