#include <gtest/gtest.h>

#include <filesystem>

#include "common/TestSupport.h"
#include "engine/AddPictures.h"
#include "engine/CancelFlag.h"
#include "engine/DatabaseFiles.h"
#include "engine/IndexBytes.h"
#include "engine/LoadedTiles.h"
#include "imaging/JpegEncoder.h"
#include "imaging/PictureLoader.h"
#include "imaging/Resampling.h"
#include "support/Errors.h"
#include "support/Language.h"
#include "support/Locale.h"

namespace pixadra {
namespace {

using testing::HandHeader;
using testing::HandRecord;
using testing::ProgressRecorder;
using testing::ReadFileText;
using testing::ScriptedDialogs;
using testing::TempFolder;
using testing::WriteFile;

constexpr int64_t kTarget = 90000;  // resolution 300
constexpr int64_t kMinimum = 22500;

// Colours that differ across the picture, so each shape crop has its own signature.
Bitmap Gradient(int width, int height, uint8_t blue) {
    Bitmap bitmap(width, height);
    for (int y = 0; y < height; ++y) {
        uint8_t* row = bitmap.Row(y);
        for (int x = 0; x < width; ++x) {
            row[3 * x] = blue;
            row[3 * x + 1] = static_cast<uint8_t>(255 * y / height);
            row[3 * x + 2] = static_cast<uint8_t>(255 * x / width);
        }
    }
    return bitmap;
}

void WriteJpeg(const std::string& path, const Bitmap& bitmap) {
    const std::vector<uint8_t> jpeg = EncodeJpeg(bitmap, 90);
    WriteFile(path, std::string(jpeg.begin(), jpeg.end()));
}

std::string Text(const std::vector<uint8_t>& bytes) {
    return {bytes.begin(), bytes.end()};
}
std::string Text(const PackedSignature& packed) {
    return {packed.begin(), packed.end()};
}

// What adding one picture file must store: its tile's JPEG and its record at `offset`.
struct ExpectedTile {
    std::string jpeg;
    std::string record;
    int width = 0, height = 0;
};

ExpectedTile Expect(const std::string& path, const std::string& source, uint64_t offset) {
    Bitmap bitmap;
    EXPECT_TRUE(LoadPicture(path, bitmap)) << path;
    EXPECT_TRUE(ReduceToArea(bitmap, kTarget, kMinimum));
    std::string signatures[3];
    for (int shape = 0; shape < 3; ++shape) {
        Bitmap crop = bitmap;
        CropToShape(crop, shape, kTarget, kMinimum, false);
        signatures[shape] = Text(PackedTileSignature(crop));
    }
    ExpectedTile tile;
    tile.jpeg = Text(EncodeJpeg(bitmap, 90));
    // Stored in the order square, landscape, portrait.
    tile.record = HandRecord(offset, tile.jpeg.size(), signatures[kShapeSquare], signatures[kShapeLandscape],
                             signatures[kShapePortrait], source, path);
    tile.width = bitmap.Width();
    tile.height = bitmap.Height();
    return tile;
}

class FakePreview : public PreviewImage {
  public:
    int Width() const override { return 100; }
    int Height() const override { return 80; }
    void Show(const Bitmap& picture) override {
        if (fail) throw FileError("preview broken");
        shown.emplace_back(picture.Width(), picture.Height());
    }
    void Clear() override {}
    bool fail = false;
    std::vector<std::pair<int, int>> shown;
};

class AddPicturesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        CancelFlag() = false;
        LoadedTiles().clear();
    }
    void TearDown() override {
        CancelFlag() = false;
        LoadedTiles().clear();
    }
    TempFolder pictures;
    TempFolder databases;
    ScriptedDialogs dialogs;
};

