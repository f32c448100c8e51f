#pragma once
// The sources table: for every cell of the mosaic the source text of its tile, one line per row
// of cells, fields separated by ";", no quoting, CR LF after every line.
#include <string>

#include "support/Progress.h"

namespace pixadra {

// The table of TheCellGrid() as it is written.
std::string SourcesTableText(const Progress& progress = {});

// Writes the table to `fileName` beside it and renames it into place, so an error leaves an
// earlier file as it was. Throws FileError naming the file.
void CreateSourcesTable(const std::string& fileName, const Progress& progress = {});

}  // namespace pixadra
