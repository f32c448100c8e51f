// The movie page driven through its buttons: frames reach the chosen database every interval
// until Stop, the database and resolution are read at every tick, a failed grab stops and
// warns once, and an error while storing is shown without stopping the grabbing.
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>
#include <cstdlib>
#include <filesystem>

#include "MovieClips.h"
#include "PreviewView.h"
#include "UiTestSupport.h"
#include "engine/DatabaseFiles.h"
#include "engine/LoadedTiles.h"
#include "imaging/PictureLoader.h"
#include "support/FileSystem.h"
#include "support/Language.h"
#include "support/Text.h"

namespace pixadra::uitest {
namespace {

constexpr int kTickTimeoutMs = 30000;  // generous: two cores shared with other builds

// The enabled state of the controls that the movie page switches, in the order
// Open, Play, spin edit, Stop, "Weiter", "Zurück".
QList<bool> ButtonStates(const Ui::TPixadra_Main& c) {
    return {c.Btn_RenderMovie_Open->isEnabled(),
            c.Btn_RenderMovie_Play->isEnabled(),
            c.Spin_RenderMovie_1->isEnabled(),
            c.Btn_RenderMovie_Stop->isEnabled(),
            c.Btn_Next->isEnabled(),
            c.Btn_Prev->isEnabled()};
}
const QList<bool> kIdle{true, true, true, false, true, true};
const QList<bool> kGrabbing{false, false, false, true, false, false};

QTimer* SnapShotTimer(TPixadra_Main& window) {
    return window.findChild<QTimer*>(QStringLiteral("Timer_SnapShot"));
}

// The tiles of a database, read from its index (none while it does not exist).
std::vector<TDataBaseTile> StoredTiles(const std::string& databasePath) {
    std::vector<TDataBaseTile> tiles;
    if (!FileExists(databasePath + ".idx")) return tiles;
    LoadDataBase(true, databasePath, false);
    for (const auto& tile : LoadedTiles()) tiles.push_back(*tile);
    LoadedTiles().clear();
    return tiles;
}
std::size_t StoredCount(const std::string& databasePath) {
    return StoredTiles(databasePath).size();
}

// From the welcome page through the database page (a new database of that name) and the
// source page to the movie page, as a user clicks.
bool EnterMoviePage(Harness& h, const QString& newDataBase) {
    auto& c = h.c;
    c.Btn_Next->click();
    if (!h.window->LayerActive("Layer_DBWelcome")) return false;
    c.CheckBox_DBWelcome_SearchDataBase->click();
    c.Radio_DBWelcome_New->click();
    c.Edit_NewDB->setText(newDataBase);
    c.Btn_Next->click();
    if (!h.window->LayerActive("Layer_ChooseSource")) return false;
    c.Radio_ChooseSource_Movie->click();
    c.Btn_Next->click();
    return h.window->LayerActive("Layer_RenderMovie");
}

// Records each dialog with the state of the page at the moment it appears.
class DialogWatcher : public DialogPresenter {
public:
    explicit DialogWatcher(Harness& h) : h_(h), previous_(CurrentDialogPresenter()) {
        SetDialogPresenter(this);
    }
    ~DialogWatcher() override { SetDialogPresenter(previous_); }
    int Present(const DialogRequest& request) override {
        requests.push_back(request);
        timerActiveAtDialog.push_back(SnapShotTimer(*h_.window)->isActive());
        buttonsAtDialog.push_back(ButtonStates(h_.c));
        return kResultOk;
    }
    void PresentPlain(const std::string& text) override { plain.push_back(text); }

