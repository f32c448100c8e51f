#pragma once
// The window's progress outputs for the engine: Gauge_Main as the bar, Label_Gauge as the
// label, and one pass of the event loop after each change so the window stays responsive.
#include "support/Progress.h"

class QLabel;
class QProgressBar;

namespace pixadra {

class GaugeOutputs : public ProgressBar, public ProgressLabel {
public:
    void Bind(QProgressBar* bar, QLabel* label);
    int Position() const override;
    void SetPosition(int percent) override;
    void SetText(const std::string& text) override;
    // Both outputs and the event pass (what every long procedure of the wizard gets).
    Progress Outputs();

private:
    QProgressBar* bar_ = nullptr;
    QLabel* label_ = nullptr;
};

}  // namespace pixadra
