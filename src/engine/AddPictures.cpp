#include "engine/AddPictures.h"

#include "engine/CancelFlag.h"
#include "engine/DatabaseFiles.h"
#include "engine/SourceDescription.h"
#include "imaging/JpegEncoder.h"
#include "imaging/PictureLoader.h"
#include "imaging/Resampling.h"
#include "support/Language.h"
#include "support/Locale.h"
#include "support/Rounding.h"
#include "support/Text.h"

namespace pixadra {
namespace {

constexpr int64_t kUpdateIntervalMs = 2000;
constexpr int kTileQuality = 90;

void ShowPreview(const Bitmap& reduced, PreviewImage* previewImage,
                 const std::function<void()>& processEvents) {
    try {
        if (previewImage) {
            Bitmap fitted;
            if (FitIntoBox(reduced, fitted, previewImage->Width(), previewImage->Height())) {
                previewImage->Show(fitted);
            }
        }
        if (processEvents) processEvents();
    } catch (...) {
        // A preview that cannot be drawn costs nothing but the preview.
    }
}

}  // namespace

bool AddPicture(Bitmap& bitmap, const std::string& picturePath, const std::string& databasePath,
                int64_t targetArea, bool preview, PreviewImage* previewImage, int64_t minArea,
                const std::function<void()>& processEvents) {
    if (!ReduceToArea(bitmap, targetArea, minArea)) return false;

    IndexRecord record;
    PackedSignature* const byShape[3] = {&record.SquareSignature, &record.PortraitSignature,
                                         &record.LandscapeSignature};
    for (int shape = 0; shape < 3; ++shape) {
        Bitmap crop = bitmap;
        CropToShape(crop, shape, targetArea, minArea, false);
        *byShape[shape] = PackedTileSignature(crop);
    }
    if (preview) ShowPreview(bitmap, previewImage, processEvents);

    // The whole reduced picture is stored; shapes are cut again when a mosaic is composed.
    const std::vector<uint8_t> jpeg = EncodeJpeg(bitmap, kTileQuality);
    record.Source = SourceDescription(picturePath);
    record.FileName = picturePath;
    AppendTile(databasePath, jpeg, std::move(record));
    return true;
}

bool AddPictureFile(const std::string& picturePath, const std::string& databasePath, int64_t targetArea,
                    bool preview, PreviewImage* previewImage, int64_t minArea,
                    const std::function<void()>& processEvents) {
    Bitmap bitmap;
    if (!LoadPicture(picturePath, bitmap)) return false;
    return AddPicture(bitmap, picturePath, databasePath, targetArea, preview, previewImage, minArea,
                      processEvents);
}

int64_t AddPicturesToDatabase(const std::string& folder, bool recursive, bool synchronise,
                              const std::string& databasePath, bool preview, PreviewImage* previewImage,
                              int64_t targetArea, int64_t minArea, const Progress& progress,
                              int64_t (*clock)()) {
    if (progress.Both()) progress.Begin(GetLanguageWord("GaugeMessages", "SearchForPictures"));
    std::vector<std::string> list;
    SearchPictureFiles(WithTrailingSlash(folder), list, recursive);
    if (synchronise) SyncDataBase(databasePath, list, progress);

    const int64_t start = clock();
    int64_t lastUpdate = start;
    int64_t stored = 0;
    const auto count = static_cast<int64_t>(list.size());
    for (int64_t i = 0; i < count; ++i) {
        if (CancelFlag().load()) break;
        if (AddPictureFile(list[static_cast<std::size_t>(i)], databasePath, targetArea, preview, previewImage,
                           minArea, progress.processEvents)) {
            ++stored;
        }
        const int64_t now = clock();
        if (now - lastUpdate <= kUpdateIntervalMs) continue;
        lastUpdate = now;
        const long double seconds = (now - start) / 1000.0L;
        const long double speed = RoundHalfEven(i / seconds * 100) / 100.0L;
        if (progress.Both()) {
            progress.label->SetText(FormatLanguageWord(
                "GaugeMessages", "AddPicturesToDatabase",
                {std::to_string(i), std::to_string(count), FormatDecimal(speed, 2, DecimalSeparator())}));
            progress.bar->SetPosition(static_cast<int>(Trunc(i / (count / 100.0L))) + 1);
        }
        progress.ProcessEvents();
    }
    progress.End();
    return stored;
}

}  // namespace pixadra
