#include <gtest/gtest.h>

#include "support/Text.h"

namespace pixadra {
namespace {

TEST(TextTest, FoldCaseCoversAsciiAndLatin1Letters) {
    EXPECT_EQ(FoldCase("photo.JpEg"), "PHOTO.JPEG");
    EXPECT_EQ(FoldCase("\xC3\xA4\xC3\xB6\xC3\xBC\xC3\xA9"), "\xC3\x84\xC3\x96\xC3\x9C\xC3\x89");  // äöüé -> ÄÖÜÉ
    EXPECT_EQ(FoldCase("\xC3\xB7\xC3\x9F"), "\xC3\xB7\xC3\x9F");  // ÷ and ß have no upper case here
    EXPECT_TRUE(EqualsIgnoreCase("Bäume.JPG", "BÄUME.jpg"));
    EXPECT_FALSE(EqualsIgnoreCase("a", "ab"));
}

TEST(TextTest, CutUtf8NeverSplitsACharacter) {
    const std::string text = std::string(199, 'a') + "\xC3\xA4" + "b";  // ä straddles byte 200
    EXPECT_EQ(CutUtf8(text, 200), std::string(199, 'a'));
    EXPECT_EQ(CutUtf8(std::string(201, 'x'), 200), std::string(200, 'x'));
    EXPECT_EQ(CutUtf8("short", 200), "short");
    const std::string notUtf8 = std::string(199, 'a') + "\xE4\xE4";  // Windows-1252 bytes: cut at the limit
    EXPECT_EQ(CutUtf8(notUtf8, 200).size(), 200u);
}

TEST(TextTest, Utf8ValidityAndDisplay) {
    EXPECT_TRUE(IsValidUtf8("Grüße"));
    EXPECT_FALSE(IsValidUtf8("Gr\xFC\xDF" "e"));
    EXPECT_FALSE(IsValidUtf8("\xC3"));
    EXPECT_EQ(ToDisplayUtf8("Gr\xFC\xDF" "e \x80"), "Grüße €");
}

TEST(TextTest, PathParts) {
    struct Case {
        const char* path;
        const char* ext;
        const char* name;
        const char* folder;
    } cases[] = {
        {"/a/b/photo.JpEg", ".JPEG", "photo.JpEg", "/a/b/"},
        {"/a.b/mosaic", "", "mosaic", "/a.b/"},
        {"mosaic.jpg.bak", ".BAK", "mosaic.jpg.bak", ""},
        {"/x/.hidden", ".HIDDEN", ".hidden", "/x/"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(UpperExtension(c.path), c.ext) << c.path;
        EXPECT_EQ(FileNameOf(c.path), c.name) << c.path;
        EXPECT_EQ(FolderOf(c.path), c.folder) << c.path;
    }
    EXPECT_EQ(WithTrailingSlash("/a"), "/a/");
    EXPECT_EQ(WithTrailingSlash("/"), "/");
}

TEST(TextTest, FormatDecimalDropsTrailingZeros) {
    struct Case {
        long double value;
        int decimals;
        const char* text;
    } cases[] = {
        {300.0L * 300 / 1e6L, 4, "0,09"}, {50.0L * 50 / 1e6L, 4, "0,0025"}, {55.0L * 55 / 1e6L, 4, "0,003"},
        {333.0L * 333 / 1e6L, 4, "0,1109"}, {1.0L, 4, "1"}, {12.346L, 2, "12,35"}, {0.0L, 2, "0"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatDecimal(c.value, c.decimals, ","), c.text);
    EXPECT_EQ(FormatDecimal(2.5L, 2, "."), "2.5");
}

}  // namespace
}  // namespace pixadra
