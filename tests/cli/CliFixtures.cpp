#include "cli/CliFixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>

#include "cli/CliRunner.h"
#include "common/TestSupport.h"
#include "imaging/BmpWriter.h"
#include "imaging/JpegEncoder.h"
#include "support/Text.h"

namespace pixadra::testing {

Bitmap ShadedPicture(int width, int height, int red, int green, int blue) {
    Bitmap picture(width, height);
    for (int y = 0; y < height; ++y) {
        uint8_t* row = picture.Row(y);
        for (int x = 0; x < width; ++x) {
            const int shade = (x + y) * 24 / (width + height);  // 0..23 across the picture
            row[3 * x] = static_cast<uint8_t>(std::min(255, blue + shade));
            row[3 * x + 1] = static_cast<uint8_t>(std::min(255, green + shade));
            row[3 * x + 2] = static_cast<uint8_t>(std::min(255, red + shade));
        }
    }
    return picture;
}

void WritePicture(const std::string& path, const Bitmap& picture) {
    if (UpperExtension(path) == ".BMP") {
        SaveBitmapAsBmp(picture, path);
        return;
    }
    const std::vector<uint8_t> jpeg = EncodeJpeg(picture, 90);
    WriteFile(path, std::string(jpeg.begin(), jpeg.end()));
}

std::vector<std::string> WriteTilePictures(const std::string& folder, int count, int width, int height) {
    std::vector<std::string> paths;
    for (int i = 0; i < count; ++i) {
        // Colours spread over the cube so that every tile is somebody's closest match.
        const int red = (i * 97) % 232;
        const int green = (i * 53 + 80) % 232;
        const int blue = (i * 151 + 160) % 232;
        char name[32];
        std::snprintf(name, sizeof name, "tile%02d.jpg", i);
        paths.push_back(folder + name);
        WritePicture(paths.back(), ShadedPicture(width, height, red, green, blue));
    }
    return paths;
}

PictureSize BmpSize(const std::string& path) {
    const std::string bytes = ReadFileText(path);
    if (bytes.size() < 54 || bytes.compare(0, 2, "BM") != 0) return {};
    auto le32 = [&](std::size_t at) {
        return static_cast<int32_t>(static_cast<uint8_t>(bytes[at]) |
                                    static_cast<uint8_t>(bytes[at + 1]) << 8 |
                                    static_cast<uint8_t>(bytes[at + 2]) << 16 |
                                    static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 3])) << 24);
    };
    return PictureSize{le32(18), le32(22) < 0 ? -le32(22) : le32(22)};
}

std::map<std::string, std::string> SnapshotFolder(const std::string& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        const std::string relative = std::filesystem::relative(entry.path(), folder).string();
        files[relative] =
            entry.is_regular_file() ? ReadFileText(entry.path().string()) : std::string("<folder>");
    }
    return files;
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

const RenderSetup& SharedRenderSetup() {
    static TempFolder folder;
    static const RenderSetup setup = [] {
        RenderSetup s;
        s.root = folder.Path();
        s.databases = folder.File("db");
        s.input = folder.File("in.jpg");
        std::filesystem::create_directories(folder.File("pictures"));
        s.tileSources = WriteTilePictures(folder.File("pictures/"), 12);
        Bitmap input = ShadedPicture(160, 120, 200, 40, 40);
        const Bitmap cool = ShadedPicture(80, 60, 30, 60, 210);
        for (int y = 0; y < 60; ++y)
            std::copy(cool.Row(y), cool.Row(y) + cool.Stride(), input.Row(y + 60) + 240);
        WritePicture(s.input, input);
        WriteFile(folder.File("bad.jpg"), "this is no JPEG");
        const CliResult added = RunCli({"add", "--databases", s.databases, "--name", "tiles", "--from",
                                        folder.File("pictures"), "--resolution", "50", "--quiet"});
        if (added.status != 0) ADD_FAILURE() << "cannot make the shared database: " << Describe(added);
        return s;
    }();
    return setup;
}

std::vector<std::string> RenderArgs(const std::string& output, std::vector<std::string> extra) {
    const RenderSetup& s = SharedRenderSetup();
    std::vector<std::string> args{"render", "--databases", s.databases, "--use",  "tiles", "--input",
                                  s.input,  "--output",    output,      "--seed", "7",     "--quiet"};
    args.insert(args.end(), extra.begin(), extra.end());
    return args;
}

}  // namespace pixadra::testing
