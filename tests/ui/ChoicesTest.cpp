// The picture, mosaic, search-folder and database-folder choices, the shortened paths in the
// labels, and the link icons.
#include <QFontMetrics>
#include <QSettings>
#include <QUrlQuery>
#include <QtTest>

#include "PathShortening.h"
#include "PreviewView.h"
#include "UiTestSupport.h"
#include "engine/AddPictures.h"
#include "support/FileSystem.h"
#include "support/Language.h"

namespace pixadra::uitest {

class ChoicesTest : public QObject {
    Q_OBJECT

private slots:
    void aChosenPictureLeavesItsSizeAndAPreview_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("previewWidth");
        QTest::addColumn<int>("previewHeight");
        QTest::newRow("wide") << 3000 << 2000 << 237 << 158;
        QTest::newRow("small: never enlarged") << 100 << 80 << 100 << 80;
    }
    void aChosenPictureLeavesItsSizeAndAPreview() {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(int, previewWidth);
        QFETCH(int, previewHeight);
        Sandbox sandbox;
        Harness h(sandbox);
        const std::string path = sandbox.root.File("a/b/c/d/picture.bmp");
        CreateFolders(sandbox.root.File("a/b/c/d"));
        WritePicture(path, width, height);
        h.chooser.pictures.push_back(path);
        h.c.Btn_File_Open->click();
        QCOMPARE(h.window->InputPath(), path);
        QCOMPARE(h.window->InputWidth(), width);
        QCOMPARE(h.window->InputHeight(), height);
        QCOMPARE(h.window->PreviewBitmap()->Width(), previewWidth);
        QCOMPARE(h.window->PreviewBitmap()->Height(), previewHeight);
        QVERIFY(h.c.Image_Preview->Picture() == *h.window->PreviewBitmap());
        const QString label = h.c.Label_File_in->text();
        QVERIFY(label.endsWith("picture.bmp"));
        QVERIFY(h.c.Label_File_in->fontMetrics().horizontalAdvance(label) <= h.c.Label_File_in->width());
    }

    void cancelOrAnUnreadablePictureForgetsThePathButKeepsThePreview() {
        Sandbox sandbox;
        Harness h(sandbox);
        const std::string good = sandbox.root.File("good.bmp");
        const std::string broken = sandbox.root.File("broken.jpg");
        WritePicture(good, 300, 200);
        testing::WriteFile(broken, "not a picture");
        const QString none = "(" + QString::fromStdString(GetLanguageWord("Const", "None")) + ")";
        h.chooser.pictures = {good, broken, good, std::nullopt};
        h.c.Btn_File_Open->click();
        const Bitmap preview = h.c.Image_Preview->Picture();

        h.c.Btn_File_Open->click();  // the broken one
        QCOMPARE(h.dialogs.requests.size(), std::size_t{1});
        QCOMPARE(h.dialogs.requests[0].text,
                 FormatLanguageWord("Messages", "ErrorOpenPicture", {broken}));
        QCOMPARE(h.dialogs.requests[0].kind, int(kDlgInformation));
        QVERIFY(h.window->InputPath().empty());
        QCOMPARE(h.c.Label_File_in->text(), none);
        QCOMPARE(h.window->InputWidth(), 300);
        QVERIFY(h.c.Image_Preview->Picture() == preview);

        h.c.Btn_File_Open->click();  // good again
        QCOMPARE(h.window->InputPath(), good);
        h.c.Btn_File_Open->click();  // cancelled
        QVERIFY(h.window->InputPath().empty());
        QCOMPARE(h.c.Label_File_in->text(), none);
        QVERIFY(h.c.Image_Preview->Picture() == preview);
    }

    void theMosaicNameIsTakenAsTyped() {
        Sandbox sandbox;
        Harness h(sandbox);
        h.chooser.mosaics = {sandbox.root.File("mosaic"), std::nullopt};
        h.c.Btn_File_Save->click();
        QCOMPARE(h.window->OutputPath(), sandbox.root.File("mosaic"));
        QVERIFY(h.c.Label_File_Out->text().endsWith("mosaic"));
        h.c.Btn_File_Save->click();
        QVERIFY(h.window->OutputPath().empty());
        QCOMPARE(h.c.Label_File_Out->text(), "(" + QString::fromStdString(GetLanguageWord("Const", "None")) + ")");
    }

    void theSearchFolderFieldTakesTheChoiceOrEmpties() {
        Sandbox sandbox;
        Harness h(sandbox);
        h.chooser.folders = {std::string("/pictures/holiday"), std::nullopt};
        h.c.dBitBtn3->click();
        QCOMPARE(h.c.Edit_DBSearchDir->text(), QString("/pictures/holiday"));
        QCOMPARE(h.chooser.prompts.back(), GetLanguageWord("Const", "SearchDir"));
        h.c.dBitBtn3->click();
        QVERIFY(h.c.Edit_DBSearchDir->text().isEmpty());
    }

