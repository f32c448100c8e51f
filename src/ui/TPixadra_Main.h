#pragma once
// The wizard window: twelve pages on the right, the shared preview on the left, "Zurück" and
// "Weiter" below. Every handler runs on the user-interface thread; long work runs inside a
// handler between SetBusy(true) and SetBusy(false) and processes window events as it goes.
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "FileChooser.h"
#include "GaugeOutputs.h"
#include "imaging/Bitmap.h"

class QAbstractSpinBox;
class QSpinBox;
class QTimer;
class QUrl;
namespace Ui {
class TPixadra_Main;
}

namespace pixadra {

class MovieFrameSource;
class PreviewView;
struct SettingEntry;

// What the window asks of its surroundings; tests replace these.
struct WizardServices {
    FileChooser* files = nullptr;                     // null: file dialogs of the window's own
    std::function<std::string()> documentsFolder;     // null: the user's documents folder
    std::function<int64_t()> availableMemory;         // null: AvailableMemory()
    std::function<void(const QUrl&)> openUrl;         // null: the desktop's browser or mail program
    std::function<void(const QString&)> showError;    // null: a critical message box
};

class TPixadra_Main : public QWidget {
    Q_OBJECT

public:
    explicit TPixadra_Main(WizardServices services = {}, QWidget* parent = nullptr);
    ~TPixadra_Main() override;

    // Pages.
    void ActivateLayer(const QString& name);
    bool LayerActive(const QString& name) const;  // case-insensitive
    QString CurrentLayer() const { return currentLayer_; }
    void SetBusy(bool busy);
    bool Busy() const { return busyDepth_ > 0; }

    // Start-up and captions.
    void FormShow();
    void SetLanguage();
    void SetLanguageFrom(const std::string& languageFile);

    // Settings.
    void SaveToRegistry();
    void LoadFromRegistry();

    // Options page.
    int FormatType() const;
    void Spin_TileCountChange(QObject* sender);
    void TrackBar_DBResolutionChange();

    // Database lists and the edit page.
    void RefreshDataBaseLists();
    void LoadDataBaseToListBox();

    // The wizard's state, for the pages and for tests.
    const std::string& InputPath() const { return inputPath_; }
    const std::string& OutputPath() const { return outputPath_; }
    int32_t InputWidth() const { return inputWidth_; }
    int32_t InputHeight() const { return inputHeight_; }
    const std::string& DataBaseFolder() const { return databaseFolder_; }
    const Bitmap* PreviewBitmap() const { return previewBitmap_.get(); }
    const std::string& OpenDir() const { return openDir_; }
    const std::string& SaveDir() const { return saveDir_; }
    const std::string& OpenDirMovie() const { return openDirMovie_; }
    bool ResourcesReleased() const { return released_; }

    Ui::TPixadra_Main* Controls() const { return ui_.get(); }

public slots:
    void Btn_NextClick();
    void Btn_PrevClick();
    void Btn_CancelClick();
    void Btn_File_OpenClick();
    void Btn_File_SaveClick();
    void dBitBtn3Click();
    void Btn_ChooseSource_DBDirClick();
    void Btn_DBDel_DelClick();
    void Btn_DBDel_SavePictureClick();
    void Btn_DBDel_DelDatabaseClick();
    void ListBox_DataBaseClick();
    void Btn_Blend_PreviewClick();
    void TrackBar_BlendFactorChange();
    void Btn_RenderMovie_OpenClick();
    void Btn_RenderMovie_PlayClick();
    void Btn_RenderMovie_StopClick();
    void Timer_SnapShotTimer();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class HandlerScope;
    friend class BusyScope;

    void ConnectControls();
    void ApplyFontsAndArtwork();
    QWidget* Layer(const QString& name) const;

    // Runs one handler: counts it as running work, and shows an error that reaches it in
    // the error box instead of letting it into Qt's event loop.
    void RunHandler(const std::function<void()>& body);
    void ShowErrorBox(const QString& message);
    void ReleaseResources();

    // Settings table (Settings.cpp).
    std::vector<SettingEntry> SettingsTable();
    void SettleDataBaseFolder(const std::string& storedFolder);

    // Options page helpers (PageOptions.cpp).
    void AdjustTileProportions();
    void RefreshSizeAndGrid(bool drawGrid);

    // Navigation (Navigation.cpp).
    void NextFromDBWelcome();
    void NextFromDBAdd();
    void NextFromOptions();
    void PrevFromFile();
    void EnterEditPage();
    void ShowDoneWithClose();

    // Database page controls (PageDBWelcome.cpp).
    void CheckBox_DBWelcome_SearchDataBaseClick();
    void CheckBox_DBWelcome_DelDataBaseClick();
    void Combo_Existing_AddClick();
    void Edit_NewDBClick();
    void Radio_DBWelcome_ExistingClick();
    void Radio_DBWelcome_NewClick();
    void InstallEnterKeys();
    std::string TargetDataBasePath() const;

    // Edit page (PageDBDel.cpp).
    std::string EditedDataBasePath() const;
    void SetTileInfo(const QString& resolution, const QString& fileName, const QString& source);

    // Cross-fade (PageBlend.cpp).
    bool CrossFadeIntoBitmap(Bitmap& result);
    void BlendSave();

    // Movie page (PageRenderMovie.cpp): the player, the grab timer and their connections.
    void ConnectMoviePage();

    // File choices (FileChoices.cpp).
    void ShowShortenedPath(class QLabel* label, const std::string& path);
    QString NoneCaption() const;
    void OpenLink(const QUrl& url);

    std::unique_ptr<Ui::TPixadra_Main> ui_;
    WizardServices services_;
    std::unique_ptr<FileChooser> ownChooser_;
    GaugeOutputs gauge_;

    QString currentLayer_;
    std::string inputPath_;
    std::string outputPath_;
    int32_t inputWidth_ = 0;
    int32_t inputHeight_ = 0;
    std::unique_ptr<Bitmap> previewBitmap_;
    std::string databaseFolder_;
    std::string openDir_;
    std::string saveDir_;
    std::string openDirMovie_;
    std::string lastPictureName_;  // the names the dialogs took last (the settings store their folders)
    std::string lastMosaicName_;
    std::string lastMovieName_;

    int busyDepth_ = 0;
    QWidget* busyLayer_ = nullptr;
    int handlerDepth_ = 0;
    bool releasePending_ = false;
    bool released_ = false;
    bool shown_ = false;

    MovieFrameSource* movie_ = nullptr;  // child of the window
    QTimer* Timer_SnapShot = nullptr;
    bool grabBusy_ = false;  // a tick is working; keeps a second one from starting meanwhile
};

}  // namespace pixadra