    std::vector<DialogRequest> requests;
    std::vector<bool> timerActiveAtDialog;
    std::vector<QList<bool>> buttonsAtDialog;
    std::vector<std::string> plain;

private:
    Harness& h_;
    DialogPresenter* previous_;
};

}  // namespace

class MoviePageTest : public QObject {
    Q_OBJECT

private slots:
    void framesArriveEveryIntervalUntilStop() {
        Sandbox sandbox;
        Harness h(sandbox);
        auto& c = h.c;
        QVERIFY(EnterMoviePage(h, QStringLiteral("Film: Frames")));
        QCOMPARE(ButtonStates(c), kIdle);
        QTimer* timer = SnapShotTimer(*h.window);
        QVERIFY(timer && !timer->isActive());
        const std::string database = h.window->DataBaseFolder() + "Film Frames";  // cleaned name

        const std::string clip = ClipFile("clip.mp4");
        h.chooser.movies.push_back(clip);
        c.Btn_RenderMovie_Open->click();
        QCOMPARE(h.window->OpenDirMovie(), FolderOf(clip));
        c.Spin_RenderMovie_1->setValue(1);
        c.TrackBar_DBResolution->setValue(300);
        c.Btn_RenderMovie_Play->click();
        QCOMPARE(ButtonStates(c), kGrabbing);
        QVERIFY(timer->isActive());
        QCOMPARE(timer->interval(), 1000);

        // The clip lasts 3 seconds: the fourth frame comes after its end, from the last picture kept.
        QTRY_VERIFY_WITH_TIMEOUT(StoredCount(database) >= 4, kTickTimeoutMs);
        c.Btn_RenderMovie_Stop->click();
        QCOMPARE(ButtonStates(c), kIdle);
        QVERIFY(!timer->isActive());
        const std::vector<TDataBaseTile> tiles = StoredTiles(database);
        QTest::qWait(1500);
        QCOMPARE(StoredCount(database), tiles.size());  // nothing after Stop

        for (const TDataBaseTile& tile : tiles) QCOMPARE(tile.FileName, clip);
        // The slider's 300 asks for 90000 pixels; a 320 x 240 frame is stored as it is.
        int width = 0, height = 0;
        const std::vector<uint8_t> jpeg =
            ReadTileJpeg(database, tiles.front().DataOffset, tiles.front().DataSize);
        ReadJpegSize(jpeg.data(), jpeg.size(), width, height, "tile");
        QCOMPARE(QSize(width, height), QSize(320, 240));
        // The preview shows the frame fitted into the view.
        QCOMPARE(c.Image_Preview->Picture().Width(), 237);
        QVERIFY(std::abs(c.Image_Preview->Picture().Height() - 178) <= 1);
        QVERIFY(h.dialogs.requests.empty());
        QVERIFY(h.errors.isEmpty());
    }

    void databaseAndResolutionAreReadAtEveryTick() {
        Sandbox sandbox;
        Harness h(sandbox);
        auto& c = h.c;
        QVERIFY(EnterMoviePage(h, QStringLiteral("First")));
        const std::string first = h.window->DataBaseFolder() + "First";
        const std::string second = h.window->DataBaseFolder() + "Second";
        h.chooser.movies.push_back(ClipFile("clip.mp4"));
        c.Btn_RenderMovie_Open->click();
        c.Spin_RenderMovie_1->setValue(1);
        // At 1000 the minimum is 250000 pixels: every frame is refused, silently, and grabbing goes on.
        c.TrackBar_DBResolution->setValue(1000);
        c.Btn_RenderMovie_Play->click();
        QTRY_VERIFY_WITH_TIMEOUT(!c.Image_Preview->Picture().Empty(), kTickTimeoutMs);  // a tick has run
        QTest::qWait(1500);
        QVERIFY(!FileExists(first + ".idx") && !FileExists(first + ".dat"));
        QVERIFY(SnapShotTimer(*h.window)->isActive());

        c.TrackBar_DBResolution->setValue(100);  // 10000 pixels wanted
        QTRY_VERIFY_WITH_TIMEOUT(StoredCount(first) >= 1, kTickTimeoutMs);
        c.Edit_NewDB->setText(QStringLiteral("Second"));
        QTRY_VERIFY_WITH_TIMEOUT(StoredCount(second) >= 1, kTickTimeoutMs);
        // The existing database chosen in the list wins over the typed name.
        const std::size_t firstBefore = StoredCount(first);
        c.Combo_Existing_Add->addItem(QStringLiteral("First"));
        c.Combo_Existing_Add->setCurrentText(QStringLiteral("First"));
        c.Radio_DBWelcome_Existing->setChecked(true);
        QTRY_VERIFY_WITH_TIMEOUT(StoredCount(first) > firstBefore, kTickTimeoutMs);
        c.Btn_RenderMovie_Stop->click();

        const std::vector<TDataBaseTile> tiles = StoredTiles(first);
        int width = 0, height = 0;
        const std::vector<uint8_t> jpeg =
            ReadTileJpeg(first, tiles.front().DataOffset, tiles.front().DataSize);
        ReadJpegSize(jpeg.data(), jpeg.size(), width, height, "tile");
        QVERIFY2(std::abs(width * height - 10000) <= 300,
                 qPrintable(QString("%1 x %2").arg(width).arg(height)));
        QVERIFY(h.dialogs.requests.empty());
        QVERIFY(h.errors.isEmpty());
    }

