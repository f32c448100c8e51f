#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "common/TestSupport.h"
#include "engine/AddPictures.h"
#include "engine/DatabaseFiles.h"
#include "engine/IndexBytes.h"
#include "engine/LoadedTiles.h"
#include "support/Errors.h"
#include "support/Language.h"
#include "support/Text.h"

namespace pixadra {
namespace {

using testing::HandHeader;
using testing::HandRecord;
using testing::HandSignature;
using testing::ProgressRecorder;
using testing::ScriptedDialogs;
using testing::TempFolder;
using testing::WriteFile;

TEST(SearchPictureFiles, FolderFirstThenSubfoldersDepthFirst) {
    TempFolder folder;
    const std::string root = folder.Path();
    for (const char* dir : {"b sub", "A sub", "A sub/deeper", ".thumbs", "b sub/.hidden", "empty"}) {
        std::filesystem::create_directories(root + dir);
    }
    for (const char* file : {"photo.JpEg", "a.png", "C.GIF", "d.hpi", "e.bmp", ".hidden.jpg", "photo.jpe",
                             "photo.tif", "photo.jpg.bak", "noext", "A sub/z.jpg", "A sub/deeper/y.JPG",
                             "b sub/x.jpg", ".thumbs/t.jpg", "b sub/.hidden/h.jpg"}) {
        WriteFile(root + file, "x");
    }
    struct Case {
        bool recursive;
        std::vector<std::string> found;
    };
    const Case cases[] = {
        {false, {".hidden.jpg", "a.png", "C.GIF", "d.hpi", "e.bmp", "photo.JpEg"}},
        {true,
         {".hidden.jpg", "a.png", "C.GIF", "d.hpi", "e.bmp", "photo.JpEg", "A sub/z.jpg",
          "A sub/deeper/y.JPG", "b sub/x.jpg"}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> list{"kept"};
        SearchPictureFiles(root.substr(0, root.size() - 1), list, c.recursive);
        std::vector<std::string> expected{"kept"};
        for (const std::string& name : c.found) expected.push_back(root + name);
        EXPECT_EQ(list, expected) << c.recursive;
    }
}

TEST(SearchPictureFiles, LinkedFoldersAreSearchedOnce) {
    TempFolder folder;
    std::filesystem::create_directories(folder.File("a"));
    WriteFile(folder.File("a/p.jpg"), "x");
    std::filesystem::create_directory_symlink(folder.Path(), folder.File("a/loop"));
    std::filesystem::create_directory_symlink(folder.File("a"), folder.File("b"));
    std::vector<std::string> list;
    SearchPictureFiles(folder.Path(), list, true);
    EXPECT_EQ(list, std::vector<std::string>{folder.File("a/p.jpg")});
}

class SyncTest : public ::testing::Test {
  protected:
    void SetUp() override { LoadedTiles().clear(); }
    void TearDown() override { LoadedTiles().clear(); }

    std::string Database(const std::vector<std::string>& names) {
        std::string index = HandHeader();
        for (const std::string& name : names) {
            index += HandRecord(0, 1, HandSignature(0), HandSignature(0), HandSignature(0), "s", name);
        }
        WriteFile(folder.File("db.idx"), index);
        WriteFile(folder.File("db.dat"), "d");
        return folder.File("db");
    }

    TempFolder folder;
};

// The walk as described: for each path, the first non-empty tile of equal name goes.
std::vector<std::string> SlowSync(std::vector<std::string> stored, const std::vector<std::string>& paths,
                                  std::vector<bool>& emptied) {
    emptied.assign(stored.size(), false);
    std::vector<std::string> kept;
    for (const std::string& path : paths) {
        bool found = false;
        for (std::size_t i = 0; i < stored.size() && !found; ++i) {
            if (!emptied[i] && FoldCase(stored[i]) == FoldCase(path)) emptied[i] = found = true;
        }
        if (!found) kept.push_back(path);
    }
    return kept;
}

TEST_F(SyncTest, EachStoredTileAccountsForOneFoundPath) {
    struct Case {
        std::vector<std::string> stored;
        std::vector<std::string> found;
        std::vector<std::string> kept;
    };
    const Case cases[] = {
        {{"/p/a.jpg", "/p/b.jpg"}, {"/p/A.JPG", "/p/c.jpg", "/p/b.jpg"}, {"/p/c.jpg"}},
        {{"/p/a.jpg"}, {"/p/a.jpg", "/p/a.jpg"}, {"/p/a.jpg"}},    // one tile, two finds
        {{"/p/a.jpg", "/p/A.jpg"}, {"/p/a.JPG", "/p/a.jpg"}, {}},  // two tiles, two finds
        {{"/q/a.jpg"}, {"/p/a.jpg"}, {"/p/a.jpg"}},                // another folder is new
        {{"/p/\xC3\xA4.jpg"}, {"/p/\xC3\x84.JPG"}, {}},            // Latin-1 letters fold
        {{}, {"/p/a.jpg"}, {"/p/a.jpg"}},
    };
    for (const Case& c : cases) {
        const std::string db = Database(c.stored);
        std::vector<std::string> list = c.found;
        SyncDataBase(db, list);
        EXPECT_EQ(list, c.kept);
    }
}

TEST_F(SyncTest, SameResultAsTheOneByOneWalk) {
    std::mt19937 rng(7);
    const char* names[] = {"/p/a.jpg", "/p/A.jpg", "/p/b.jpg", "/p/B.JPG", "/p/c.png", "/q/a.jpg"};
    for (int round = 0; round < 30; ++round) {
        std::vector<std::string> stored, found;
        for (int i = static_cast<int>(rng() % 12); i > 0; --i) stored.push_back(names[rng() % 6]);
        for (int i = static_cast<int>(rng() % 12); i > 0; --i) found.push_back(names[rng() % 6]);
        std::vector<bool> emptied;
        const std::vector<std::string> expected = SlowSync(stored, found, emptied);

        const std::string db = Database(stored);
        std::vector<std::string> list = found;
        SyncDataBase(db, list);
        EXPECT_EQ(list, expected) << round;
        ASSERT_EQ(LoadedTiles().size(), stored.size());
        for (std::size_t i = 0; i < stored.size(); ++i) {
            EXPECT_EQ(LoadedTiles()[i] == nullptr, static_cast<bool>(emptied[i])) << round << " entry " << i;
        }
    }
}

TEST_F(SyncTest, ProgressAndMissingDatabase) {
    const std::string db = Database({"/p/a.jpg", "/p/b.jpg"});
    std::vector<std::string> list{"/p/a.jpg", "/p/x.jpg", "/p/y.jpg", "/p/b.jpg"};
    ProgressRecorder recorder;
    SyncDataBase(db, list, recorder.Outputs());
    EXPECT_EQ(recorder.labels,
              (std::vector<std::string>{FormatLanguageWord("GaugeMessages", "LoadDataBase", {"db", "2"}), "",
                                        GetLanguageWord("GaugeMessages", "SyncDataBase"), ""}));
    EXPECT_EQ(recorder.positions, (std::vector<int>{0, 50, 100, 0, 0, 25, 50, 75, 100, 0}));

    std::vector<std::string> untouched{"/p/a.jpg"};
    EXPECT_THROW(SyncDataBase(folder.File("none"), untouched), FileError);
    EXPECT_EQ(untouched, std::vector<std::string>{"/p/a.jpg"});
}

}  // namespace
}  // namespace pixadra
