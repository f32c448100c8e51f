#pragma once
// What the wizard's tests share: file choices answered from a script, a sandbox for the
// settings, documents and databases, a window whose surroundings the test controls, and a
// registry that the test main runs.
#include <QObject>
#include <QStringList>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "FileChooser.h"
#include "TPixadra_Main.h"
#include "common/TestSupport.h"
#include "imaging/Bitmap.h"
#include "ui_TPixadra_Main.h"

namespace pixadra::uitest {

// Answers file and folder choices in order; an empty queue answers "cancelled".
class ScriptedChooser : public FileChooser {
public:
    std::optional<std::string> OpenPicture(const std::string& initialDir) override;
    std::optional<std::string> SaveMosaic(const std::string& initialDir) override;
    std::optional<std::string> ChooseFolder(const std::string& prompt) override;
    std::optional<std::string> OpenMovie(const std::string& initialDir) override;
    std::optional<std::string> SaveTileBitmap() override;

    std::deque<std::optional<std::string>> pictures, mosaics, folders, movies, tileBitmaps;
    std::vector<std::string> initialDirs;  // of every file dialog, in order
    std::vector<std::string> prompts;      // of every folder dialog
};

// Settings, documents and a database folder of their own, removed at the end.
class Sandbox {
public:
    Sandbox();
    // Points QSettings at this sandbox (every window made after this reads and writes here).
    void Activate() const;
    std::string SettingsFile() const;

    testing::TempFolder root;
    std::string settings;   // folder of Pixadra/Pixadra.ini
    std::string documents;  // stands for the user's documents folder
};

// A window made the way main() makes it, with everything it asks answered by the test.
class Harness {
public:
    explicit Harness(Sandbox& sandbox, bool start = true);
    ~Harness();
    // Shows the window and lets its first showing run (settings, captions, first "Weiter").
    void Start();

    Sandbox& sandbox;
    ScriptedChooser chooser;
    testing::ScriptedDialogs dialogs;
    QStringList errors;
    int64_t availableMemory = int64_t{1} << 40;
    std::vector<QUrl> openedUrls;
    std::unique_ptr<TPixadra_Main> window;
    Ui::TPixadra_Main& c;
};

// A picture with a colour gradient and a few blocks, so that scaled copies differ.
Bitmap MakePicture(int width, int height, int seed = 0);
// Writes it as a BMP file.
void WritePicture(const std::string& path, int width, int height, int seed = 0);

// Closes an open drop-down list, as a user clicking elsewhere would.
void ClosePopups();

// Test classes register themselves; the test main runs each with QTest::qExec.
using TestFactory = std::function<std::unique_ptr<QObject>()>;
std::vector<TestFactory>& TestRegistry();
struct RegisterTest {
    explicit RegisterTest(TestFactory factory) { TestRegistry().push_back(std::move(factory)); }
};
#define PIXADRA_UI_TEST(Class) \
    static const ::pixadra::uitest::RegisterTest registered##Class([] { return std::make_unique<Class>(); })

}  // namespace pixadra::uitest
