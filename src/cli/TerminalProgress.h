#pragma once
// Progress of the engine on standard error: on a terminal a one-line bar with the engine's label
// ("[#####     ]  42% label"), redrawn in place; otherwise one line per new label.
#include <string>

#include "support/Progress.h"

namespace pixadra::cli {

class TerminalProgress : public ProgressBar, public ProgressLabel {
  public:
    // `interactive`: draw the bar in place (standard error is a terminal).
    explicit TerminalProgress(bool interactive);
    ~TerminalProgress() override;
    TerminalProgress(const TerminalProgress&) = delete;
    TerminalProgress& operator=(const TerminalProgress&) = delete;

    int Position() const override { return position_; }
    void SetPosition(int percent) override;
    void SetText(const std::string& text) override;

    // Removes a drawn bar so that a message can be printed on a clean line; the next update
    // draws it again.
    void ClearLine();

    // Bar and label bound to this object; events need no processing.
    Progress Outputs();

  private:
    void Draw();

    bool interactive_;
    bool drawn_ = false;
    int position_ = 0;
    std::string label_;
};

// The bar line without the carriage return: "[" + filled cells + "] " + percent + "% " + label,
// the label cut (by characters) so that the line fits `columns` (0: no limit).
std::string FormatProgressLine(int percent, const std::string& label, int columns);

// Standard error is a terminal.
bool StandardErrorIsTerminal();

}  // namespace pixadra::cli