TEST_F(AddPicturesTest, FolderBecomesExactlyTheExpectedDatabase) {
    const std::string root = pictures.Path();
    std::filesystem::create_directories(root + "sub");
    std::filesystem::create_directories(root + ".hidden");
    WriteJpeg(root + "a.jpg", Gradient(400, 300, 10));     // stored at 346 x 259
    WriteJpeg(root + "B.JPG", Gradient(300, 200, 90));     // stored unchanged
    WriteJpeg(root + ".e.jpg", Gradient(240, 320, 50));    // hidden files count
    WriteJpeg(root + "small.jpg", Gradient(140, 150, 0));  // 21000 pixels: skipped
    WriteFile(root + "broken.jpg", "not a picture at all");
    WriteFile(root + "notes.txt", "x");
    WriteJpeg(root + "sub/c.jpeg", Gradient(320, 240, 200));
    WriteJpeg(root + ".hidden/d.jpg", Gradient(320, 240, 120));
    WriteFile(root + "sources.list.txt", "a.jpg;Holiday at sea\r\nb.jpg;Rex;2003\r\n.e.jpg\r\n");
    const std::string db = databases.File("Tiles");

    EXPECT_EQ(AddPicturesToDatabase(root, true, false, db, false, nullptr, kTarget, kMinimum), 4);

    const ExpectedTile e = Expect(root + ".e.jpg", "", 0);
    const ExpectedTile a = Expect(root + "a.jpg", "Holiday at sea", e.jpeg.size());
    const ExpectedTile b = Expect(root + "B.JPG", "Rex", e.jpeg.size() + a.jpeg.size());
    const ExpectedTile c =
        Expect(root + "sub/c.jpeg", root + "sub/c.jpeg", e.jpeg.size() + a.jpeg.size() + b.jpeg.size());
    EXPECT_EQ(a.width, 346);
    EXPECT_EQ(a.height, 259);
    EXPECT_EQ(b.width, 300);
    EXPECT_EQ(b.height, 200);

    const std::string index = ReadFileText(db + ".idx");
    ASSERT_EQ(index.size(), 30u + 4 * 562u);
    EXPECT_EQ(index.substr(0, 22), HandHeader().substr(0, 22));
    EXPECT_EQ(index.substr(30), e.record + a.record + b.record + c.record);
    const std::string data = ReadFileText(db + ".dat");
    EXPECT_EQ(data, e.jpeg + a.jpeg + b.jpeg + c.jpeg);
    EXPECT_EQ(
        DecodeTile(db, static_cast<int32_t>(e.jpeg.size()), static_cast<int32_t>(a.jpeg.size())).Width(),
        346);

    // A second run with synchronisation stores nothing and leaves both files as they were.
    EXPECT_EQ(AddPicturesToDatabase(root, true, true, db, false, nullptr, kTarget, kMinimum), 0);
    EXPECT_EQ(ReadFileText(db + ".idx"), index);
    EXPECT_EQ(ReadFileText(db + ".dat"), data);

    // Load, delete the tile of a.jpg, save: three records remain with their offsets.
    LoadDataBase(true, db, false);
    ASSERT_EQ(LoadedTiles().size(), 4u);
    EXPECT_EQ(LoadedTiles()[1]->Source, "Holiday at sea");
    LoadedTiles()[1].reset();
    SaveDataBaseIndex(db);
    EXPECT_EQ(ReadFileText(db + ".idx").substr(30), e.record + b.record + c.record);
    EXPECT_EQ(ReadFileText(db + ".idx~"), index);
    EXPECT_EQ(ReadFileText(db + ".dat"), data);

    // Synchronising now stores only the deleted picture again, at the end of the data file.
    EXPECT_EQ(AddPicturesToDatabase(root, true, true, db, false, nullptr, kTarget, kMinimum), 1);
    const ExpectedTile again = Expect(root + "a.jpg", "Holiday at sea", data.size());
    EXPECT_EQ(ReadFileText(db + ".idx").substr(30), e.record + b.record + c.record + again.record);

    // Without synchronisation every picture is stored again.
    EXPECT_EQ(AddPicturesToDatabase(root, false, false, db, false, nullptr, kTarget, kMinimum), 3);
    EXPECT_EQ(ReadFileText(db + ".idx").size(), 30u + 7 * 562u);
}

TEST_F(AddPicturesTest, NothingStoredLeavesNoFiles) {
    WriteJpeg(pictures.File("small.jpg"), Gradient(140, 150, 0));
    WriteFile(pictures.File("broken.png"), "xx");
    const std::string db = databases.File("Empty");
    EXPECT_EQ(AddPicturesToDatabase(pictures.Path(), true, false, db, false, nullptr, kTarget, kMinimum), 0);
    EXPECT_TRUE(std::filesystem::is_empty(databases.Path()));
}

