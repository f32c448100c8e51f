// The window: its controls, pages, busy state, cancel flag and closing.
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QtTest>

#include "UiTestSupport.h"
#include "engine/CancelFlag.h"
#include "support/Language.h"

namespace pixadra::uitest {
namespace {

// Closes the window from inside the first dialog a handler shows, and notes whether the
// window had let go of its resources at that moment.
class ClosingPresenter : public DialogPresenter {
public:
    explicit ClosingPresenter(TPixadra_Main& window) : window_(window), previous_(CurrentDialogPresenter()) {
        SetDialogPresenter(this);
    }
    ~ClosingPresenter() override { SetDialogPresenter(previous_); }
    int Present(const DialogRequest& request) override {
        window_.close();
        releasedWhileRunning = window_.ResourcesReleased();
        return request.closeResult;
    }
    void PresentPlain(const std::string&) override {}
    bool releasedWhileRunning = true;

private:
    TPixadra_Main& window_;
    DialogPresenter* previous_;
};

}  // namespace

class WindowTest : public QObject {
    Q_OBJECT

private slots:
    void everyCaptionedControlExistsWithItsKind() {
        Sandbox sandbox;
        Harness h(sandbox, false);
        const auto ini = IniFile::Load(LanguageFilePath());
        QVERIFY(ini.has_value());
        const auto keys = ini->Keys("Components");
        QCOMPARE(keys.size(), std::size_t{84});
        for (const std::string& key : keys) {
            QWidget* control = h.window->findChild<QWidget*>(QString::fromStdString(key));
            QVERIFY2(control, key.c_str());
            const QString kind = QString::fromStdString(key).section('_', 0, 0);
            bool fits = false;
            if (kind == "Label") fits = qobject_cast<QLabel*>(control);
            if (kind == "Btn") fits = qobject_cast<QPushButton*>(control) && !static_cast<QPushButton*>(control)->icon().isNull();
            if (kind == "CheckBox") fits = qobject_cast<QCheckBox*>(control);
            if (kind == "Radio") fits = qobject_cast<QRadioButton*>(control);
            QVERIFY2(fits, key.c_str());
        }
    }

    void otherControlsHaveTheirNamesAndKinds() {
        Sandbox sandbox;
        Harness h(sandbox, false);
        const struct {
            const char* name;
            const char* className;
        } controls[] = {
            {"Spin_TileCount", "QSpinBox"},          {"Spin_TileResolution", "QSpinBox"},
            {"Spin_TileResolution_2", "QSpinBox"},   {"Spin_MaxCount", "QSpinBox"},
            {"Spin_RenderMovie_1", "QSpinBox"},      {"Edit_NewDB", "QLineEdit"},
            {"Edit_DBSearchDir", "QLineEdit"},       {"Edit_ChooseSource_DBDir", "QLineEdit"},
            {"Combo_Existing_Add", "QComboBox"},     {"Combo_Existing_Del", "QComboBox"},
            {"ListBox_DB", "QListWidget"},           {"ListBox_DataBase", "QListWidget"},
            {"TrackBar_BlendFactor", "QSlider"},     {"TrackBar_DBResolution", "QSlider"},
            {"Gauge_Main", "QProgressBar"},          {"Image_Preview", "QLabel"},
            {"GroupBox_DBDel_Info", "QGroupBox"},    {"GroupBox_RenderMovie", "QGroupBox"},
            {"dBitBtn3", "QPushButton"},             {"VideoWindow", "QWidget"},
        };
        for (const auto& c : controls) {
            QObject* control = h.window->findChild<QObject*>(c.name);
            QVERIFY2(control, c.name);
            QVERIFY2(control->inherits(c.className), c.name);
        }
        QCOMPARE(h.c.ListBox_DataBase->selectionMode(), QAbstractItemView::ExtendedSelection);
        QVERIFY(!h.c.Combo_Existing_Add->isEditable());
        QCOMPARE(h.c.TrackBar_BlendFactor->tickInterval(), 4);
        QCOMPARE(h.c.TrackBar_DBResolution->minimum(), 50);
        QCOMPARE(h.c.TrackBar_DBResolution->maximum(), 1000);
        QCOMPARE(h.c.Spin_TileCount->minimum(), 10);
        QCOMPARE(h.c.Spin_TileCount->maximum(), 100000000);
        QCOMPARE(h.c.Spin_TileCount->singleStep(), 50);
        QCOMPARE(h.c.Spin_MaxCount->maximum(), 100000);
        QVERIFY(!h.c.Spin_TileResolution_2->isEnabled());
    }

