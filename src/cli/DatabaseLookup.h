#pragma once
// Finding the tile databases that a command names.
#include <cstdint>
#include <string>

namespace pixadra::cli {

enum class DatabaseState { Missing, Valid, Old };

// Whether the folder (ending in "/") holds a database of exactly this name, and of which format.
DatabaseState FindDatabase(const std::string& folder, const std::string& name);

// The folder with its trailing "/"; throws CliError when it is not an existing folder.
std::string ExistingDatabaseFolder(const std::string& folder);

// Throws CliError naming the database and the folder unless it is a valid database.
void RequireValidDatabase(const std::string& folder, const std::string& name);

// Tiles in the database's index: whole 562-byte records after the 30-byte header (0 when missing).
int64_t DatabaseTileCount(const std::string& databasePath);

}  // namespace pixadra::cli
