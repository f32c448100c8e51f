// The picture, the mosaic file, the search folder and the database folder, chosen in
// dialogs; and the two link icons.
#include <QUrl>

#include "FileChooser.h"
#include "PathShortening.h"
#include "PreviewView.h"
#include "TPixadra_Main.h"
#include "WindowScopes.h"
#include "imaging/PictureLoader.h"
#include "imaging/Resampling.h"
#include "support/Dialogs.h"
#include "support/Language.h"
#include "support/Text.h"
#include "ui_TPixadra_Main.h"

namespace pixadra {

QString TPixadra_Main::NoneCaption() const { return "(" + Word("Const", "None") + ")"; }

void TPixadra_Main::ShowShortenedPath(QLabel* label, const std::string& path) {
    label->setText(ShortenPath(QString::fromStdString(path), label->fontMetrics(), label->width()));
    label->setToolTip(QString::fromStdString(path));
}

void TPixadra_Main::Btn_File_OpenClick() {
    RunHandler([this] {
        const auto chosen = services_.files->OpenPicture(openDir_);
        if (!chosen) {
            inputPath_.clear();
            ui_->Label_File_in->setText(NoneCaption());
            ui_->Label_File_in->setToolTip(QString());
            return;
        }
        inputPath_ = *chosen;
        lastPictureName_ = *chosen;
        openDir_ = FolderOf(*chosen);
        Bitmap loaded;
        bool ok = LoadPicture(inputPath_, loaded);
        if (ok && previewBitmap_) {
            Bitmap fitted;
            ok = FitIntoBox(loaded, fitted, ui_->Image_Preview->Width(), ui_->Image_Preview->Height());
            if (ok) *previewBitmap_ = std::move(fitted);
        }
        if (ok && previewBitmap_) {
            ui_->Image_Preview->Show(*previewBitmap_);
            inputWidth_ = loaded.Width();
            inputHeight_ = loaded.Height();
            ShowShortenedPath(ui_->Label_File_in, inputPath_);
            return;
        }
        // The preview and the recorded size keep what the last good picture left.
        ShowLanguageDialog(FormatLanguageWord("Messages", "ErrorOpenPicture", {*chosen}), kDlgInformation,
                           kButtonsOk);
        inputPath_.clear();
        ui_->Label_File_in->setText(NoneCaption());
        ui_->Label_File_in->setToolTip(QString());
    });
}

void TPixadra_Main::Btn_File_SaveClick() {
    RunHandler([this] {
        const auto chosen = services_.files->SaveMosaic(saveDir_);
        if (!chosen) {
            outputPath_.clear();
            ui_->Label_File_Out->setText(NoneCaption());
            ui_->Label_File_Out->setToolTip(QString());
            return;
        }
        // Taken exactly as given; the render job adds ".bmp" when the name lacks it.
        outputPath_ = *chosen;
        lastMosaicName_ = *chosen;
        saveDir_ = FolderOf(*chosen);
        ShowShortenedPath(ui_->Label_File_Out, outputPath_);
    });
}

void TPixadra_Main::dBitBtn3Click() {
    RunHandler([this] {
        const auto chosen = services_.files->ChooseFolder(GetLanguageWord("Const", "SearchDir"));
        ui_->Edit_DBSearchDir->setText(chosen ? QString::fromStdString(*chosen) : QString());
    });
}

void TPixadra_Main::Btn_ChooseSource_DBDirClick() {
    RunHandler([this] {
        const auto chosen = services_.files->ChooseFolder(GetLanguageWord("Const", "SearchDir"));
        ui_->Edit_ChooseSource_DBDir->setText(chosen ? QString::fromStdString(*chosen) : QString());
        if (!chosen) return;  // the database folder stays as it was
        databaseFolder_ = WithTrailingSlash(*chosen);
        SaveToRegistry();
        RefreshDataBaseLists();
    });
}

void TPixadra_Main::OpenLink(const QUrl& url) {
    if (services_.openUrl) services_.openUrl(url);
}

}  // namespace pixadra