TEST_F(AddPicturesTest, AddPictureSizes) {
    struct Case {
        int width, height;
        int64_t target, minimum;
        bool stored;
        int storedWidth, storedHeight;
    };
    const Case cases[] = {
        {400, 300, 90000, 22500, true, 346, 259},
        {300, 200, 90000, 22500, true, 300, 200},  // would grow: stays as it is
        {140, 150, 90000, 22500, false, 0, 0},
        {151, 150, 90601, 22650, true, 151, 150},  // resolution 301: minimum Trunc(150.5^2)
        {150, 151, 90601, 22650, true, 150, 151},
        {150, 150, 90601, 22650, false, 0, 0},
    };
    int n = 0;
    for (const Case& c : cases) {
        const std::string db = databases.File("Sizes" + std::to_string(n++));
        Bitmap bitmap = Gradient(c.width, c.height, 0);
        EXPECT_EQ(AddPicture(bitmap, "/p/x.jpg", db, c.target, false, nullptr, c.minimum), c.stored);
        if (!c.stored) {
            EXPECT_FALSE(FileExists(db + ".idx"));
            continue;
        }
        const std::string data = ReadFileText(db + ".dat");
        const Bitmap stored = DecodeTile(db, 0, static_cast<int32_t>(data.size()));
        EXPECT_EQ(stored.Width(), c.storedWidth) << c.width << "x" << c.height;
        EXPECT_EQ(stored.Height(), c.storedHeight) << c.width << "x" << c.height;
    }
}

TEST_F(AddPicturesTest, PreviewShowsEachPictureAndItsErrorsAreIgnored) {
    for (bool fail : {false, true}) {
        FakePreview preview;
        preview.fail = fail;
        int events = 0;
        Bitmap bitmap = Gradient(400, 300, 0);
        const std::string db = databases.File(fail ? "Failing" : "Shown");
        EXPECT_TRUE(AddPicture(bitmap, "/p/x.jpg", db, kTarget, true, &preview, kMinimum, [&] { ++events; }));
        EXPECT_EQ(FileSize(db + ".idx"), 30 + 562);
        if (!fail) {
            EXPECT_EQ(preview.shown, (std::vector<std::pair<int, int>>{{100, 75}}));
            EXPECT_EQ(events, 1);
        }
    }
}

TEST_F(AddPicturesTest, CancelStopsBeforeTheNextPicture) {
    for (const char* name : {"1.jpg", "2.jpg", "3.jpg"})
        WriteJpeg(pictures.File(name), Gradient(200, 200, 0));
    // The clock is read once at the start and once after each picture.
    static int calls;
    calls = 0;
    auto cancellingClock = +[]() -> int64_t {
        if (++calls == 2) CancelFlag() = true;
        return 0;
    };
    const std::string db = databases.File("Cancelled");
    EXPECT_EQ(AddPicturesToDatabase(pictures.Path(), false, false, db, false, nullptr, kTarget, kMinimum, {},
                                    cancellingClock),
              1);
    EXPECT_EQ(FileSize(db + ".idx"), 30 + 562);

    CancelFlag() = true;
    const std::string untouched = databases.File("Untouched");
    EXPECT_EQ(
        AddPicturesToDatabase(pictures.Path(), false, false, untouched, false, nullptr, kTarget, kMinimum),
        0);
    EXPECT_FALSE(FileExists(untouched + ".idx"));
}

TEST_F(AddPicturesTest, SpeedLabelEveryTwoSeconds) {
    for (const char* name : {"1.jpg", "2.jpg", "3.jpg", "4.jpg"}) {
        WriteJpeg(pictures.File(name), Gradient(200, 200, 0));
    }
    static const int64_t kTimes[] = {0, 100, 1000, 2001, 4002};  // start, then after each picture
    static int call;
    call = 0;
    auto scriptedClock = +[]() -> int64_t { return kTimes[call++]; };
    const std::string separator = DecimalSeparator();
    SetDecimalSeparator(",");
    ProgressRecorder recorder;
    AddPicturesToDatabase(pictures.Path(), false, false, databases.File("Timed"), false, nullptr, kTarget,
                          kMinimum, recorder.Outputs(), scriptedClock);
    SetDecimalSeparator(separator);

    const std::string word = GetLanguageWord("GaugeMessages", "AddPicturesToDatabase");
    EXPECT_EQ(recorder.labels,
              (std::vector<std::string>{GetLanguageWord("GaugeMessages", "SearchForPictures"),
                                        FormatPattern(word, {"2", "4", "1"}),     // 2 / 2.001 s
                                        FormatPattern(word, {"3", "4", "0,75"}),  // 3 / 4.002 s
                                        ""}));
    // Trunc(i / (count / 100)) + 1, set every time.
    EXPECT_EQ(recorder.positions, (std::vector<int>{0, 51, 76, 0}));
    EXPECT_EQ(recorder.eventPasses, 4);
}

}  // namespace
}  // namespace pixadra
