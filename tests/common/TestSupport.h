#pragma once
// Helpers shared by the test suites: temporary folders, scripted dialog answers and a
// recorder of progress updates.
#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "support/Dialogs.h"
#include "support/Progress.h"

namespace pixadra::testing {

// A fresh folder under the system's temporary folder, removed with its content at the end.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    // The folder with a trailing "/".
    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + name; }

private:
    std::string path_;
};

// Answers dialogs from a script and records every request; installs itself as the presenter
// for its lifetime.
class ScriptedDialogs : public DialogPresenter {
public:
    ScriptedDialogs();
    ~ScriptedDialogs() override;
    void Answer(int result) { answers_.push_back(result); }
    int Present(const DialogRequest& request) override;
    void PresentPlain(const std::string& text) override;

    std::vector<DialogRequest> requests;
    std::vector<std::string> plainMessages;

private:
    std::deque<int> answers_;
    DialogPresenter* previous_ = nullptr;
};

// Records the bar positions and label texts in order.
class ProgressRecorder : public ProgressBar, public ProgressLabel {
public:
    int Position() const override { return position_; }
    void SetPosition(int percent) override {
        position_ = percent;
        positions.push_back(percent);
    }
    void SetText(const std::string& text) override { labels.push_back(text); }
    Progress Outputs() {
        return Progress{this, this, [this] { ++eventPasses; }};
    }

    std::vector<int> positions;
    std::vector<std::string> labels;
    int eventPasses = 0;

private:
    int position_ = 0;
};

// Path of a file in ../shared/testdata, or empty when that folder is absent.
std::string TestDataPath(const std::string& relative);
bool HasTestData();

void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadFileText(const std::string& path);

}  // namespace pixadra::testing
