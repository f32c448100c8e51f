#pragma once
// The engine's one way to show messages and ask questions. Front ends install a presenter:
// the wizard shows a modal message box, the command line answers from its flags, tests
// script the answers.
#include <string>
#include <vector>

namespace pixadra {

enum DialogKind { kDlgWarning = 0, kDlgError = 1, kDlgInformation = 2, kDlgConfirmation = 3, kDlgCustom = 4 };

// Button sets are sums of these.
enum DialogButton { kBtnYes = 1, kBtnNo = 2, kBtnOk = 4, kBtnCancel = 8 };
constexpr int kButtonsOk = kBtnOk;
constexpr int kButtonsYesNo = kBtnYes | kBtnNo;

// Modal results.
enum ModalResult { kResultNone = 0, kResultOk = 1, kResultCancel = 2, kResultYes = 6, kResultNo = 7 };

struct DialogChoice {
    std::string caption;
    int result = 0;
};

// Everything a front end needs to show one dialog; built by ShowLanguageDialog.
struct DialogRequest {
    std::string text;
    int kind = kDlgInformation;
    std::string title;                  // empty for the custom kind: the front end's default title
    std::vector<DialogChoice> buttons;  // in their order on the dialog: Yes, No, OK, Cancel
    int enterResult = 0;                // what Enter presses
    int escapeResult = 0;               // what Escape presses
    int closeResult = kResultCancel;    // closing by the title bar
};

class DialogPresenter {
public:
    virtual ~DialogPresenter() = default;
    // Shows the dialog modally and returns the pressed button's result.
    virtual int Present(const DialogRequest& request) = 0;
    // A plain message box with OK whose text is not looked up in the language file.
    virtual void PresentPlain(const std::string& text) = 0;
};

// The process-wide presenter; without one, dialogs answer closeResult and plain messages go to stderr.
void SetDialogPresenter(DialogPresenter* presenter);
DialogPresenter* CurrentDialogPresenter();

// Shows `text` with the kind's title and the set's captions from the language file; returns the
// modal result, or 0 without showing anything when `buttons` is not one of the eight known sets.
int ShowLanguageDialog(const std::string& text, int kind, int buttons);

// A plain message with OK (used for "Old_Database", which is not looked up).
void ShowPlainMessage(const std::string& text);

}  // namespace pixadra
