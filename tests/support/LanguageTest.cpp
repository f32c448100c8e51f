#include <gtest/gtest.h>

#include "common/TestSupport.h"
#include "support/Dialogs.h"
#include "support/Language.h"

namespace pixadra {
namespace {

using testing::ScriptedDialogs;
using testing::TempFolder;

// Loads `text` as the language file for one test and restores the shipped file afterwards.
class LanguageFileFixture : public ::testing::Test {
protected:
    void Use(const std::string& text) {
        const std::string path = folder_.File("Default.lang");
        testing::WriteFile(path, text);
        ASSERT_TRUE(LoadLanguageFileFrom(path));
    }
    void TearDown() override { LoadLanguageFile(); }
    TempFolder folder_;
};

constexpr const char* kConst =
    "[Const]\nOK=OK\nYes=Ja\nNo=Nein\nCancel=Abbrechen\ndlg_error=Fehler\ndlg_warning=Warnung\n"
    "dlg_information=Info\ndlg_confirmation=Frage\n";

TEST_F(LanguageFileFixture, WordsAreTrimmedAndLineBreaksExpanded) {
    Use(std::string(kConst) +
        "[messages]\n"
        "; a comment=not a key\n"
        "Two=first#13#10second\n"
        "Padded=  \t spaced out \t \n"
        "Eq=a=b\n");
    EXPECT_EQ(GetLanguageWord("Messages", "Two"), "first\r\nsecond");
    EXPECT_EQ(GetLanguageWord("MESSAGES", "padded"), "spaced out");
    EXPECT_EQ(GetLanguageWord("Messages", "Eq"), "a=b");  // the key ends at the first "="
}

TEST_F(LanguageFileFixture, MissingWordComplainsOnceAndReadsError) {
    Use(std::string(kConst) + "[Messages]\nPresent=#ERROR#\n");
    for (const char* key : {"Absent", "Present"}) {
        ScriptedDialogs dialogs;
        EXPECT_EQ(GetLanguageWord("Messages", key), "#ERROR#") << key;
        ASSERT_EQ(dialogs.requests.size(), 1u) << key;
        EXPECT_EQ(dialogs.requests[0].kind, kDlgError);
        EXPECT_EQ(dialogs.requests[0].text, std::string("Language word for \"Messages\",\"") + key + "\" not found !");
        EXPECT_EQ(dialogs.requests[0].title, "Fehler - Pixadra 4.1.0");
    }
}

TEST_F(LanguageFileFixture, MissingDialogWordDoesNotRecurse) {
    Use("[Const]\nYes=Ja\n");
    ScriptedDialogs dialogs;
    EXPECT_EQ(GetLanguageWord("Messages", "Absent"), "#ERROR#");
    EXPECT_EQ(dialogs.requests.size(), 1u);
    EXPECT_FALSE(dialogs.plainMessages.empty());  // the missing dialog words are reported plainly
}

TEST_F(LanguageFileFixture, KeysKeepFileOrder) {
    Use("[Components]\nzeta=1\nAlpha=2\nlabel_welcome_1=3\n");
    IniFile ini = IniFile::Parse("[Components]\nzeta=1\nAlpha=2\nlabel_welcome_1=3\n");
    EXPECT_EQ(ini.Keys("components"), (std::vector<std::string>{"zeta", "Alpha", "label_welcome_1"}));
}

TEST(LanguageFileTest, Windows1252FileIsReadAsUtf8) {
    IniFile ini = IniFile::Parse("[Const]\nDeleted=Gel\xF6scht\n");
    EXPECT_EQ(ini.Value("Const", "Deleted").value(), "Gel\xC3\xB6scht");
}

TEST(LanguageFileTest, ShippedFileIsBesideTheExecutable) {
    ASSERT_TRUE(LoadLanguageFile()) << LanguageFilePath();
    EXPECT_EQ(GetLanguageWord("Const", "Next"), "Weiter");
    EXPECT_EQ(FatalLanguageFileMessage("/x/Default.lang"),
              "Fatal Error - LanguageFile \"/x/Default.lang\" not found. Exiting program.");
}

TEST(FormatPatternTest, FillsPlaceholdersInOrder) {
    EXPECT_EQ(FormatPattern("%s von %s (%s)", {"1", "2", "3,5"}), "1 von 2 (3,5)");
    EXPECT_EQ(FormatPattern("no args", {"x"}), "no args");
    EXPECT_EQ(FormatPattern("%s and %s", {"one"}), "one and ");
}

TEST(GetFieldTest, SplitsAtSeparator) {
    struct Case {
        const char* text;
        char separator;
        int n;
        const char* field;
    } cases[] = {
        {"a;b", ';', 1, "a"},  {"a;b", ';', 2, "b"},          {"a;b", ';', 3, ""},
        {"Label_Welcome_1", '_', 1, "Label"}, {"plain", ';', 1, "plain"}, {"", ';', 1, ""},
        {"dog.png;Rex;2003", ';', 2, "Rex"},  {"cat.gif", ';', 2, ""},   {"a;", ';', 2, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(GetField(c.text, c.separator, c.n), c.field) << c.text << " #" << c.n;
    }
}

}  // namespace
}  // namespace pixadra
