// Runs every registered test class of the wizard on Qt's offscreen platform, with the
// settings in a temporary folder and German number formats.
#include <QApplication>
#include <QLocale>
#include <QTemporaryDir>
#include <QtTest>

#include "MovieFrameSource.h"
#include "UiTestSupport.h"
#include "support/Language.h"

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    pixadra::MovieFrameSource::ChooseBackend();
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    pixadra::LoadLanguageFile();
    int failed = 0;
    for (const auto& make : pixadra::uitest::TestRegistry()) {
        auto test = make();
        failed += QTest::qExec(test.get(), argc, argv) != 0 ? 1 : 0;
    }
    return failed == 0 ? 0 : 1;
}
