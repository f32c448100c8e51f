// The edit page: a database's tiles one line each, a tile's details and preview, exporting
// and deleting tiles, and deleting the whole database. Deleted tiles leave the index only
// when "Weiter" rewrites it.
#include <QCoreApplication>
#include <QListWidget>

#include "FileChooser.h"
#include "PreviewView.h"
#include "TPixadra_Main.h"
#include "WindowScopes.h"
#include "engine/DatabaseFiles.h"
#include "engine/LoadedTiles.h"
#include "engine/Maintenance.h"
#include "imaging/BmpWriter.h"
#include "imaging/PictureLoader.h"
#include "imaging/Resampling.h"
#include "support/Dialogs.h"
#include "support/FileSystem.h"
#include "support/Language.h"
#include "support/Text.h"
#include "ui_TPixadra_Main.h"

namespace pixadra {
namespace {

QString DeletedLine() { return "*" + Word("Const", "Deleted") + "*"; }

// The tile of the focused line, or null when there is none or it is deleted.
const TDataBaseTile* FocusedTile(const QListWidget* list) {
    const int row = list->currentRow();
    const auto& tiles = LoadedTiles();
    if (row < 0 || static_cast<std::size_t>(row) >= tiles.size()) return nullptr;
    return tiles[static_cast<std::size_t>(row)].get();
}

}  // namespace

std::string TPixadra_Main::EditedDataBasePath() const {
    return databaseFolder_ + ui_->Combo_Existing_Del->currentText().toStdString();
}

void TPixadra_Main::SetTileInfo(const QString& resolution, const QString& fileName, const QString& source) {
    const std::pair<QLabel*, QLabel*> rows[] = {{ui_->Label_Resolution_Front, ui_->Label_Resolution},
                                                {ui_->Label_FileName_Front, ui_->Label_FileName},
                                                {ui_->Label_SourceName_Front, ui_->Label_SourceName}};
    const QString values[] = {resolution, fileName, source};
    for (int i = 0; i < 3; ++i) {
        rows[i].second->setText(values[i]);
        rows[i].first->setToolTip(values[i]);
        rows[i].second->setToolTip(values[i]);
    }
}

void TPixadra_Main::LoadDataBaseToListBox() {
    const Progress progress = gauge_.Outputs();
    progress.Begin(GetLanguageWord("GaugeMessages", "PrepareListbox"));
    QListWidget* list = ui_->ListBox_DataBase;
    list->setUpdatesEnabled(false);
    list->clear();
    const auto& tiles = LoadedTiles();
    const std::size_t count = tiles.size();
    // Line numbers are as wide as the last index: 0..9 with one digit, 00..10 with two.
    const std::size_t digits = count > 0 ? std::to_string(count - 1).size() : 1;
    QStringList lines;
    lines.reserve(static_cast<qsizetype>(count));
    for (std::size_t i = 0; i < count; ++i) {
        if (tiles[i]) {
            std::string number = std::to_string(i);
            number.insert(0, digits - number.size(), '0');
            lines << QString::fromStdString(number + "   -   " + ToDisplayUtf8(tiles[i]->Source));
        } else {
            lines << DeletedLine();
        }
        progress.Update(static_cast<int>((i + 1) * 100 / count));
    }
    list->addItems(lines);
    list->setUpdatesEnabled(true);
    progress.End();
}

void TPixadra_Main::ListBox_DataBaseClick() {
    RunHandler([this] {
        const TDataBaseTile* tile = FocusedTile(ui_->ListBox_DataBase);
        if (!tile) {
            ui_->Image_Preview->Clear();
            return;
        }
        const std::string path = EditedDataBasePath();
        const auto jpeg = ReadTileJpeg(path, tile->DataOffset, tile->DataSize);
        const Bitmap picture = DecodeJpeg(jpeg.data(), jpeg.size(), "a tile of the database \"" + path + "\"");
        SetTileInfo(QStringLiteral("%1x%2").arg(picture.Width()).arg(picture.Height()),
                    QString::fromStdString(ToDisplayUtf8(tile->FileName)),
                    QString::fromStdString(ToDisplayUtf8(tile->Source)));
        Bitmap fitted;
        if (FitIntoBox(picture, fitted, ui_->Image_Preview->Width(), ui_->Image_Preview->Height())) {
            ui_->Image_Preview->Show(fitted);
        }
    });
}

void TPixadra_Main::Btn_DBDel_DelClick() {
    RunHandler([this] {
        ui_->Image_Preview->Clear();
        QListWidget* list = ui_->ListBox_DataBase;
        list->setUpdatesEnabled(false);
        auto& tiles = LoadedTiles();
        const int rows = std::min<int>(list->count(), static_cast<int>(tiles.size()));
        for (int i = 0; i < rows; ++i) {
            if (!tiles[static_cast<std::size_t>(i)] || !list->item(i)->isSelected()) continue;
            tiles[static_cast<std::size_t>(i)].reset();
            list->item(i)->setText(DeletedLine());
        }
        list->setUpdatesEnabled(true);
    });
}

void TPixadra_Main::Btn_DBDel_SavePictureClick() {
    RunHandler([this] {
        const TDataBaseTile* tile = FocusedTile(ui_->ListBox_DataBase);
        if (!tile) return;
        const std::string path = EditedDataBasePath();
        const auto jpeg = ReadTileJpeg(path, tile->DataOffset, tile->DataSize);
        const Bitmap picture = DecodeJpeg(jpeg.data(), jpeg.size(), "a tile of the database \"" + path + "\"");
        auto chosen = services_.files->SaveTileBitmap();
        if (!chosen) return;
        std::string name = *chosen;
        if (UpperExtension(name) != ".BMP") name += ".bmp";
        if (FileExists(name)) {
            const int answer = ShowLanguageDialog(FormatLanguageWord("Messages", "ConfirmFileOverwrite", {name}),
                                                  kDlgConfirmation, kButtonsYesNo);
            if (answer != kResultYes) return;
        }
        SaveBitmapAsBmp(picture, name);
    });
}

void TPixadra_Main::Btn_DBDel_DelDatabaseClick() {
    RunHandler([this] {
        if (!DeleteDataBase(EditedDataBasePath(), true)) return;
        ui_->Image_Preview->Clear();
        RefreshDataBaseLists();
        ActivateLayer("Layer_DBWelcome");
    });
}

}  // namespace pixadra
