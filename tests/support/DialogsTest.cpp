#include <gtest/gtest.h>

#include "common/TestSupport.h"
#include "support/Dialogs.h"

namespace pixadra {
namespace {

TEST(ShowLanguageDialogTest, ButtonSetsCaptionsAndKeys) {
    struct Case {
        int set;
        std::vector<int> results;  // in dialog order
        int enter;
        int escape;
    } cases[] = {
        {4, {kResultOk}, kResultOk, kResultOk},
        {8, {kResultCancel}, 0, kResultCancel},
        {1, {kResultYes}, kResultYes, 0},
        {2, {kResultNo}, 0, kResultNo},
        {12, {kResultOk, kResultCancel}, kResultOk, kResultCancel},
        {3, {kResultYes, kResultNo}, kResultYes, kResultNo},
        {9, {kResultYes, kResultCancel}, kResultYes, kResultCancel},
        {11, {kResultYes, kResultNo, kResultCancel}, kResultYes, kResultCancel},
    };
    for (const auto& c : cases) {
        testing::ScriptedDialogs dialogs;
        ShowLanguageDialog("text", kDlgConfirmation, c.set);
        ASSERT_EQ(dialogs.requests.size(), 1u);
        const DialogRequest& r = dialogs.requests[0];
        std::vector<int> results;
        for (const auto& b : r.buttons) results.push_back(b.result);
        EXPECT_EQ(results, c.results) << "set " << c.set;
        EXPECT_EQ(r.enterResult, c.enter) << "set " << c.set;
        EXPECT_EQ(r.escapeResult, c.escape) << "set " << c.set;
        EXPECT_EQ(r.closeResult, kResultCancel);
    }
}

TEST(ShowLanguageDialogTest, TitlesCaptionsAndAnswers) {
    testing::ScriptedDialogs dialogs;
    dialogs.Answer(kResultNo);
    EXPECT_EQ(ShowLanguageDialog("Weiter?", kDlgWarning, kButtonsYesNo), kResultNo);
    const DialogRequest& r = dialogs.requests.at(0);
    EXPECT_EQ(r.title, "Warnung - Pixadra 4.1.0");
    EXPECT_EQ(r.buttons.at(0).caption, "Ja");
    EXPECT_EQ(r.buttons.at(1).caption, "Nein");

    ShowLanguageDialog("custom", kDlgCustom, kButtonsOk);
    EXPECT_EQ(dialogs.requests.at(1).title, "");  // the custom kind keeps the default title
}

TEST(ShowLanguageDialogTest, UnknownSetShowsNothing) {
    testing::ScriptedDialogs dialogs;
    for (int set : {0, 5, 6, 7, 10, 13, 15, 16}) EXPECT_EQ(ShowLanguageDialog("x", kDlgError, set), 0) << set;
    EXPECT_TRUE(dialogs.requests.empty());
}

}  // namespace
}  // namespace pixadra
