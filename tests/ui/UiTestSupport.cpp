#include "UiTestSupport.h"

#include <QApplication>
#include <QCoreApplication>
#include <QSettings>
#include <QUrl>

#include "engine/CancelFlag.h"
#include "imaging/BmpWriter.h"
#include "support/FileSystem.h"
#include "support/Language.h"

namespace pixadra::uitest {
namespace {

std::optional<std::string> Take(std::deque<std::optional<std::string>>& queue) {
    if (queue.empty()) return std::nullopt;
    auto answer = queue.front();
    queue.pop_front();
    return answer;
}

}  // namespace

std::optional<std::string> ScriptedChooser::OpenPicture(const std::string& initialDir) {
    initialDirs.push_back(initialDir);
    return Take(pictures);
}
std::optional<std::string> ScriptedChooser::SaveMosaic(const std::string& initialDir) {
    initialDirs.push_back(initialDir);
    return Take(mosaics);
}
std::optional<std::string> ScriptedChooser::ChooseFolder(const std::string& prompt) {
    prompts.push_back(prompt);
    return Take(folders);
}
std::optional<std::string> ScriptedChooser::OpenMovie(const std::string& initialDir) {
    initialDirs.push_back(initialDir);
    return Take(movies);
}
std::optional<std::string> ScriptedChooser::SaveTileBitmap() { return Take(tileBitmaps); }

Sandbox::Sandbox() : settings(root.File("config")), documents(root.File("Documents")) {
    CreateFolders(settings);
    CreateFolders(documents);
    Activate();
}

void Sandbox::Activate() const {
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, QString::fromStdString(settings));
}

std::string Sandbox::SettingsFile() const { return settings + "/Pixadra/Pixadra.ini"; }

Harness::Harness(Sandbox& box, bool start)
    : sandbox(box),
      window(std::make_unique<TPixadra_Main>(WizardServices{
          &chooser, [this] { return sandbox.documents; }, [this] { return availableMemory; },
          [this](const QUrl& url) { openedUrls.push_back(url); },
          [this](const QString& message) { errors << message; }})),
      c(*window->Controls()) {
    sandbox.Activate();
    CancelFlag() = false;  // an earlier window's close set it
    if (start) Start();
}

Harness::~Harness() {
    ClosePopups();
    window->close();
    window.reset();
    // The next window reads the language file anew; tests in between still need words.
    LoadLanguageFile();
}

void Harness::Start() {
    window->show();
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
    ClosePopups();
}

Bitmap MakePicture(int width, int height, int seed) {
    Bitmap bitmap(width, height);
    for (int y = 0; y < height; ++y) {
        uint8_t* row = bitmap.Row(y);
        for (int x = 0; x < width; ++x) {
            row[3 * x] = static_cast<uint8_t>((x * 255) / std::max(1, width - 1));
            row[3 * x + 1] = static_cast<uint8_t>((y * 255) / std::max(1, height - 1));
            row[3 * x + 2] = static_cast<uint8_t>(((x / 7 + y / 5 + seed * 37) % 8) * 32);
        }
    }
    return bitmap;
}

void WritePicture(const std::string& path, int width, int height, int seed) {
    SaveBitmapAsBmp(MakePicture(width, height, seed), path);
}

void ClosePopups() {
    while (QWidget* popup = QApplication::activePopupWidget()) popup->close();
}

std::vector<TestFactory>& TestRegistry() {
    static std::vector<TestFactory> registry;
    return registry;
}

}  // namespace pixadra::uitest
