#include <gtest/gtest.h>

#include <filesystem>

#include "common/TestSupport.h"
#include "engine/IndexBytes.h"
#include "engine/Maintenance.h"
#include "support/Dialogs.h"
#include "support/FileSystem.h"
#include "support/Language.h"
#include "support/SystemInfo.h"

namespace pixadra {
namespace {

using testing::HandHeader;
using testing::ScriptedDialogs;
using testing::TempFolder;
using testing::WriteFile;

void MakeDatabase(const std::string& path, const std::string& header, bool backup = false) {
    WriteFile(path + ".idx", header);
    WriteFile(path + ".dat", "data");
    if (backup) WriteFile(path + ".idx~", header);
}

bool AnyFileOf(const std::string& path) {
    return FileExists(path + ".idx") || FileExists(path + ".dat") || FileExists(path + ".idx~");
}

TEST(DeleteDataBase, DeletesOnlyAfterYes) {
    struct Case {
        bool ask;
        int answer;
        bool deleted;
    };
    const Case cases[] = {
        {true, kResultYes, true},
        {true, kResultNo, false},
        {true, kResultCancel, false},  // dialog closed
        {false, 0, true},
    };
    for (const Case& c : cases) {
        TempFolder folder;
        const std::string db = folder.File("My Tiles");
        MakeDatabase(db, HandHeader(), true);
        ScriptedDialogs dialogs;
        dialogs.Answer(c.answer);
        EXPECT_EQ(DeleteDataBase(db, c.ask), c.deleted);
        EXPECT_EQ(AnyFileOf(db), !c.deleted);
        if (c.ask) {
            ASSERT_EQ(dialogs.requests.size(), 1u);
            EXPECT_EQ(dialogs.requests[0].text,
                      FormatLanguageWord("Messages", "ConfirmDatabaseDel", {"My Tiles"}));
            EXPECT_EQ(dialogs.requests[0].kind, kDlgConfirmation);
            EXPECT_EQ(dialogs.requests[0].buttons.size(), 2u);
        } else {
            EXPECT_TRUE(dialogs.requests.empty());
        }
    }
}

TEST(DeleteDataBase, MissingFilesStillCountAsDeleted) {
    TempFolder folder;
    WriteFile(folder.File("half.dat"), "d");
    EXPECT_TRUE(DeleteDataBase(folder.File("half"), false));
    EXPECT_FALSE(AnyFileOf(folder.File("half")));
}

TEST(OfferOldDataBases, OneQuestionForAllThenOnePerDatabase) {
    TempFolder folder;
    MakeDatabase(folder.File("current"), HandHeader());
    MakeDatabase(folder.File("old b"), HandHeader(1, 2), true);
    MakeDatabase(folder.File("Old a"), std::string(12, 'x'));
    struct Case {
        std::vector<int> answers;
        bool aGone;
        bool bGone;
        std::size_t questions;
    };
    const Case cases[] = {
        {{kResultNo}, false, false, 1},
        {{kResultYes, kResultNo, kResultYes}, false, true, 3},
    };
    for (const Case& c : cases) {
        ScriptedDialogs dialogs;
        for (int answer : c.answers) dialogs.Answer(answer);
        OfferOldDataBases(folder.Path().substr(0, folder.Path().size() - 1));
        ASSERT_EQ(dialogs.requests.size(), c.questions);
        EXPECT_EQ(dialogs.requests[0].text,
                  FormatLanguageWord("Messages", "OldDataBases", {"\r\n    - Old a\r\n    - old b"}));
        if (c.questions == 3) {
            EXPECT_EQ(dialogs.requests[1].text,
                      FormatLanguageWord("Messages", "ConfirmDatabaseDel", {"Old a"}));
            EXPECT_EQ(dialogs.requests[2].text,
                      FormatLanguageWord("Messages", "ConfirmDatabaseDel", {"old b"}));
        }
        EXPECT_EQ(AnyFileOf(folder.File("Old a")), !c.aGone);
        EXPECT_EQ(AnyFileOf(folder.File("old b")), !c.bGone);
        EXPECT_TRUE(FileExists(folder.File("current.idx")));
    }
}

TEST(OfferOldDataBases, NoOldDatabasesNoQuestion) {
    TempFolder folder;
    MakeDatabase(folder.File("current"), HandHeader());
    ScriptedDialogs dialogs;
    OfferOldDataBases(folder.Path());
    EXPECT_TRUE(dialogs.requests.empty());
}

TEST(ProgramFolderHasDataBases, LooksForValidDatabasesBesideTheExecutable) {
    const std::string db = ExecutableFolder() + "pixadra-test-" + std::to_string(::getpid());
    struct Removal {
        std::string path;
        ~Removal() { DeleteDataBase(path, false); }
    } removal{db};
    const bool before = ProgramFolderHasDataBases();
    MakeDatabase(db, HandHeader(1, 2));
    EXPECT_EQ(ProgramFolderHasDataBases(), before);  // an old one does not count
    MakeDatabase(db, HandHeader());
    EXPECT_TRUE(ProgramFolderHasDataBases());
}

}  // namespace
}  // namespace pixadra
