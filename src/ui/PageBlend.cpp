// The cross-fade page: the original laid over the finished mosaic, previewed and saved.
#include "PreviewView.h"
#include "SpinValue.h"
#include "TPixadra_Main.h"
#include "WindowScopes.h"
#include "engine/CrossFade.h"
#include "imaging/BmpWriter.h"
#include "imaging/Resampling.h"
#include "support/Dialogs.h"
#include "support/Language.h"
#include "ui_TPixadra_Main.h"

namespace pixadra {
namespace {

void CanNotBlend() { ShowLanguageDialog(GetLanguageWord("Messages", "CanNotBlend"), kDlgError, kButtonsOk); }

}  // namespace

bool TPixadra_Main::CrossFadeIntoBitmap(Bitmap& result) {
    // Everything is read anew each time: the mosaic file, the picture and the values of the
    // last render (only a render leads to this page).
    return CrossFadeTheBitmaps(outputPath_, inputPath_, SpinValue(ui_->Spin_TileCount), FormatType(),
                               ui_->TrackBar_BlendFactor->value(), result);
}

void TPixadra_Main::Btn_Blend_PreviewClick() {
    RunHandler([this] {
        BusyScope busy(*this);
        Bitmap result;
        Bitmap fitted;
        if (CrossFadeIntoBitmap(result) &&
            FitIntoBox(result, fitted, ui_->Image_Preview->Width(), ui_->Image_Preview->Height())) {
            ui_->Image_Preview->Show(fitted);
        } else {
            CanNotBlend();
        }
    });
}

void TPixadra_Main::TrackBar_BlendFactorChange() {
    ui_->Label_Blend->setText(QString::number(ui_->TrackBar_BlendFactor->value()) + " %");
}

void TPixadra_Main::BlendSave() {
    {
        BusyScope busy(*this);
        Bitmap result;
        if (CrossFadeIntoBitmap(result)) {
            // Written beside the mosaic and renamed over it: a failed save leaves it as it was.
            SaveBitmapAsBmp(result, outputPath_);
        } else {
            CanNotBlend();
        }
    }
    ShowDoneWithClose();
}

}  // namespace pixadra
