#pragma once
// What a command shares with the user while it runs: the engine's progress on standard error
// (none with --quiet) and its messages and questions, answered from --yes.
#include "cli/CliDialogs.h"
#include "cli/TerminalProgress.h"
#include "support/Progress.h"

namespace pixadra::cli {

class Console {
  public:
    Console(bool quiet, bool answerYes);

    // The progress outputs to hand to the engine; empty with --quiet.
    Progress Outputs();
    bool DeclinedAQuestion() const { return dialogs_.DeclinedAQuestion(); }
    // Clears a drawn progress bar before the command prints a message of its own.
    void ClearLine() { progress_.ClearLine(); }

  private:
    bool quiet_;
    TerminalProgress progress_;
    CliDialogs dialogs_;
};

}  // namespace pixadra::cli
