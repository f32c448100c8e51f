#pragma once
// Small pictures and folder snapshots for the end-to-end tests.
#include <map>
#include <string>
#include <vector>

#include "imaging/Bitmap.h"

namespace pixadra::testing {

// A picture of one colour with a soft diagonal shade, so tiles differ inside as well.
Bitmap ShadedPicture(int width, int height, int red, int green, int blue);
// Writes it as JPEG (".jpg") or BMP (".bmp") by the path's extension.
void WritePicture(const std::string& path, const Bitmap& picture);
// Writes `count` pictures of width x height in clearly different colours as tile00.jpg, tile01.jpg, ...
// and returns their paths in that order.
std::vector<std::string> WriteTilePictures(const std::string& folder, int count, int width = 64,
                                           int height = 48);

// Width and height from a BMP file's header (0 x 0 when it is not one).
struct PictureSize {
    int width = 0;
    int height = 0;
    bool operator==(const PictureSize&) const = default;
};
PictureSize BmpSize(const std::string& path);

// Every file under the folder (relative path -> content); equal snapshots mean nothing was written.
std::map<std::string, std::string> SnapshotFolder(const std::string& folder);

std::vector<std::string> SplitLines(const std::string& text);

// A folder made once per test process, holding what most render and blend tests need:
// db/tiles (12 tiles from tile00.jpg ..), the input picture in.jpg (160 x 120, four coloured
// quarters) and bad.jpg (not a picture).
struct RenderSetup {
    std::string root;       // with trailing "/"
    std::string databases;  // root + "db"
    std::string input;      // root + "in.jpg"
    std::vector<std::string> tileSources;
};
const RenderSetup& SharedRenderSetup();

// "render --databases <db> --use tiles --input <in.jpg> --output <output> --seed 7 --quiet" + extra.
std::vector<std::string> RenderArgs(const std::string& output, std::vector<std::string> extra = {});

}  // namespace pixadra::testing
