#pragma once
// Turning picture files into tiles of a database: search a folder, drop what the database
// already holds, and add each picture reduced to the database resolution with one colour
// signature per tile shape.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/ColorSignature.h"
#include "engine/PreviewImage.h"
#include "imaging/Bitmap.h"
#include "support/Progress.h"
#include "support/SystemInfo.h"

namespace pixadra {

// Adds every picture of the folder (and its subfolders when `recursive`) to the database,
// skipping those it already holds when `synchronise`. The cancel flag is read before each
// picture; the label shows the speed every two seconds (timed by `clock`). Returns the number
// of pictures stored. Errors writing the database end the run (tiles stored before stay).
int64_t AddPicturesToDatabase(const std::string& folder, bool recursive, bool synchronise,
                              const std::string& databasePath, bool preview, PreviewImage* previewImage,
                              int64_t targetArea, int64_t minArea, const Progress& progress = {},
                              int64_t (*clock)() = TickCountMs);

// Appends the paths of the folder's pictures (.HPI .PNG .BMP .JPG .JPEG .GIF in any case) in
// name order without case, then those of its subfolders depth-first when `recursive`. Folders
// whose names begin with "." are never entered, nor is a folder twice (links).
void SearchPictureFiles(const std::string& folder, std::vector<std::string>& list, bool recursive);

// Removes from the list every path the database holds already, each stored tile accounting
// for one found path (compared without case). Leaves the database's names in the loaded
// tiles, with the entries that were found emptied. Throws FileError when the index is missing.
void SyncDataBase(const std::string& databasePath, std::vector<std::string>& list,
                  const Progress& progress = {});

// Loads one picture file and adds it; false (silently) when it does not load or is too small.
bool AddPictureFile(const std::string& picturePath, const std::string& databasePath, int64_t targetArea,
                    bool preview, PreviewImage* previewImage, int64_t minArea,
                    const std::function<void()>& processEvents = {});

// Reduces the bitmap in place and appends it as a tile; false (nothing stored) when it has
// fewer than minArea pixels. With `preview`, the reduced picture is shown (errors ignored)
// and events are processed.
bool AddPicture(Bitmap& bitmap, const std::string& picturePath, const std::string& databasePath,
                int64_t targetArea, bool preview, PreviewImage* previewImage, int64_t minArea,
                const std::function<void()>& processEvents = {});

// Sums of red, green and blue and the pixel count of each of the 4 x 4 sub-cells (quarters
// of Round(width / 4) and Round(height / 4), the last ones taking the rest). Throws SizeError
// for a bitmap whose sums do not fit 32 bits.
void TileSignature(const Bitmap& bitmap, ColorSignature& signature);

// The packed form stored in the index: each sub-cell's mean colour, black for empty sub-cells.
PackedSignature PackedTileSignature(const Bitmap& bitmap);

}  // namespace pixadra
