#pragma once
// The tiles in memory: one process-wide list that the render, the edit page and the
// synchronisation load what they need into.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/ColorSignature.h"
#include "support/Progress.h"

namespace pixadra {

struct TDataBaseTile {
    std::array<ColorSignature, 3> Signatures{};  // by shape code: square, portrait, landscape
    int32_t UseCount = 0;
    std::string Source;
    std::string FileName;
    std::string DataBaseName;
    int32_t DataOffset = 0;
    int32_t DataSize = 0;
};

// Entries may be empty (deleted on the edit page, or found again by a synchronisation).
using LoadedTileList = std::vector<std::unique_ptr<TDataBaseTile>>;
LoadedTileList& LoadedTiles();

// Appends the tiles of "<databasePath>.idx" (after emptying the list when `clear`); an index
// without the header magic shows "Old_Database" and loads nothing. Throws FileError when the
// index cannot be opened (the list is then unchanged).
void LoadDataBase(bool clear, const std::string& databasePath, bool namesOnly, const Progress& progress = {});
// Rewrites the index from the non-empty entries: the new index is written beside the old one,
// the old one becomes "<path>.idx~", then the new one takes its place.
void SaveDataBaseIndex(const std::string& databasePath, const Progress& progress = {});

}  // namespace pixadra