    void failedGrabStopsThenWarnsOnce_data() {
        QTest::addColumn<QString>("scenario");
        QTest::newRow("no movie opened") << "none";
        QTest::newRow("a file that does not play") << "broken";
        QTest::newRow("a playing movie replaced by one that does not play") << "replaced";
    }

    void failedGrabStopsThenWarnsOnce() {
        QFETCH(QString, scenario);
        Sandbox sandbox;
        Harness h(sandbox);
        auto& c = h.c;
        QVERIFY(EnterMoviePage(h, QStringLiteral("Never")));
        const std::string database = h.window->DataBaseFolder() + "Never";
        const std::string broken = sandbox.root.File("broken.mp4");
        testing::WriteFile(broken, "these bytes are no movie");
        c.Spin_RenderMovie_1->setValue(1);
        if (scenario == "replaced") {
            h.chooser.movies.push_back(ClipFile("clip.mp4"));
            c.Btn_RenderMovie_Open->click();
            c.TrackBar_DBResolution->setValue(1000);  // frames are refused: nothing is stored
            c.Btn_RenderMovie_Play->click();
            QTRY_VERIFY_WITH_TIMEOUT(!c.Image_Preview->Picture().Empty(), kTickTimeoutMs);
            c.Btn_RenderMovie_Stop->click();
        }
        if (scenario != "none") {
            h.chooser.movies.push_back(broken);
            c.Btn_RenderMovie_Open->click();
        }

        DialogWatcher dialogs(h);
        c.Btn_RenderMovie_Play->click();
        QTRY_COMPARE_WITH_TIMEOUT(dialogs.requests.size(), std::size_t{1}, kTickTimeoutMs);
        QCOMPARE(dialogs.requests[0].text, GetLanguageWord("Messages", "CanNotGrab"));
        QCOMPARE(dialogs.requests[0].kind, int{kDlgWarning});
        QCOMPARE(dialogs.requests[0].buttons.size(), std::size_t{1});
        QCOMPARE(dialogs.requests[0].buttons[0].result, int{kResultOk});
        // Stop ran before the warning.
        QVERIFY(!dialogs.timerActiveAtDialog[0]);
        QCOMPARE(dialogs.buttonsAtDialog[0], kIdle);
        QTest::qWait(1500);
        QCOMPARE(dialogs.requests.size(), std::size_t{1});
        QCOMPARE(ButtonStates(c), kIdle);
        QVERIFY(!FileExists(database + ".idx") && !FileExists(database + ".dat"));
        QVERIFY(h.errors.isEmpty());
    }

    void storeErrorIsShownAndGrabbingGoesOn() {
        Sandbox sandbox;
        Harness h(sandbox);
        auto& c = h.c;
        QVERIFY(EnterMoviePage(h, QStringLiteral("Blocked")));
        const std::string database = h.window->DataBaseFolder() + "Blocked";
        // A folder where the data file belongs makes every append fail.
        std::filesystem::create_directories(database + ".dat");
        h.chooser.movies.push_back(ClipFile("clip.mp4"));
        c.Btn_RenderMovie_Open->click();
        c.Spin_RenderMovie_1->setValue(1);
        c.Btn_RenderMovie_Play->click();

        QTRY_VERIFY_WITH_TIMEOUT(!h.errors.isEmpty(), kTickTimeoutMs);
        QVERIFY2(h.errors.front().contains(QStringLiteral("Blocked")), qPrintable(h.errors.front()));
        QVERIFY(SnapShotTimer(*h.window)->isActive());
        QCOMPARE(ButtonStates(c), kGrabbing);
        // Once the cause is gone, a later tick stores the frame.
        std::filesystem::remove(database + ".dat");
        QTRY_VERIFY_WITH_TIMEOUT(StoredCount(database) >= 1, kTickTimeoutMs);
        c.Btn_RenderMovie_Stop->click();
        QVERIFY(h.dialogs.requests.empty());
    }
};

PIXADRA_UI_TEST(MoviePageTest);

}  // namespace pixadra::uitest

#include "MoviePageTest.moc"
