#pragma once
// Progress outputs handed to every long procedure: an optional bar (0..100 with a readable
// position), an optional label, and a way to process pending window events. The wizard binds
// them to its gauge, its label and the event loop; the command line to a terminal bar; tests
// to a recorder.
#include <functional>
#include <string>

namespace pixadra {

class ProgressBar {
public:
    virtual ~ProgressBar() = default;
    virtual int Position() const = 0;
    virtual void SetPosition(int percent) = 0;
};

class ProgressLabel {
public:
    virtual ~ProgressLabel() = default;
    virtual void SetText(const std::string& text) = 0;
};

struct Progress {
    ProgressBar* bar = nullptr;
    ProgressLabel* label = nullptr;
    std::function<void()> processEvents;

    bool Both() const { return bar != nullptr && label != nullptr; }
    void ProcessEvents() const {
        if (processEvents) processEvents();
    }

    // The common pattern, each step only when bar and label are both given:
    // Begin: bar 0, label text, process events.
    void Begin(const std::string& text) const {
        if (!Both()) return;
        bar->SetPosition(0);
        label->SetText(text);
        ProcessEvents();
    }
    // Update: set the bar and process events only when the percentage changed.
    void Update(int percent) const {
        if (!Both() || bar->Position() == percent) return;
        bar->SetPosition(percent);
        ProcessEvents();
    }
    // End: bar 0, label empty, process events.
    void End() const {
        if (!Both()) return;
        bar->SetPosition(0);
        label->SetText(std::string());
        ProcessEvents();
    }
};

}  // namespace pixadra
