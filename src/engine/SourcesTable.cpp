#include "engine/SourcesTable.h"

#include "engine/TileGrid.h"
#include "support/FileSystem.h"
#include "support/Language.h"
#include "support/Rounding.h"

namespace pixadra {

std::string SourcesTableText(const Progress& progress) {
    const CellGrid& grid = TheCellGrid();
    const int columns = GridColumns(grid), rows = GridRows(grid);
    const long double hundredth = static_cast<long double>(int64_t{columns} * rows) / 100;
    std::string text;
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            if (c > 0) text += ';';
            text += grid[c][r].Source;
            progress.Update(
                static_cast<int>(Trunc(static_cast<long double>(int64_t{r} * columns + c + 1) / hundredth)));
        }
        text += "\r\n";
    }
    return text;
}

void CreateSourcesTable(const std::string& fileName, const Progress& progress) {
    if (progress.Both()) progress.Begin(GetLanguageWord("GaugeMessages", "CreateCSV"));
    const std::string text = SourcesTableText(progress);
    WriteWholeFileAtomically(fileName, text.data(), text.size());
    progress.End();
}

}  // namespace pixadra
