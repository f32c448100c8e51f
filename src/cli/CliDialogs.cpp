#include "cli/CliDialogs.h"

#include <cstdio>

namespace pixadra::cli {
namespace {

// Dialog texts carry CR LF line breaks; a terminal wants LF.
std::string WithUnixLineBreaks(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c != '\r') out += c;
    }
    return out;
}

void PrintToStandardError(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fflush(stderr);
}

}  // namespace

CliDialogs::CliDialogs(bool answerYes, std::function<void()> beforeOutput)
    : answerYes_(answerYes), beforeOutput_(std::move(beforeOutput)), previous_(CurrentDialogPresenter()) {
    SetDialogPresenter(this);
}

CliDialogs::~CliDialogs() {
    SetDialogPresenter(previous_);
}

int CliDialogs::Present(const DialogRequest& request) {
    if (beforeOutput_) beforeOutput_();
    std::string out = request.title.empty() ? std::string() : request.title + ": ";
    out += WithUnixLineBreaks(request.text) + "\n";
    const int answer = answerYes_ ? request.enterResult : request.escapeResult;
    if (request.buttons.size() > 1) {
        // Only a real choice is worth reporting; a lone OK is simply acknowledged.
        for (const DialogChoice& choice : request.buttons) {
            if (choice.result == answer) out += "-> " + choice.caption;
        }
        if (answer == kResultNo || answer == kResultCancel) {
            declined_ = true;
            out += " (give --yes to go on anyway)";
        } else {
            out += " (--yes)";
        }
        out += "\n";
    }
    PrintToStandardError(out);
    return answer;
}

void CliDialogs::PresentPlain(const std::string& text) {
    if (beforeOutput_) beforeOutput_();
    PrintToStandardError(WithUnixLineBreaks(text) + "\n");
}

}  // namespace pixadra::cli
