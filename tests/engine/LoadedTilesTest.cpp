#include <gtest/gtest.h>

#include <filesystem>

#include "common/TestSupport.h"
#include "engine/DatabaseFiles.h"
#include "engine/IndexBytes.h"
#include "engine/LoadedTiles.h"
#include "support/Errors.h"
#include "support/FileSystem.h"
#include "support/Language.h"

namespace pixadra {
namespace {

using testing::HandHeader;
using testing::HandRecord;
using testing::HandSignature;
using testing::ProgressRecorder;
using testing::ReadFileText;
using testing::ScriptedDialogs;
using testing::TempFolder;
using testing::WriteFile;

// Record k of a hand-made index: distinct signatures, offset 1000 k, size 100 + k.
std::string RecordNo(int k) {
    return HandRecord(1000u * k, 100u + k, HandSignature(static_cast<uint8_t>(k)),
                      HandSignature(static_cast<uint8_t>(50 + k)),
                      HandSignature(static_cast<uint8_t>(150 + k)), "source " + std::to_string(k),
                      "/pictures/p" + std::to_string(k) + ".jpg");
}

std::string IndexOf(int count, const std::string& header = HandHeader()) {
    std::string index = header;
    for (int k = 0; k < count; ++k) index += RecordNo(k);
    return index;
}

ColorSignature SignatureFrom(uint8_t base) {
    ColorSignature signature{};
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            for (int v = 0; v < 3; ++v)
                signature[SignatureIndex(c, r, v)] = static_cast<uint8_t>(base + 12 * c + 3 * r + v);
    return signature;
}

std::vector<std::string> FolderListing(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

class LoadedTilesTest : public ::testing::Test {
  protected:
    void SetUp() override { LoadedTiles().clear(); }
    void TearDown() override { LoadedTiles().clear(); }
    std::string Database(const std::string& name, const std::string& index) {
        WriteFile(folder.File(name + ".idx"), index);
        WriteFile(folder.File(name + ".dat"), std::string(5000, 'd'));
        return folder.File(name);
    }
    TempFolder folder;
    ScriptedDialogs dialogs;
};

TEST_F(LoadedTilesTest, LoadsEveryFieldWithSignaturesByShapeCode) {
    std::string index = IndexOf(2);
    // High halves of the 64-bit fields are ignored.
    index[30 + 562 + 4] = 1;
    index[30 + 562 + 8 + 7] = static_cast<char>(0x80);
    const std::string db = Database("Full", index);
    LoadDataBase(true, db, false);

    ASSERT_EQ(LoadedTiles().size(), 2u);
    for (int k = 0; k < 2; ++k) {
        const TDataBaseTile& tile = *LoadedTiles()[k];
        EXPECT_EQ(tile.Signatures[0], SignatureFrom(static_cast<uint8_t>(k)));        // square
        EXPECT_EQ(tile.Signatures[1], SignatureFrom(static_cast<uint8_t>(150 + k)));  // portrait
        EXPECT_EQ(tile.Signatures[2], SignatureFrom(static_cast<uint8_t>(50 + k)));   // landscape
        EXPECT_EQ(tile.DataOffset, 1000 * k);
        EXPECT_EQ(tile.DataSize, 100 + k);
        EXPECT_EQ(tile.Source, "source " + std::to_string(k));
        EXPECT_EQ(tile.FileName, "/pictures/p" + std::to_string(k) + ".jpg");
        EXPECT_EQ(tile.DataBaseName, "Full");
        EXPECT_EQ(tile.UseCount, 0);
    }
    EXPECT_TRUE(dialogs.plainMessages.empty());
}

TEST_F(LoadedTilesTest, NamesOnlyLeavesEverythingButTheFileNameEmpty) {
    const std::string db = Database("Names", IndexOf(3));
    LoadDataBase(true, db, true);
    ASSERT_EQ(LoadedTiles().size(), 3u);
    const TDataBaseTile fresh;
    for (const auto& tile : LoadedTiles()) {
        EXPECT_FALSE(tile->FileName.empty());
        EXPECT_EQ(tile->Signatures, fresh.Signatures);
        EXPECT_EQ(tile->DataOffset, 0);
        EXPECT_EQ(tile->DataSize, 0);
        EXPECT_EQ(tile->Source, "");
        EXPECT_EQ(tile->DataBaseName, "");
    }
}

TEST_F(LoadedTilesTest, IndexShapes) {
    std::string wrongMagic = HandHeader();
    wrongMagic[5] = 'x';
    struct Case {
        const char* what;
        std::string index;
        std::size_t tiles;
        bool oldMessage;
    };
    const Case cases[] = {
        {"header only", HandHeader(), 0, false},
        {"trailing 100 bytes", IndexOf(2) + std::string(100, 't'), 2, false},
        {"Version1 2 loads here", IndexOf(1, HandHeader(2, 1)), 1, false},
        {"another magic", wrongMagic + RecordNo(0), 0, true},
        {"shorter than its header", HandHeader().substr(0, 20), 0, true},
        {"empty file", "", 0, true},
    };
    for (const Case& c : cases) {
        LoadedTiles().clear();
        LoadedTiles().push_back(std::make_unique<TDataBaseTile>());  // cleared by the load
        dialogs.plainMessages.clear();
        const std::string db = Database("Shape", c.index);
        LoadDataBase(true, db, false);
        EXPECT_EQ(LoadedTiles().size(), c.tiles) << c.what;
        EXPECT_EQ(dialogs.plainMessages,
                  c.oldMessage ? std::vector<std::string>{"Old_Database"} : std::vector<std::string>{})
            << c.what;
    }
}

TEST_F(LoadedTilesTest, MissingIndexIsAnErrorAndKeepsTheList) {
    LoadedTiles().push_back(std::make_unique<TDataBaseTile>());
    EXPECT_THROW(LoadDataBase(true, folder.File("Missing"), false), FileError);
    EXPECT_EQ(LoadedTiles().size(), 1u);
}

TEST_F(LoadedTilesTest, TwoDatabasesAppendWithTheirOwnNamesAndProgress) {
    const std::string first = Database("First", IndexOf(2));
    const std::string second = Database("Second", IndexOf(3));
    ProgressRecorder recorder;
    LoadDataBase(true, first, false, recorder.Outputs());
    LoadDataBase(false, second, false, recorder.Outputs());

    ASSERT_EQ(LoadedTiles().size(), 5u);
    const char* expectedNames[] = {"First", "First", "Second", "Second", "Second"};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(LoadedTiles()[i]->DataBaseName, expectedNames[i]);
    EXPECT_EQ(recorder.positions, (std::vector<int>{0, 50, 100, 0, 0, 33, 66, 100, 0}));
    EXPECT_EQ(
        recorder.labels,
        (std::vector<std::string>{FormatLanguageWord("GaugeMessages", "LoadDataBase", {"First", "2"}), "",
                                  FormatLanguageWord("GaugeMessages", "LoadDataBase", {"Second", "3"}), ""}));
}

TEST_F(LoadedTilesTest, LoadsLargeIndexInBlocks) {
    // More records than one read block, so the block seams are crossed.
    std::string index = HandHeader();
    for (int k = 0; k < 9000; ++k) index += RecordNo(k % 200);
    const std::string db = Database("Large", index);
    LoadDataBase(true, db, false);
    ASSERT_EQ(LoadedTiles().size(), 9000u);
    for (int k : {0, 4095, 4096, 8191, 8192, 8999}) {
        EXPECT_EQ(LoadedTiles()[k]->DataOffset, 1000 * (k % 200)) << k;
        EXPECT_EQ(LoadedTiles()[k]->FileName, "/pictures/p" + std::to_string(k % 200) + ".jpg") << k;
    }
}

TEST_F(LoadedTilesTest, SaveDropsEmptyEntriesAndKeepsTheBackup) {
    const std::string original = IndexOf(7);
    const std::string db = Database("Edit", original);
    LoadDataBase(true, db, false);
    LoadedTiles()[2].reset();
    LoadedTiles()[5].reset();
    ProgressRecorder recorder;
    SaveDataBaseIndex(db, recorder.Outputs());

    const std::string saved = ReadFileText(db + ".idx");
    ASSERT_EQ(saved.size(), 30u + 5 * 562u);
    EXPECT_EQ(saved.substr(0, 22), HandHeader().substr(0, 22));
    EXPECT_EQ(saved.substr(30), RecordNo(0) + RecordNo(1) + RecordNo(3) + RecordNo(4) + RecordNo(6));
    EXPECT_EQ(ReadFileText(db + ".idx~"), original);
    EXPECT_EQ(ReadFileText(db + ".dat"), std::string(5000, 'd'));
    EXPECT_EQ(recorder.labels,
              (std::vector<std::string>{FormatLanguageWord("GaugeMessages", "SaveDataBaseIndex", {}), ""}));
    EXPECT_EQ(recorder.positions.back(), 0);
    EXPECT_EQ(FolderListing(folder.Path()), (std::vector<std::string>{"Edit.dat", "Edit.idx", "Edit.idx~"}));

    // The next load sees five tiles; a second save replaces the first backup.
    LoadDataBase(true, db, false);
    ASSERT_EQ(LoadedTiles().size(), 5u);
    for (auto& tile : LoadedTiles()) tile.reset();
    SaveDataBaseIndex(db);
    EXPECT_EQ(ReadFileText(db + ".idx").size(), 30u);
    EXPECT_EQ(ReadFileText(db + ".idx~"), saved);
    std::vector<std::string> valid;
    ListDataBases(folder.Path(), &valid, nullptr);
    EXPECT_EQ(valid, std::vector<std::string>{"Edit"});
}

TEST_F(LoadedTilesTest, SaveLoadRoundTripKeepsEveryRecordByte) {
    IndexRecord record;
    record.DataOffset = -5;  // a damaged value travels unchanged
    record.DataSize = 77;
    record.Source = std::string(200, 's');
    record.FileName = "/\xC3\xA4/name.jpg";
    for (int i = 0; i < 48; ++i) {
        record.SquareSignature[i] = static_cast<uint8_t>(i);
        record.LandscapeSignature[i] = static_cast<uint8_t>(255 - i);
        record.PortraitSignature[i] = static_cast<uint8_t>(i * 5);
    }
    const std::vector<uint8_t> encoded = EncodeIndexRecord(record);
    const std::string index = HandHeader() + std::string(encoded.begin(), encoded.end()) + RecordNo(9);
    const std::string db = Database("Trip", index);
    LoadDataBase(true, db, false);
    SaveDataBaseIndex(db);
    EXPECT_EQ(ReadFileText(db + ".idx").substr(30), index.substr(30));
}

TEST_F(LoadedTilesTest, SaveWithoutAnIndexPutsTheNewOneInPlace) {
    LoadedTiles().push_back(std::make_unique<TDataBaseTile>());
    LoadedTiles()[0]->FileName = "/x.jpg";
    const std::string db = folder.File("Fresh");
    SaveDataBaseIndex(db);
    EXPECT_EQ(ReadFileText(db + ".idx").size(), 30u + 562u);
    EXPECT_FALSE(std::filesystem::exists(db + ".idx~"));
}

TEST_F(LoadedTilesTest, FailedBackupLeavesTheIndexExactlyAsItWas) {
    const std::string original = IndexOf(4);
    const std::string db = Database("Stuck", original);
    // A backup name that can be neither deleted nor replaced.
    std::filesystem::create_directory(db + ".idx~");
    WriteFile(db + ".idx~/keep", "k");
    LoadDataBase(true, db, false);
    LoadedTiles()[1].reset();
    try {
        SaveDataBaseIndex(db);
        ADD_FAILURE() << "saved without a backup";
    } catch (const FileError& e) {
        EXPECT_NE(std::string(e.what()).find("\"Stuck\""), std::string::npos) << e.what();
    }
    EXPECT_EQ(ReadFileText(db + ".idx"), original);
    EXPECT_EQ(FolderListing(folder.Path()),
              (std::vector<std::string>{"Stuck.dat", "Stuck.idx", "Stuck.idx~"}));
}

TEST_F(LoadedTilesTest, SaveWaitsForNoWriter) {
    const std::string original = IndexOf(2);
    const std::string db = Database("Busy", original);
    LoadDataBase(true, db, false);
    LockedFile writer(db + ".dat");
    EXPECT_THROW(SaveDataBaseIndex(db), FileError);
    EXPECT_EQ(ReadFileText(db + ".idx"), original);
    EXPECT_FALSE(std::filesystem::exists(db + ".idx~"));
}

}  // namespace
}  // namespace pixadra
