#include "support/Dialogs.h"

#include <iostream>

#include "support/ApplicationTitle.h"
#include "support/Language.h"

namespace pixadra {
namespace {
DialogPresenter* g_presenter = nullptr;

const char* KindTitleKey(int kind) {
    switch (kind) {
        case kDlgWarning: return "dlg_warning";
        case kDlgError: return "dlg_error";
        case kDlgInformation: return "dlg_information";
        case kDlgConfirmation: return "dlg_confirmation";
        default: return nullptr;
    }
}
}  // namespace

void SetDialogPresenter(DialogPresenter* presenter) { g_presenter = presenter; }
DialogPresenter* CurrentDialogPresenter() { return g_presenter; }


int ShowLanguageDialog(const std::string& text, int kind, int buttons) {
    // All four captions are looked up every time, as the words may be missing.
    const std::string ok = GetLanguageWord("Const", "OK");
    const std::string yes = GetLanguageWord("Const", "Yes");
    const std::string no = GetLanguageWord("Const", "No");
    const std::string cancel = GetLanguageWord("Const", "Cancel");
    switch (buttons) {
        case 4: case 8: case 1: case 2: case 12: case 3: case 9: case 11: break;
        default: return kResultNone;
    }
    DialogRequest request;
    request.text = text;
    request.kind = kind;
    if (const char* key = KindTitleKey(kind)) {
        request.title = GetLanguageWord("Const", key) + " - " + ApplicationTitle();
    }
    if (buttons & kBtnYes) request.buttons.push_back({yes, kResultYes});
    if (buttons & kBtnNo) request.buttons.push_back({no, kResultNo});
    if (buttons & kBtnOk) request.buttons.push_back({ok, kResultOk});
    if (buttons & kBtnCancel) request.buttons.push_back({cancel, kResultCancel});
    request.enterResult = (buttons & kBtnOk) ? kResultOk : (buttons & kBtnYes) ? kResultYes : 0;
    request.escapeResult = (buttons & kBtnCancel) ? kResultCancel
                           : (buttons & kBtnNo)   ? kResultNo
                           : (buttons & kBtnOk)   ? kResultOk
                                                  : 0;
    request.closeResult = kResultCancel;
    if (!g_presenter) {
        std::cerr << request.title << ": " << text << "\n";
        return request.closeResult;
    }
    return g_presenter->Present(request);
}

void ShowPlainMessage(const std::string& text) {
    if (g_presenter) {
        g_presenter->PresentPlain(text);
    } else {
        std::cerr << text << "\n";
    }
}

}  // namespace pixadra
