// Which event of which control runs which handler.
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>

#include "TPixadra_Main.h"
#include "WindowScopes.h"
#include "ui_TPixadra_Main.h"

namespace pixadra {

void TPixadra_Main::ConnectControls() {
    auto& c = *ui_;
    connect(c.Btn_Next, &QPushButton::clicked, this, [this] { Btn_NextClick(); });
    connect(c.Btn_Prev, &QPushButton::clicked, this, [this] { Btn_PrevClick(); });
    connect(c.Btn_Cancel, &QPushButton::clicked, this, [this] { Btn_CancelClick(); });
    connect(c.Btn_File_Open, &QPushButton::clicked, this, [this] { Btn_File_OpenClick(); });
    connect(c.Btn_File_Save, &QPushButton::clicked, this, [this] { Btn_File_SaveClick(); });
    connect(c.dBitBtn3, &QPushButton::clicked, this, [this] { dBitBtn3Click(); });
    connect(c.Btn_ChooseSource_DBDir, &QPushButton::clicked, this, [this] { Btn_ChooseSource_DBDirClick(); });
    connect(c.Btn_DBDel_Del, &QPushButton::clicked, this, [this] { Btn_DBDel_DelClick(); });
    connect(c.Btn_DBDel_SavePicture, &QPushButton::clicked, this, [this] { Btn_DBDel_SavePictureClick(); });
    connect(c.Btn_DBDel_DelDatabase, &QPushButton::clicked, this, [this] { Btn_DBDel_DelDatabaseClick(); });
    connect(c.Btn_Blend_Preview, &QPushButton::clicked, this, [this] { Btn_Blend_PreviewClick(); });
    connect(c.Image_Email, &QToolButton::clicked, this,
            [this] { OpenLink(QUrl(QStringLiteral("mailto:?subject=Pixadra%204.1.0"))); });
    connect(c.Image_WWW, &QToolButton::clicked, this,
            [this] { OpenLink(QUrl(QStringLiteral("https://pixadra.org/"))); });

    // The options page: every change of a size field, whether typed or set by the program.
    for (QSpinBox* spin : {c.Spin_TileCount, c.Spin_TileResolution, c.Spin_TileResolution_2}) {
        connect(spin, &QSpinBox::valueChanged, this, [this, spin] { Spin_TileCountChange(spin); });
        // Text that is not a number yet (an emptied field) changes no value but still counts.
        connect(spin->findChild<QLineEdit*>(), &QLineEdit::textEdited, this,
                [this, spin] { Spin_TileCountChange(spin); });
    }
    for (QRadioButton* radio : {c.Radio_Options_FormatType_Landscape, c.Radio_Options_FormatType_Portrait,
                                c.Radio_Options_FormatType_Square}) {
        connect(radio, &QRadioButton::clicked, this, [this] { Spin_TileCountChange(ui_->Spin_TileCount); });
    }
    connect(c.TrackBar_DBResolution, &QSlider::valueChanged, this, [this] { TrackBar_DBResolutionChange(); });
    connect(c.TrackBar_BlendFactor, &QSlider::valueChanged, this, [this] { TrackBar_BlendFactorChange(); });

    // The database page.
    connect(c.CheckBox_DBWelcome_SearchDataBase, &QCheckBox::clicked, this,
            [this] { CheckBox_DBWelcome_SearchDataBaseClick(); });
    connect(c.CheckBox_DBWelcome_DelDataBase, &QCheckBox::clicked, this,
            [this] { CheckBox_DBWelcome_DelDataBaseClick(); });
    connect(c.Combo_Existing_Add, &QComboBox::activated, this, [this] { Combo_Existing_AddClick(); });
    connect(c.Radio_DBWelcome_Existing, &QRadioButton::clicked, this, [this] { Radio_DBWelcome_ExistingClick(); });
    connect(c.Radio_DBWelcome_New, &QRadioButton::clicked, this, [this] { Radio_DBWelcome_NewClick(); });

    // The edit page.
    connect(c.ListBox_DataBase, &QListWidget::currentRowChanged, this, [this] { ListBox_DataBaseClick(); });
    connect(c.ListBox_DataBase, &QListWidget::itemClicked, this, [this] { ListBox_DataBaseClick(); });
    c.ListBox_DataBase->installEventFilter(this);
    c.Edit_NewDB->installEventFilter(this);
}

void TPixadra_Main::InstallEnterKeys() {
    for (QWidget* w : std::initializer_list<QWidget*>{ui_->Radio_ChooseSource_Folder, ui_->Radio_ChooseSource_Movie,
                                                      ui_->Edit_NewDB, ui_->Combo_Existing_Add,
                                                      ui_->Combo_Existing_Del}) {
        w->installEventFilter(this);
    }
}

bool TPixadra_Main::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (watched == ui_->ListBox_DataBase && key == Qt::Key_Delete) {
            Btn_DBDel_DelClick();
            return true;
        }
        const bool enterControl = watched == ui_->Radio_ChooseSource_Folder ||
                                  watched == ui_->Radio_ChooseSource_Movie || watched == ui_->Edit_NewDB ||
                                  watched == ui_->Combo_Existing_Add || watched == ui_->Combo_Existing_Del;
        if (enterControl && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
            // Key_Next: Enter in these controls is "Weiter".
            Btn_NextClick();
            return true;
        }
    } else if (event->type() == QEvent::MouseButtonPress && watched == ui_->Edit_NewDB) {
        Edit_NewDBClick();
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace pixadra
