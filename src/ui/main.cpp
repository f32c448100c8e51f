// Starts the wizard: the language file first (the program cannot say anything without it),
// then the window and its event loop.
#include <QApplication>
#include <QMessageBox>

#include "MessageBoxPresenter.h"
#include "MovieFrameSource.h"
#include "TPixadra_Main.h"
#include "support/Language.h"

int main(int argc, char* argv[]) {
    pixadra::MovieFrameSource::ChooseBackend();
    QApplication app(argc, argv);
    QApplication::setApplicationName("Pixadra");
    QApplication::setStyle("Fusion");

    if (!pixadra::LoadLanguageFile()) {
        QMessageBox box(QMessageBox::Critical, "Pixadra",
                        QString::fromStdString(pixadra::FatalLanguageFileMessage(pixadra::LanguageFilePath())),
                        QMessageBox::Ok);
        box.exec();
        return 0;
    }

    pixadra::MessageBoxPresenter presenter;
    pixadra::SetDialogPresenter(&presenter);
    pixadra::TPixadra_Main window;
    presenter.SetParent(&window);
    window.show();
    const int code = app.exec();
    pixadra::SetDialogPresenter(nullptr);
    return code;
}
