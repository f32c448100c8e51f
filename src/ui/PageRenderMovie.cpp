// The movie page: play a movie and add its current frame to the chosen database every few
// seconds until Stop or a failed grab.
#include <QFile>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTimer>

#include "MovieFrameSource.h"
#include "PreviewView.h"
#include "SpinValue.h"
#include "TPixadra_Main.h"
#include "VideoWindow.h"
#include "engine/AddPictures.h"
#include "imaging/Resampling.h"
#include "support/Dialogs.h"
#include "support/Language.h"
#include "support/Rounding.h"
#include "support/Text.h"
#include "ui_TPixadra_Main.h"

namespace pixadra {
namespace {

// Clears the grab-busy flag however a tick ends.
class GrabBusyScope {
public:
    explicit GrabBusyScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~GrabBusyScope() { flag_ = false; }
    GrabBusyScope(const GrabBusyScope&) = delete;
    GrabBusyScope& operator=(const GrabBusyScope&) = delete;

private:
    bool& flag_;
};

}  // namespace

void TPixadra_Main::ConnectMoviePage() {
    movie_ = new MovieFrameSource(this);
    ui_->VideoWindow->setSource(movie_);
    Timer_SnapShot = new QTimer(this);
    Timer_SnapShot->setObjectName(QStringLiteral("Timer_SnapShot"));
    connect(Timer_SnapShot, &QTimer::timeout, this, [this] { Timer_SnapShotTimer(); });
    auto& c = *ui_;
    connect(c.Btn_RenderMovie_Open, &QPushButton::clicked, this, [this] { Btn_RenderMovie_OpenClick(); });
    connect(c.Btn_RenderMovie_Play, &QPushButton::clicked, this, [this] { Btn_RenderMovie_PlayClick(); });
    connect(c.Btn_RenderMovie_Stop, &QPushButton::clicked, this, [this] { Btn_RenderMovie_StopClick(); });
}

void TPixadra_Main::Btn_RenderMovie_OpenClick() {
    RunHandler([this] {
        const auto chosen = services_.files->OpenMovie(openDirMovie_);
        if (!chosen) return;
        lastMovieName_ = *chosen;
        openDirMovie_ = FolderOf(*chosen);
        // A fresh player for every movie; whether the file plays shows only at the first grab.
        movie_->open(QFile::decodeName(QByteArray::fromStdString(*chosen)));
    });
}

void TPixadra_Main::Btn_RenderMovie_PlayClick() {
    RunHandler([this] {
        auto& c = *ui_;
        c.Btn_Next->setEnabled(false);
        c.Btn_Prev->setEnabled(false);
        c.Btn_RenderMovie_Stop->setEnabled(true);
        c.Btn_RenderMovie_Play->setEnabled(false);
        c.Btn_RenderMovie_Open->setEnabled(false);
        c.Spin_RenderMovie_1->setEnabled(false);
        movie_->play();
        // The interval is fixed here; the first grab comes one interval after the start.
        Timer_SnapShot->setInterval(static_cast<int>(SpinValue(c.Spin_RenderMovie_1)) * 1000);
        grabBusy_ = false;
        Timer_SnapShot->start();
    });
}

void TPixadra_Main::Btn_RenderMovie_StopClick() {
    RunHandler([this] {
        Timer_SnapShot->stop();
        movie_->stop();
        auto& c = *ui_;
        c.Btn_Next->setEnabled(true);
        c.Btn_Prev->setEnabled(true);
        c.Btn_RenderMovie_Stop->setEnabled(false);
        c.Btn_RenderMovie_Play->setEnabled(true);
        c.Btn_RenderMovie_Open->setEnabled(true);
        c.Spin_RenderMovie_1->setEnabled(true);
    });
}

void TPixadra_Main::Timer_SnapShotTimer() {
    // A tick between closing the window and the end of the event loop has nothing left to add to.
    if (grabBusy_ || released_) return;
    // Held until the error box of a failed store is closed: no tick starts under the modal box,
    // while the timer stays on for the next one.
    GrabBusyScope busy(grabBusy_);
    RunHandler([this] {
        Bitmap frame;
        if (!movie_->grab(frame)) {
            // Stop first: with the timer off, the warning comes once.
            Btn_RenderMovie_StopClick();
            ShowLanguageDialog(GetLanguageWord("Messages", "CanNotGrab"), kDlgWarning, kButtonsOk);
            return;
        }
        PreviewView* preview = ui_->Image_Preview;
        Bitmap fitted;
        preview->Show(FitIntoBox(frame, fitted, preview->Width(), preview->Height()) ? fitted : frame);

        // Read afresh: the database and the resolution come from other pages' controls.
        const long double resolution = ui_->TrackBar_DBResolution->value();
        AddPicture(frame, lastMovieName_, TargetDataBasePath(), Trunc(resolution * resolution), false,
                   preview, Trunc((resolution / 2) * (resolution / 2)));
    });
}

}  // namespace pixadra
