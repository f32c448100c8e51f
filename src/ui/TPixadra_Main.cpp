#include "TPixadra_Main.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QLocale>
#include <QMessageBox>
#include <QScreen>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>
#include <array>

#include "Artwork.h"
#include "FileChooser.h"
#include "PreviewView.h"
#include "WindowScopes.h"
#include "engine/CancelFlag.h"
#include "support/ApplicationTitle.h"
#include "support/Language.h"
#include "support/Locale.h"
#include "support/SystemInfo.h"
#include "support/Text.h"
#include "ui_TPixadra_Main.h"

namespace pixadra {
namespace {

constexpr std::array kLayerNames = {
    "Layer_Blank",    "Layer_Welcome",        "Layer_DBWelcome", "Layer_DBAdd",
    "Layer_DBDel",    "Layer_File",           "Layer_Options",   "Layer_Done",
    "Layer_Blend",    "Layer_ChooseDataBase", "Layer_ChooseSource", "Layer_RenderMovie",
};

QFont WindowFont(int pixelSize, bool bold) {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

}  // namespace

QString Word(const char* section, const char* key) {
    return QString::fromStdString(GetLanguageWord(section, key));
}

TPixadra_Main::TPixadra_Main(WizardServices services, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      ui_(std::make_unique<Ui::TPixadra_Main>()),
      services_(std::move(services)) {
    setFont(WindowFont(11, false));
    ui_->setupUi(this);
    setFixedSize(721, 613);
    if (!services_.files) {
        ownChooser_ = std::make_unique<QtFileChooser>(this);
        services_.files = ownChooser_.get();
    }
    if (!services_.documentsFolder) {
        services_.documentsFolder = [] {
            return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation).toStdString();
        };
    }
    if (!services_.availableMemory) services_.availableMemory = [] { return AvailableMemory(); };
    if (!services_.openUrl) services_.openUrl = [](const QUrl& url) { QDesktopServices::openUrl(url); };
    if (!services_.showError) {
        services_.showError = [this](const QString& message) {
            QMessageBox::critical(this, QString::fromStdString(ApplicationTitle()), message);
        };
    }
    gauge_.Bind(ui_->Gauge_Main, ui_->Label_Gauge);
    ui_->Btn_Cancel->hide();
    for (const char* name : kLayerNames) Layer(name)->hide();
    ApplyFontsAndArtwork();
    ConnectControls();
    ConnectMoviePage();
    InstallEnterKeys();

    // Creation: the databases start in the program's own folder; the language file is read
    // (main has stopped the program already when it is missing); the preview bitmap exists.
    databaseFolder_ = ExecutableFolder();
    LoadLanguageFile();
    SetDecimalSeparator(QLocale().decimalPoint().toStdString());
    previewBitmap_ = std::make_unique<Bitmap>();
}

TPixadra_Main::~TPixadra_Main() = default;

void TPixadra_Main::ApplyFontsAndArtwork() {
    ui_->Label_ProgramName->setFont(WindowFont(21, true));
    ui_->Label_Header->setFont(WindowFont(16, true));
    ui_->Label_Welcome_1->setFont(WindowFont(14, true));
    ui_->Label_DBResolution->setFont(WindowFont(11, true));

    using namespace artwork;
    ui_->Image_Background->setPixmap(Decoration(ui_->Image_Background->size()));
    ui_->Image_Banner->setPixmap(Banner(ui_->Image_Banner->size()));
    ui_->Image_Banner->setScaledContents(true);
    ui_->Image_Welcome->setPixmap(WelcomePicture(ui_->Image_Welcome->size()));
    ui_->Image_Done->setPixmap(DonePicture(ui_->Image_Done->size()));
    ui_->Image_Shape_Landscape->setPixmap(ShapePicture(Shape::Landscape, ui_->Image_Shape_Landscape->size()));
    ui_->Image_Shape_Portrait->setPixmap(ShapePicture(Shape::Portrait, ui_->Image_Shape_Portrait->size()));
    ui_->Image_Shape_Square->setPixmap(ShapePicture(Shape::Square, ui_->Image_Shape_Square->size()));
    ui_->Image_ChooseSource_Folder->setPixmap(SourcePicture(false, ui_->Image_ChooseSource_Folder->size()));
    ui_->Image_ChooseSource_Movie->setPixmap(SourcePicture(true, ui_->Image_ChooseSource_Movie->size()));
    ui_->Image_Email->setIcon(MailIcon(37));
    ui_->Image_Email->setIconSize(QSize(33, 33));
    ui_->Image_WWW->setIcon(WebIcon(37));
    ui_->Image_WWW->setIconSize(QSize(33, 33));

    // White text on the banner, dark blue for the program's name where the banner fades out.
    QPalette versionPalette = ui_->Label_Version->palette();
    versionPalette.setColor(QPalette::WindowText, Qt::white);
    ui_->Label_Version->setPalette(versionPalette);
    QPalette namePalette = ui_->Label_ProgramName->palette();
    namePalette.setColor(QPalette::WindowText, QColor(0x1c, 0x3d, 0x5a));
    ui_->Label_ProgramName->setPalette(namePalette);
    ui_->Label_Header->setPalette(namePalette);

    const std::pair<QAbstractButton*, Glyph> glyphs[] = {
        {ui_->Btn_Next, Glyph::Next},
        {ui_->Btn_Prev, Glyph::Prev},
        {ui_->Btn_Cancel, Glyph::Cancel},
        {ui_->Btn_File_Open, Glyph::Open},
        {ui_->Btn_File_Save, Glyph::Save},
        {ui_->Btn_ChooseSource_DBDir, Glyph::Folder},
        {ui_->dBitBtn3, Glyph::Folder},
        {ui_->Btn_Blend_Preview, Glyph::Preview},
        {ui_->Btn_DBDel_Del, Glyph::Delete},
        {ui_->Btn_DBDel_SavePicture, Glyph::Export},
        {ui_->Btn_DBDel_DelDatabase, Glyph::DeleteDatabase},
        {ui_->Btn_RenderMovie_Open, Glyph::Film},
        {ui_->Btn_RenderMovie_Play, Glyph::Play},
        {ui_->Btn_RenderMovie_Stop, Glyph::Stop},
    };
    for (const auto& [button, glyph] : glyphs) button->setIcon(ButtonGlyph(glyph));
}

QWidget* TPixadra_Main::Layer(const QString& name) const {
    for (const char* layer : kLayerNames) {
        if (EqualsIgnoreCase(layer, name.toStdString())) return findChild<QWidget*>(layer);
    }
    return nullptr;
}

void TPixadra_Main::ActivateLayer(const QString& name) {
    for (const char* layer : kLayerNames) Layer(layer)->hide();
    QWidget* page = Layer(name);
    if (page) page->show();
    currentLayer_ = page ? page->objectName() : name;
    ui_->Label_Header->setText(
        QString::fromStdString(GetLanguageWord("Headers", currentLayer_.toStdString())));
}

bool TPixadra_Main::LayerActive(const QString& name) const {
    return EqualsIgnoreCase(currentLayer_.toStdString(), name.toStdString());
}

void TPixadra_Main::SetBusy(bool busy) {
    // Nested busy sections count: only the outermost one gives the window back, so a
    // finished inner step cannot let a second click in while the outer work still runs.
    if (busy) {
        if (busyDepth_++ == 0) {
            busyLayer_ = Layer(currentLayer_);
            for (QWidget* w : {static_cast<QWidget*>(ui_->Btn_Next), static_cast<QWidget*>(ui_->Btn_Prev),
                               static_cast<QWidget*>(ui_->TrackBar_BlendFactor),
                               static_cast<QWidget*>(ui_->Btn_Blend_Preview)}) {
                w->setEnabled(false);
            }
            if (busyLayer_) busyLayer_->setEnabled(false);
        }
    } else {
        if (busyDepth_ == 0 || --busyDepth_ > 0) return;
        for (QWidget* w : {static_cast<QWidget*>(ui_->Btn_Next), static_cast<QWidget*>(ui_->Btn_Prev),
                           static_cast<QWidget*>(ui_->TrackBar_BlendFactor),
                           static_cast<QWidget*>(ui_->Btn_Blend_Preview)}) {
            w->setEnabled(true);
        }
        if (busyLayer_) busyLayer_->setEnabled(true);
        busyLayer_ = nullptr;
    }
    QCoreApplication::processEvents();
}

void TPixadra_Main::Btn_CancelClick() { CancelFlag() = true; }

void TPixadra_Main::RunHandler(const std::function<void()>& body) {
    HandlerScope scope(*this);
    try {
        body();
    } catch (const std::exception& error) {
        ShowErrorBox(QString::fromStdString(error.what()));
    }
}

void TPixadra_Main::ShowErrorBox(const QString& message) {
    if (services_.showError) services_.showError(message);
}

void TPixadra_Main::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (shown_) return;
    shown_ = true;
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
    // After the window is on the screen, so the start-up's questions have it as their parent.
    QTimer::singleShot(0, this, [this] { FormShow(); });
}

void TPixadra_Main::closeEvent(QCloseEvent* event) {
    // Closing never is refused; the adding loop stops before its next picture. What running
    // work still uses is released only once that work has returned.
    CancelFlag() = true;
    event->accept();
    if (handlerDepth_ > 0) {
        releasePending_ = true;
    } else {
        ReleaseResources();
    }
}

void TPixadra_Main::ReleaseResources() {
    releasePending_ = false;
    if (released_) return;
    released_ = true;
    FreeLanguageFile();
    previewBitmap_.reset();
}

}  // namespace pixadra
