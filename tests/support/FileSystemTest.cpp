#include <gtest/gtest.h>

#include <filesystem>

#include "common/TestSupport.h"
#include "support/Errors.h"
#include "support/FileSystem.h"

namespace pixadra {
namespace {

using testing::ReadFileText;
using testing::TempFolder;
using testing::WriteFile;

TEST(FileSystemTest, ListFolderSortsWithoutCaseAndIncludesHiddenFiles) {
    TempFolder dir;
    for (const char* name : {"b.jpg", "A.png", ".hidden.gif", "c.BMP"}) WriteFile(dir.File(name), "x");
    std::filesystem::create_directory(dir.File("Zeta"));
    std::filesystem::create_directory(dir.File("alpha"));
    const FolderEntries entries = ListFolder(dir.Path());
    EXPECT_EQ(entries.files, (std::vector<std::string>{".hidden.gif", "A.png", "b.jpg", "c.BMP"}));
    EXPECT_EQ(entries.folders, (std::vector<std::string>{"alpha", "Zeta"}));
}

TEST(FileSystemTest, AtomicWriterLeavesTargetUntilCommit) {
    TempFolder dir;
    const std::string target = dir.File("mosaic.bmp");
    WriteFile(target, "old");
    {
        AtomicFileWriter writer(target);
        writer.Write("new content", 11);
        EXPECT_EQ(ReadFileText(target), "old");
        // No commit: an error on the way drops the new bytes.
    }
    EXPECT_EQ(ReadFileText(target), "old");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);

    WriteWholeFileAtomically(target, "new", 3);
    EXPECT_EQ(ReadFileText(target), "new");
}

TEST(FileSystemTest, ReadsRefuseRangesPastTheEnd) {
    TempFolder dir;
    WriteFile(dir.File("f"), "0123456789");
    EXPECT_EQ(ReadFileRange(dir.File("f"), 2, 3), (std::vector<uint8_t>{'2', '3', '4'}));
    EXPECT_THROW(ReadFileRange(dir.File("f"), 8, 3), FileError);
    EXPECT_THROW(ReadFileRange(dir.File("f"), -1, 3), FileError);
    EXPECT_THROW(ReadWholeFile(dir.File("missing")), FileError);
}

TEST(FileSystemTest, SecondWriterGetsAClearError) {
    TempFolder dir;
    LockedFile first(dir.File("db.dat"));
    first.Append("abc", 3);
    try {
        LockedFile second(dir.File("db.dat"));
        FAIL() << "a second writer was let in";
    } catch (const FileError& e) {
        EXPECT_NE(std::string(e.what()).find("another process"), std::string::npos) << e.what();
    }
    EXPECT_EQ(first.Size(), 3);
}

}  // namespace
}  // namespace pixadra
