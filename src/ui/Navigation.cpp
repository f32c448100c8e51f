// The start-up and the page graph that "Weiter" and "Zurück" follow.
#include <QListWidget>

#include "PreviewView.h"
#include "SpinValue.h"
#include "TPixadra_Main.h"
#include "WindowScopes.h"
#include "engine/AddPictures.h"
#include "engine/CancelFlag.h"
#include "engine/DatabaseFiles.h"
#include "engine/LoadedTiles.h"
#include "engine/Maintenance.h"
#include "engine/RenderJob.h"
#include "support/ApplicationTitle.h"
#include "support/Dialogs.h"
#include "support/FileSystem.h"
#include "support/Language.h"
#include "support/Rounding.h"
#include "ui_TPixadra_Main.h"

namespace pixadra {
namespace {

// Every message of the navigation: information with OK; the page stays.
void Inform(const char* key) { ShowLanguageDialog(GetLanguageWord("Messages", key), kDlgInformation, kButtonsOk); }

}  // namespace

void TPixadra_Main::FormShow() {
    RunHandler([this] {
        ui_->Label_Version->setText(QStringLiteral("V4.1.0"));
        SetApplicationTitle("Pixadra 4.1.0");
        setWindowTitle(QStringLiteral("Pixadra 4.1.0"));
        ActivateLayer("Layer_Blank");
        LoadFromRegistry();
        SetLanguage();
        // The captions just set include the built-in texts of these two labels; they must
        // show the values the settings brought instead.
        TrackBar_DBResolutionChange();
        TrackBar_BlendFactorChange();
        OfferOldDataBases(databaseFolder_);
        Btn_NextClick();
    });
}

void TPixadra_Main::Btn_NextClick() {
    RunHandler([this] {
        SaveToRegistry();
        ui_->Label_PictureSize->clear();
        // Exactly one branch, chosen by the page shown when "Weiter" was pressed.
        if (LayerActive("Layer_Blank")) {
            ActivateLayer("Layer_Welcome");
        } else if (LayerActive("Layer_Welcome")) {
            RefreshDataBaseLists();
            ActivateLayer("Layer_DBWelcome");
            ui_->Btn_Prev->setEnabled(true);
        } else if (LayerActive("Layer_DBWelcome")) {
            NextFromDBWelcome();
        } else if (LayerActive("Layer_ChooseSource")) {
            if (ui_->Radio_ChooseSource_Folder->isChecked()) ActivateLayer("Layer_DBAdd");
            if (ui_->Radio_ChooseSource_Movie->isChecked()) ActivateLayer("Layer_RenderMovie");
        } else if (LayerActive("Layer_DBAdd")) {
            NextFromDBAdd();
        } else if (LayerActive("Layer_RenderMovie")) {
            ui_->Image_Preview->Clear();
            ActivateLayer("Layer_File");
        } else if (LayerActive("Layer_DBDel")) {
            {
                BusyScope busy(*this);
                SaveDataBaseIndex(EditedDataBasePath(), gauge_.Outputs());
            }
            ActivateLayer("Layer_File");
            ui_->Image_Preview->Clear();
        } else if (LayerActive("Layer_File")) {
            if (inputPath_.empty() || !FileExists(inputPath_)) {
                Inform("NoOpenPicture");
            } else if (outputPath_.empty()) {
                Inform("NoSavePicture");
            } else {
                RefreshDataBaseLists();
                if (ui_->ListBox_DB->count() > 0) ui_->ListBox_DB->setCurrentRow(0);
                ActivateLayer("Layer_ChooseDataBase");
            }
        } else if (LayerActive("Layer_ChooseDataBase")) {
            bool anyChecked = false;
            for (int i = 0; i < ui_->ListBox_DB->count(); ++i) {
                anyChecked = anyChecked || ui_->ListBox_DB->item(i)->checkState() == Qt::Checked;
            }
            if (anyChecked) {
                ActivateLayer("Layer_Options");
                Spin_TileCountChange(ui_->Spin_TileCount);
            } else {
                Inform("NoDataBaseChoosen");
            }
        } else if (LayerActive("Layer_Options")) {
            NextFromOptions();
        } else if (LayerActive("Layer_Blend")) {
            BlendSave();
        } else if (LayerActive("Layer_Done")) {
            close();
        }
    });
}

void TPixadra_Main::NextFromDBWelcome() {
    if (ui_->CheckBox_DBWelcome_SearchDataBase->isChecked()) {
        if (ui_->Radio_DBWelcome_Existing->isChecked()) {
            ui_->CheckBox_DBAdd_Sync->setEnabled(true);
            if (ui_->Combo_Existing_Add->currentText().isEmpty()) return Inform("NoDataBaseChoosen");
        } else {
            ui_->CheckBox_DBAdd_Sync->setEnabled(false);
            if (CleanDataBaseName(ui_->Edit_NewDB->text().toStdString()).empty()) return Inform("NoDataBaseName");
        }
        ActivateLayer("Layer_ChooseSource");
    }
    if (ui_->CheckBox_DBWelcome_DelDataBase->isChecked()) {
        if (ui_->Combo_Existing_Del->currentText().isEmpty()) return Inform("NoDataBaseChoosen");
        EnterEditPage();
        ActivateLayer("Layer_DBDel");
    }
    if (!ui_->CheckBox_DBWelcome_SearchDataBase->isChecked() && !ui_->CheckBox_DBWelcome_DelDataBase->isChecked()) {
        ActivateLayer("Layer_File");
    }
}

void TPixadra_Main::EnterEditPage() {
    BusyScope busy(*this);
    LoadDataBase(true, EditedDataBasePath(), false, gauge_.Outputs());
    LoadDataBaseToListBox();
    ui_->Label_Database->setText(ui_->Combo_Existing_Del->currentText());
    ui_->Label_Database->setToolTip(ui_->Combo_Existing_Del->currentText());
    SetTileInfo(QString(), QString(), QString());
}

void TPixadra_Main::NextFromDBAdd() {
    const std::string folder = ui_->Edit_DBSearchDir->text().toStdString();
    if (!folder.empty() && FolderExists(folder)) {
        BusyScope busy(*this);
        ui_->Btn_Cancel->show();
        struct HideCancel {
            QPushButton* button;
            ~HideCancel() { button->hide(); }
        } hideCancel{ui_->Btn_Cancel};
        const long double s = ui_->TrackBar_DBResolution->value();
        const bool existing = ui_->Radio_DBWelcome_Existing->isChecked();
        AddPicturesToDatabase(folder, ui_->CheckBox_DBAdd_Rekursive->isChecked(),
                              existing && ui_->CheckBox_DBAdd_Sync->isChecked(), TargetDataBasePath(),
                              ui_->CheckBox_DBAdd_Preview->isChecked(), ui_->Image_Preview, Trunc(s * s),
                              Trunc((s / 2) * (s / 2)), gauge_.Outputs());
    }
    ui_->Image_Preview->Clear();
    // The only place that clears the cancel flag: a cancelled run stays on this page.
    if (CancelFlag()) {
        CancelFlag() = false;
    } else {
        ActivateLayer("Layer_File");
    }
}

void TPixadra_Main::NextFromOptions() {
    BusyScope busy(*this);
    RenderRequest request;
    request.inputPath = inputPath_;
    request.inputWidth = inputWidth_;
    request.inputHeight = inputHeight_;
    request.outputPath = outputPath_;
    request.databaseFolder = databaseFolder_;
    for (int i = 0; i < ui_->ListBox_DB->count(); ++i) {
        const QListWidgetItem* item = ui_->ListBox_DB->item(i);
        if (item->checkState() == Qt::Checked) request.databaseNames.push_back(item->text().toStdString());
    }
    request.tileCount = static_cast<int32_t>(SpinValue(ui_->Spin_TileCount));
    request.tileWidth = static_cast<int32_t>(SpinValue(ui_->Spin_TileResolution));
    request.tileHeight = static_cast<int32_t>(SpinValue(ui_->Spin_TileResolution_2));
    request.useLimit = static_cast<int32_t>(SpinValue(ui_->Spin_MaxCount));
    request.shape = FormatType();
    request.sourcesTable = ui_->CheckBox_File_CreateSourcesTable->isChecked();
    RenderOutcome outcome;
    try {
        outcome = RenderMosaic(request, ui_->Image_Preview, gauge_.Outputs());
    } catch (...) {
        outputPath_ = request.outputPath;  // the job may have given the name its ".bmp" already
        throw;
    }
    outputPath_ = request.outputPath;
    switch (outcome) {
        case RenderOutcome::Previewed:
            ActivateLayer("Layer_Blend");
            break;
        case RenderOutcome::Unreadable:
            ShowDoneWithClose();
            break;
        case RenderOutcome::Declined:
            break;
    }
}

void TPixadra_Main::ShowDoneWithClose() {
    ActivateLayer("Layer_Done");
    ui_->Image_Preview->Clear();
    ui_->Btn_Next->setText(Word("Const", "Close"));
}

void TPixadra_Main::Btn_PrevClick() {
    RunHandler([this] {
        RefreshDataBaseLists();
        ui_->Label_PictureSize->clear();
        if (LayerActive("Layer_DBWelcome")) {
            ActivateLayer("Layer_Welcome");
            ui_->Btn_Prev->setEnabled(false);
        } else if (LayerActive("Layer_ChooseSource")) {
            ActivateLayer("Layer_DBWelcome");
            RefreshDataBaseLists();
        } else if (LayerActive("Layer_DBAdd") || LayerActive("Layer_RenderMovie")) {
            ui_->Image_Preview->Clear();
            ActivateLayer("Layer_DBWelcome");
            RefreshDataBaseLists();
        } else if (LayerActive("Layer_DBDel")) {
            // The deletions made on the edit page are dropped.
            ui_->Image_Preview->Clear();
            RefreshDataBaseLists();
            ActivateLayer("Layer_DBWelcome");
        } else if (LayerActive("Layer_File")) {
            PrevFromFile();
        } else if (LayerActive("Layer_ChooseDataBase")) {
            ui_->Image_Preview->Clear();
            ui_->Label_File_in->setText(NoneCaption());
            ui_->Label_File_Out->setText(NoneCaption());
            ui_->Label_File_in->setToolTip(QString());
            ui_->Label_File_Out->setToolTip(QString());
            outputPath_.clear();
            inputPath_.clear();
            ActivateLayer("Layer_File");
        } else if (LayerActive("Layer_Options")) {
            RefreshDataBaseLists();
            ActivateLayer("Layer_ChooseDataBase");
        } else if (LayerActive("Layer_Blend")) {
            ActivateLayer("Layer_Options");
            Spin_TileCountChange(ui_->Spin_TileCount);
        } else if (LayerActive("Layer_Done")) {
            ui_->Btn_Next->setText(Word("Const", "Next"));
            ActivateLayer("Layer_Welcome");
            ui_->Btn_Prev->setEnabled(false);
        }
    });
}

void TPixadra_Main::PrevFromFile() {
    const bool adding = ui_->CheckBox_DBWelcome_SearchDataBase->isChecked();
    const bool editing = ui_->CheckBox_DBWelcome_DelDataBase->isChecked();
    if (adding) {
        if (ui_->Radio_ChooseSource_Folder->isChecked()) {
            ui_->Image_Preview->Clear();
            ActivateLayer("Layer_DBAdd");
        }
        if (ui_->Radio_ChooseSource_Movie->isChecked()) {
            ui_->Image_Preview->Clear();
            ActivateLayer("Layer_RenderMovie");
        }
    }
    if (editing) {
        ActivateLayer("Layer_DBDel");
        ui_->Image_Preview->Clear();
        EnterEditPage();
    }
    if (!adding && !editing) ActivateLayer("Layer_DBWelcome");
}

}  // namespace pixadra