    void windowAndControlsStandWhereTheLayoutSays() {
        Sandbox sandbox;
        Harness h(sandbox, false);
        QCOMPARE(h.window->minimumSize(), QSize(721, 613));
        QCOMPARE(h.window->maximumSize(), QSize(721, 613));
        QCOMPARE(h.window->font().family(), QString("Arial"));
        QCOMPARE(h.window->font().pixelSize(), 11);
        const struct {
            const char* name;
            QRect geometry;
        } places[] = {
            {"Image_Background", {0, 0, 317, 557}},   {"Image_Preview", {13, 14, 237, 317}},
            {"Label_PictureSize", {12, 332, 238, 16}}, {"Image_Banner", {308, 0, 429, 50}},
            {"Image_Email", {632, 2, 37, 37}},         {"Image_WWW", {676, 2, 37, 37}},
            {"Gauge_Main", {8, 572, 473, 25}},         {"Btn_Prev", {488, 572, 100, 25}},
            {"Btn_Cancel", {488, 572, 100, 25}},       {"Btn_Next", {600, 572, 100, 25}},
            {"Layer_Options", {280, 85, 420, 450}},    {"Layer_ChooseSource", {280, 81, 420, 450}},
            {"Layer_DBAdd", {280, 81, 420, 450}},      {"Layer_Blank", {280, 85, 420, 450}},
            {"VideoWindow", {10, 22, 260, 195}},
        };
        for (const auto& p : places) {
            QWidget* w = h.window->findChild<QWidget*>(p.name);
            QVERIFY2(w, p.name);
            QVERIFY2(w->geometry() == p.geometry, p.name);
        }
        QCOMPARE(h.c.Label_Header->pos(), QPoint(276, 56));
        QCOMPARE(h.c.Label_Gauge->pos(), QPoint(8, 556));
        QCOMPARE(h.c.Label_Header->font().pixelSize(), 16);
        QVERIFY(h.c.Label_Header->font().bold());
        QCOMPARE(h.c.Label_PictureSize->alignment() & Qt::AlignRight, Qt::AlignRight);
        QCOMPARE(h.c.Image_Email->toolTip(), QString("Email"));
        QCOMPARE(h.c.Image_WWW->toolTip(), QString("WWW"));
        QCOMPARE(h.c.Image_WWW->cursor().shape(), Qt::PointingHandCursor);
        QVERIFY(!h.c.Btn_Prev->isEnabled());
        QVERIFY(h.c.Btn_Cancel->isHidden());
    }

    void pageNamesCompareWithoutCase() {
        Sandbox sandbox;
        Harness h(sandbox);
        h.window->ActivateLayer("layer_options");
        QVERIFY(h.window->LayerActive("LAYER_OPTIONS"));
        QVERIFY(!h.window->LayerActive("Layer_Blend"));
        int visible = 0;
        for (QWidget* page : h.window->findChildren<QWidget*>(QRegularExpression("^Layer_"))) {
            visible += page->isVisibleTo(h.window.get()) ? 1 : 0;
        }
        QCOMPARE(visible, 1);
        QVERIFY(h.c.Layer_Options->isVisibleTo(h.window.get()));
        QCOMPARE(h.c.Label_Header->text(), QString::fromStdString(GetLanguageWord("Headers", "Layer_Options")));
    }

    void setBusyGivesBackThePageItTookEvenAfterAnotherPage() {
        Sandbox sandbox;
        Harness h(sandbox);
        h.window->ActivateLayer("Layer_Options");
        h.window->SetBusy(true);
        for (QWidget* w : {static_cast<QWidget*>(h.c.Btn_Next), static_cast<QWidget*>(h.c.Btn_Prev),
                           static_cast<QWidget*>(h.c.TrackBar_BlendFactor),
                           static_cast<QWidget*>(h.c.Btn_Blend_Preview), static_cast<QWidget*>(h.c.Layer_Options)}) {
            QVERIFY(!w->isEnabled());
        }
        h.window->ActivateLayer("Layer_Blend");
        h.window->SetBusy(false);
        for (QWidget* w : {static_cast<QWidget*>(h.c.Btn_Next), static_cast<QWidget*>(h.c.Btn_Prev),
                           static_cast<QWidget*>(h.c.TrackBar_BlendFactor),
                           static_cast<QWidget*>(h.c.Btn_Blend_Preview), static_cast<QWidget*>(h.c.Layer_Options),
                           static_cast<QWidget*>(h.c.Layer_Blend)}) {
            QVERIFY(w->isEnabled());
        }
        h.window->ActivateLayer("Layer_Options");
        QVERIFY(h.c.Spin_TileCount->isEnabled());
    }

    void nestedBusySectionsGiveTheWindowBackOnlyAtTheEnd() {
        Sandbox sandbox;
        Harness h(sandbox);
        h.window->ActivateLayer("Layer_Options");
        h.window->SetBusy(true);
        h.window->SetBusy(true);
        h.window->SetBusy(false);
        QVERIFY(!h.c.Btn_Next->isEnabled());
        QVERIFY(!h.c.Layer_Options->isEnabled());
        h.window->SetBusy(false);
        QVERIFY(h.c.Btn_Next->isEnabled());
        QVERIFY(h.c.Layer_Options->isEnabled());
    }

    void cancelButtonSetsTheCancelFlag() {
        Sandbox sandbox;
        Harness h(sandbox);
        QVERIFY(!CancelFlag());
        h.c.Btn_Cancel->click();
        QVERIFY(CancelFlag());
        CancelFlag() = false;
    }

    void closingWhileIdleReleasesAtOnce() {
        Sandbox sandbox;
        Harness h(sandbox);
        QVERIFY(h.window->PreviewBitmap());
        h.window->close();
        QVERIFY(CancelFlag());
        QVERIFY(h.window->ResourcesReleased());
        QVERIFY(!h.window->PreviewBitmap());
        CancelFlag() = false;
    }

    void closingDuringAHandlerReleasesOnlyWhenItReturns() {
        Sandbox sandbox;
        Harness h(sandbox);
        h.window->ActivateLayer("Layer_File");
        {
            ClosingPresenter closer(*h.window);
            h.c.Btn_Next->click();  // "NoOpenPicture": the dialog closes the window
            QVERIFY(!closer.releasedWhileRunning);
        }
        QVERIFY(CancelFlag());
        QVERIFY(h.window->ResourcesReleased());
        CancelFlag() = false;
    }
};

PIXADRA_UI_TEST(WindowTest);

}  // namespace pixadra::uitest

#include "WindowTest.moc"
