// The options page: tile proportions, the mosaic's size figure, the grid preview, and the
// database resolution label of the adding page.
#include <QLineEdit>
#include <QLocale>

#include "PreviewView.h"
#include "SpinValue.h"
#include "TPixadra_Main.h"
#include "engine/TileGrid.h"
#include "imaging/Resampling.h"
#include "support/Language.h"
#include "support/Rounding.h"
#include "support/Text.h"
#include "ui_TPixadra_Main.h"

namespace pixadra {

int TPixadra_Main::FormatType() const {
    if (ui_->Radio_Options_FormatType_Landscape->isChecked()) return kShapeLandscape;
    if (ui_->Radio_Options_FormatType_Portrait->isChecked()) return kShapePortrait;
    return kShapeSquare;
}

void TPixadra_Main::Spin_TileCountChange(QObject* sender) {
    // Each phase swallows its own errors: the page never reports anything.
    try {
        AdjustTileProportions();
    } catch (...) {
    }
    if (!LayerActive("Layer_Options")) return;
    try {
        RefreshSizeAndGrid(sender == ui_->Spin_TileCount);
    } catch (...) {
    }
}

void TPixadra_Main::AdjustTileProportions() {
    QSpinBox* width = ui_->Spin_TileResolution;
    QSpinBox* height = ui_->Spin_TileResolution_2;
    const int64_t w = SpinValue(width);
    // Setting a value fires the fields' change events, which run this again from inside;
    // with the values in proportion by then, that inner run changes nothing.
    switch (FormatType()) {
        case kShapeSquare:
            width->setSingleStep(2);
            width->setMinimum(2);
            height->setMinimum(2);
            SetSpinValue(height, w);
            break;
        case kShapePortrait: {
            width->setSingleStep(3);
            width->setMinimum(3);
            height->setMinimum(4);
            SetSpinValue(width, Trunc(static_cast<long double>(w) / 3) * 3);
            const long double w2 = SpinValue(width);
            SetSpinValue(height, Trunc(w2 / 3 * 4));
            break;
        }
        default: {
            width->setSingleStep(4);
            width->setMinimum(4);
            height->setMinimum(3);
            SetSpinValue(width, Trunc(static_cast<long double>(w) / 4) * 4);
            const long double w2 = SpinValue(width);
            SetSpinValue(height, Trunc(w2 / 4 * 3));
            break;
        }
    }
}

void TPixadra_Main::RefreshSizeAndGrid(bool drawGrid) {
    const int64_t tileWidth = SpinValue(ui_->Spin_TileResolution);
    const int64_t tileHeight = SpinValue(ui_->Spin_TileResolution_2);
    const GridSize grid = CalcTileGrid(inputWidth_, inputHeight_, SpinValue(ui_->Spin_TileCount), FormatType());
    ui_->Label_PictureSize->setText(QString::fromStdString(FormatLanguageWord(
        "Other", "SizeLabel",
        {std::to_string(tileWidth * grid.Columns), std::to_string(tileHeight * grid.Rows)})));

    // 4 bytes for each pixel of the mosaic, in 128 bits: tile sizes and counts of up to 10^8
    // overflow 64 bits.
    const __int128 need = static_cast<__int128>(tileWidth) * grid.Columns * 4 * grid.Rows * tileHeight;
    const __int128 available = services_.availableMemory ? services_.availableMemory() : 0;
    QPalette palette = ui_->Label_PictureSize->palette();
    palette.setColor(QPalette::WindowText, available - need > 0 ? Qt::black : Qt::red);
    ui_->Label_PictureSize->setPalette(palette);

    if (!drawGrid || !previewBitmap_ || grid.Columns == 0 || grid.Rows == 0) return;
    Bitmap copy = *previewBitmap_;
    const int blockWidth = copy.Width() / grid.Columns;
    const int blockHeight = copy.Height() / grid.Rows;
    if (blockWidth == 0 || blockHeight == 0) return;
    Pixelate(copy, blockWidth, blockHeight);
    Bitmap fitted;
    if (FitIntoBox(copy, fitted, ui_->Image_Preview->Width(), ui_->Image_Preview->Height())) {
        ui_->Image_Preview->Show(fitted);
    }
}

void TPixadra_Main::TrackBar_DBResolutionChange() {
    const int64_t s = ui_->TrackBar_DBResolution->value();
    const long double megapixels = static_cast<long double>(s * s) / 1000000.0L;
    const std::string separator = QLocale().decimalPoint().toStdString();
    const std::string side = std::to_string(s);
    ui_->Label_DBResolution->setText(QString::fromStdString(
        FormatLanguageWord("Other", "ResolutionLabel", {FormatDecimal(megapixels, 4, separator), side, side})));
}

}  // namespace pixadra
