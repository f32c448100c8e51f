// Shows the wizard as a user sees it and saves a PNG of the whole window for every page.
// Run by scripts/screenshots under Xvfb: pixadra_screenshot_tour <folder>.
#include <QApplication>
#include <QDir>
#include <QLocale>
#include <QPixmap>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

#include "UiTestSupport.h"
#include "support/Language.h"

using namespace pixadra;

namespace {

void Settle() {
    for (int i = 0; i < 10; ++i) QCoreApplication::processEvents();
}

void Save(QWidget& window, const QString& folder, const QString& name) {
    Settle();
    const QString path = folder + "/" + name + ".png";
    if (!window.grab().save(path)) std::fprintf(stderr, "could not write %s\n", qPrintable(path));
    std::printf("%s\n", qPrintable(path));
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <folder for the PNG files>\n", argv[0]);
        return 2;
    }
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    QApplication app(argc, argv);
    QApplication::setStyle("Fusion");
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);
    LoadLanguageFile();

    uitest::Sandbox sandbox;
    uitest::Harness harness(sandbox);
    TPixadra_Main& window = *harness.window;
    const char* pages[] = {"Layer_Welcome", "Layer_DBWelcome", "Layer_ChooseSource", "Layer_DBAdd",
                           "Layer_RenderMovie", "Layer_DBDel", "Layer_File", "Layer_ChooseDataBase",
                           "Layer_Options", "Layer_Blend", "Layer_Done", "Layer_Blank"};
    int n = 1;
    for (const char* page : pages) {
        window.ActivateLayer(page);
        Save(window, folder, QString("%1-%2").arg(n++, 2, 10, QChar('0')).arg(page));
    }
    return 0;
}
