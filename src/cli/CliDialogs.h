#pragma once
// The engine's messages and questions on standard error. Questions are answered from the
// command's --yes: with it the affirmative button (what Enter presses), without it the safe one
// (what Escape presses). Installs itself as the dialog presenter for its lifetime.
#include <functional>
#include <string>

#include "support/Dialogs.h"

namespace pixadra::cli {

class CliDialogs : public DialogPresenter {
  public:
    // `beforeOutput` runs before anything is printed (it clears a drawn progress bar).
    CliDialogs(bool answerYes, std::function<void()> beforeOutput = nullptr);
    ~CliDialogs() override;
    CliDialogs(const CliDialogs&) = delete;
    CliDialogs& operator=(const CliDialogs&) = delete;

    int Present(const DialogRequest& request) override;
    void PresentPlain(const std::string& text) override;

    // A question was answered No (or Cancel) because --yes was not given.
    bool DeclinedAQuestion() const { return declined_; }

  private:
    bool answerYes_;
    bool declined_ = false;
    std::function<void()> beforeOutput_;
    DialogPresenter* previous_;
};

}  // namespace pixadra::cli