    void aChosenDatabaseFolderIsStoredAndListed() {
        Sandbox sandbox;
        Harness h(sandbox);
        const std::string folder = sandbox.root.File("elsewhere");
        const std::string pictures = sandbox.root.File("pictures");
        CreateFolders(pictures);
        CreateFolders(folder);
        WritePicture(pictures + "/one.bmp", 120, 90);
        AddPicturesToDatabase(pictures, false, false, folder + "/Strand", false, nullptr, 2500, 100);
        h.c.Btn_Next->click();
        QCOMPARE(h.c.Combo_Existing_Add->count(), 0);
        h.chooser.folders = {folder, std::nullopt};
        h.c.Btn_ChooseSource_DBDir->click();
        QCOMPARE(h.window->DataBaseFolder(), folder + "/");
        QCOMPARE(h.c.Combo_Existing_Add->currentText(), QString("Strand"));
        QCOMPARE(h.c.Combo_Existing_Del->currentText(), QString("Strand"));
        QCOMPARE(h.c.ListBox_DB->count(), 1);
        QSettings settings(QString::fromStdString(sandbox.SettingsFile()), QSettings::IniFormat);
        QCOMPARE(settings.value("DBDir").toString().toStdString(), folder);

        // Cancelled: the field empties, the folder stays in effect and the stored one stays too.
        h.c.Btn_ChooseSource_DBDir->click();
        QVERIFY(h.c.Edit_ChooseSource_DBDir->text().isEmpty());
        QCOMPARE(h.window->DataBaseFolder(), folder + "/");
        h.c.Btn_Next->click();
        settings.sync();
        QCOMPARE(settings.value("DBDir").toString().toStdString(), folder);
    }

    void theRootFolderEndsInOneSlash() {
        Sandbox sandbox;
        Harness h(sandbox);
        h.chooser.folders = {std::string("/")};
        h.c.Btn_ChooseSource_DBDir->click();
        QCOMPARE(h.window->DataBaseFolder(), std::string("/"));
    }

    void pathsGiveWayFromTheFrontUntilTheyFit_data() {
        QTest::addColumn<QString>("fitting");
        QTest::newRow("whole") << "/alpha/beta/gamma/x.jpg";
        QTest::newRow("first folder") << "/.../beta/gamma/x.jpg";
        QTest::newRow("two folders") << "/.../gamma/x.jpg";
        QTest::newRow("all folders") << "/.../x.jpg";
        QTest::newRow("file name") << "x.jpg";
    }
    void pathsGiveWayFromTheFrontUntilTheyFit() {
        QFETCH(QString, fitting);
        const QFontMetrics metrics(QFont("Arial", 9));
        QCOMPARE(ShortenPath("/alpha/beta/gamma/x.jpg", metrics, metrics.horizontalAdvance(fitting)), fitting);
    }

    void theFileNameItselfIsNeverCut() {
        const QFontMetrics metrics(QFont("Arial", 9));
        QCOMPARE(ShortenPath("/a/b/a-rather-long-name.jpg", metrics, 3), QString("a-rather-long-name.jpg"));
    }

    void thePictureDialogListsItsTypesInOrder() {
        const char* const expected[][2] = {
            {"Alle (*.jpg;*.jpeg;*.bmp;*.gif;*.png;*.hpi)", "*.jpg;*.jpeg;*.bmp;*.gif;*.png;*.hpi"},
            {"JPEG-Grafikdatei (*.jpg)", "*.jpg"},
            {"JPEG-Grafikdatei (*.jpeg)", "*.jpeg"},
            {"Bitmaps (*.bmp)", "*.bmp"},
            {"GIF-Grafikdatei (*.gif)", "*.gif"},
            {"PNG-Grafikdatei (*.png)", "*.png"},
            {"HPI-Grafikdatei (*.hpi) ", "*.hpi"},
        };
        const auto& filters = PictureFilters();
        QCOMPARE(filters.size(), std::size(expected));
        for (std::size_t i = 0; i < filters.size(); ++i) {
            QCOMPARE(QString::fromStdString(filters[i].description), QString(expected[i][0]));
            std::string joined;
            for (const auto& p : filters[i].patterns) joined += (joined.empty() ? "" : ";") + p;
            QCOMPARE(QString::fromStdString(joined), QString(expected[i][1]));
        }
    }

    void linkIconsOpenTheWebPageAndAMailNamingTheProgram() {
        Sandbox sandbox;
        Harness h(sandbox);
        h.c.Image_WWW->click();
        h.c.Image_Email->click();
        QCOMPARE(h.openedUrls.size(), std::size_t{2});
        QCOMPARE(h.openedUrls[0].scheme(), QString("https"));
        QCOMPARE(h.openedUrls[1].scheme(), QString("mailto"));
        QVERIFY(h.openedUrls[1].path().isEmpty());  // the user fills in the recipient
        QCOMPARE(QUrlQuery(h.openedUrls[1]).queryItemValue("subject", QUrl::FullyDecoded), QString("Pixadra 4.1.0"));
    }
};

PIXADRA_UI_TEST(ChoicesTest);

}  // namespace pixadra::uitest

#include "ChoicesTest.moc"
