#include <gtest/gtest.h>

#include "common/TestSupport.h"
#include "engine/SourceDescription.h"

namespace pixadra {
namespace {

using testing::TempFolder;
using testing::WriteFile;

TEST(SourceDescription, DescriptionsFromTheFoldersList) {
    struct Case {
        const char* what;
        std::string list;
        const char* picture;
        const char* description;  // null: the picture's own path
    };
    const Case cases[] = {
        {"case ignored", "beach.jpg;Holiday at sea\r\n", "BEACH.JPG", "Holiday at sea"},
        {"second field only", "dog.png;Rex;2003\r\n", "dog.png", "Rex"},
        {"no description", "cat.gif\r\n", "cat.gif", ""},
        {"no line", "cat.gif\r\n", "tree.bmp", nullptr},
        {"first match wins", "a.jpg;one\na.jpg;two\n", "a.jpg", "one"},
        {"LF lines", "x.jpg;ex\ny.jpg;why", "y.jpg", "why"},
        {"CR lines", "x.jpg;ex\ry.jpg;why\r", "y.jpg", "why"},
        {"mixed breaks", "x.jpg;ex\r\n\ry.jpg;why\n", "y.jpg", "why"},
        {"umlaut case", "\xC3\xA4pfel.jpg;Obst\n", "\xC3\x84PFEL.JPG", "Obst"},
        {"name must match whole", "beach.jpg;sea\n", "beach.jpg.bmp", nullptr},
    };
    for (const Case& c : cases) {
        TempFolder folder;  // a new folder each time, so the cached list is read again
        WriteFile(folder.File("sources.list.txt"), c.list);
        const std::string picture = folder.File(c.picture);
        EXPECT_EQ(SourceDescription(picture), c.description ? c.description : picture) << c.what;
    }
}

TEST(SourceDescription, WithoutAListThePathItself) {
    TempFolder folder;
    EXPECT_EQ(SourceDescription(folder.File("p.jpg")), folder.File("p.jpg"));
}

TEST(SourceDescription, CachedListIsReadAgainOnlyForAnotherFolder) {
    TempFolder first, second;
    WriteFile(first.File("sources.list.txt"), "p.jpg;old\n");
    WriteFile(second.File("sources.list.txt"), "p.jpg;other\n");
    EXPECT_EQ(SourceDescription(first.File("p.jpg")), "old");
    WriteFile(first.File("sources.list.txt"), "p.jpg;new\n");
    EXPECT_EQ(SourceDescription(first.File("p.jpg")), "old");  // same list path: cached
    EXPECT_EQ(SourceDescription(second.File("p.jpg")), "other");
    EXPECT_EQ(SourceDescription(first.File("p.jpg")), "new");
}

}  // namespace
}  // namespace pixadra
