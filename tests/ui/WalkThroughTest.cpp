// The wizard walked as a new user would, through its buttons, with the dialogs and file
// choices answered by the test and the files on disk checked at each step.
#include <QApplication>
#include <QListWidget>
#include <QTimer>
#include <QtTest>

#include "PreviewView.h"
#include "UiTestSupport.h"
#include "engine/CancelFlag.h"
#include "engine/Composition.h"
#include "engine/DatabaseFiles.h"
#include "engine/TileGrid.h"
#include "imaging/PictureLoader.h"
#include "support/FileSystem.h"
#include "support/Language.h"

namespace pixadra::uitest {
namespace {

int64_t IndexRecords(const std::string& databasePath) {
    const int64_t size = FileSize(databasePath + ".idx");
    return size < 0 ? -1 : (size - kIndexHeaderSize) / kIndexRecordSize;
}

QString LastMessageKey(const testing::ScriptedDialogs& dialogs) {
    if (dialogs.requests.empty()) return QString();
    const std::string text = dialogs.requests.back().text;
    for (const char* key : {"NoDataBaseChoosen", "NoDataBaseName", "NoOpenPicture", "NoSavePicture", "CanNotBlend",
                            "MoreTilesAsInDatabase", "ConfirmFileOverwrite", "ConfirmDatabaseDel"}) {
        const std::string word = GetLanguageWord("Messages", key);
        const std::string fixed = word.substr(0, std::min<std::size_t>(word.find("%s"), 20));
        if (text.rfind(fixed, 0) == 0) return key;
    }
    return QString::fromStdString(text);
}

void SelectRows(QListWidget* list, std::initializer_list<int> rows) {
    list->clearSelection();
    for (int row : rows) list->item(row)->setSelected(true);
    list->setCurrentRow(*rows.begin(), QItemSelectionModel::NoUpdate);
}

// A folder of small generated pictures.
std::string PictureFolder(const Sandbox& sandbox, int count) {
    const std::string folder = sandbox.root.File("holiday");
    CreateFolders(folder);
    for (int i = 0; i < count; ++i) {
        WritePicture(folder + "/picture" + std::to_string(i) + ".bmp", 160 + 8 * i, 120, i);
    }
    return folder;
}

// The window on the database page, adding to a new database from a folder.
void AddFromFolder(Harness& h, const std::string& name, const std::string& folder) {
    h.c.CheckBox_DBWelcome_SearchDataBase->click();
    ClosePopups();
    if (!h.c.Radio_DBWelcome_New->isChecked()) h.c.Radio_DBWelcome_New->click();
    h.c.Edit_NewDB->setText(QString::fromStdString(name));
    h.c.Btn_Next->click();  // to the source page
    h.c.Btn_Next->click();  // a folder: to the adding page
    h.c.Edit_DBSearchDir->setText(QString::fromStdString(folder));
    h.c.TrackBar_DBResolution->setValue(100);
    h.c.Btn_Next->click();
}

}  // namespace

class WalkThroughTest : public QObject {
    Q_OBJECT

private slots:
    void aNewUserBuildsADatabaseEditsItAndRendersAMosaic() {
        Sandbox sandbox;
        Harness h(sandbox);
        QVERIFY(h.window->LayerActive("Layer_Welcome"));
        QVERIFY(!h.c.Btn_Prev->isEnabled());
        const std::string dbFolder = sandbox.documents + "/Pixadra/";
        const std::string db = dbFolder + "Urlaub";

        // Welcome -> database page; no database yet, so only a new one can be named.
        h.c.Btn_Next->click();
        QVERIFY(h.window->LayerActive("Layer_DBWelcome"));
        QVERIFY(h.c.Btn_Prev->isEnabled());
        h.c.CheckBox_DBWelcome_SearchDataBase->click();
        QVERIFY(!h.c.Radio_DBWelcome_Existing->isEnabled());
        QVERIFY(h.c.Radio_DBWelcome_New->isChecked());
        QCOMPARE(h.c.Edit_NewDB->text(), QString::fromStdString(GetLanguageWord("Const", "New")));

        // A name made only of characters that names may not hold is refused.
        h.c.Edit_NewDB->setText("/:*?");
        h.c.Btn_Next->click();
        QCOMPARE(LastMessageKey(h.dialogs), QString("NoDataBaseName"));
        QVERIFY(h.window->LayerActive("Layer_DBWelcome"));
        QVERIFY(!h.c.CheckBox_DBAdd_Sync->isEnabled());

        // Six pictures into the new database "Urlaub".
        const std::string pictures = PictureFolder(sandbox, 6);
        h.c.CheckBox_DBWelcome_SearchDataBase->click();  // off and on again, as a user might
        AddFromFolder(h, "Urlaub", pictures);
        QVERIFY(h.window->LayerActive("Layer_File"));
        QCOMPARE(IndexRecords(db), int64_t{6});
        QVERIFY(FileSize(db + ".dat") > 0);
        QVERIFY(h.c.Btn_Cancel->isHidden());
        QVERIFY(!h.window->Busy());

        // Back to the adding page; a second run is cancelled before its first picture.
        h.c.Btn_Prev->click();
        QVERIFY(h.window->LayerActive("Layer_DBAdd"));
        // "Abbrechen" is pressed as soon as it shows, while the window is busy adding.
        bool cancelShown = false;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            if (!h.c.Btn_Cancel->isVisible()) return;
            cancelShown = h.window->Busy() && !h.c.Btn_Next->isEnabled();
            watch.stop();
            h.c.Btn_Cancel->click();
        });
        watch.start(0);
        h.c.Btn_Next->click();
        watch.stop();
        QVERIFY(cancelShown);
        QVERIFY(h.window->LayerActive("Layer_DBAdd"));
        QVERIFY(!CancelFlag());
        QVERIFY(h.c.Btn_Cancel->isHidden());
        QCOMPARE(IndexRecords(db), int64_t{6});

        // Editing: delete lines 3 and 5, leave with "Weiter": the index loses them.
        h.c.Btn_Prev->click();
        QVERIFY(h.window->LayerActive("Layer_DBWelcome"));
        QCOMPARE(h.c.Combo_Existing_Add->currentText(), QString("Urlaub"));
        h.c.CheckBox_DBWelcome_DelDataBase->click();
        ClosePopups();
        QVERIFY(!h.c.CheckBox_DBWelcome_SearchDataBase->isChecked());
        QVERIFY(h.c.Combo_Existing_Del->isEnabled());
        QVERIFY(!h.c.Edit_NewDB->isEnabled());
        h.c.Btn_Next->click();
        QVERIFY(h.window->LayerActive("Layer_DBDel"));
        QCOMPARE(h.c.Label_Database->text(), QString("Urlaub"));
        QCOMPARE(h.c.ListBox_DataBase->count(), 6);
        QVERIFY(h.c.ListBox_DataBase->item(4)->text().startsWith("4   -   "));
        h.c.ListBox_DataBase->setCurrentRow(2);
        QCOMPARE(h.c.Label_Resolution->text(), QString("%1x%2").arg(h.c.Image_Preview->Picture().Width())
                                                    .arg(h.c.Image_Preview->Picture().Height()));
        QVERIFY(h.c.Label_FileName->text().endsWith("picture2.bmp"));
        SelectRows(h.c.ListBox_DataBase, {3, 5});
        QTest::keyClick(h.c.ListBox_DataBase, Qt::Key_Delete);
        const QString deleted = "*" + QString::fromStdString(GetLanguageWord("Const", "Deleted")) + "*";
        QCOMPARE(h.c.ListBox_DataBase->item(3)->text(), deleted);
        QCOMPARE(h.c.ListBox_DataBase->item(5)->text(), deleted);
        QCOMPARE(IndexRecords(db), int64_t{6});  // nothing written before "Weiter"
        const int64_t dataSize = FileSize(db + ".dat");
        h.c.Btn_Next->click();
        QVERIFY(h.window->LayerActive("Layer_File"));
        QCOMPARE(IndexRecords(db), int64_t{4});
        QCOMPARE(FileSize(db + ".idx~"), int64_t{kIndexHeaderSize + 6 * kIndexRecordSize});
        QCOMPARE(FileSize(db + ".dat"), dataSize);

        // Back from the file page reloads the database; deletions left with "Zurück" are dropped.
        h.c.Btn_Prev->click();
        QVERIFY(h.window->LayerActive("Layer_DBDel"));
        QCOMPARE(h.c.ListBox_DataBase->count(), 4);
        SelectRows(h.c.ListBox_DataBase, {0});
        h.c.Btn_DBDel_Del->click();
        h.c.Btn_Prev->click();
        QVERIFY(h.window->LayerActive("Layer_DBWelcome"));
        QCOMPARE(IndexRecords(db), int64_t{4});

        // Neither choice: straight to the file page; a picture and an output name without ".bmp".
        h.c.CheckBox_DBWelcome_DelDataBase->click();
        h.c.Btn_Next->click();
        QVERIFY(h.window->LayerActive("Layer_File"));
        h.c.Btn_Next->click();
        QCOMPARE(LastMessageKey(h.dialogs), QString("NoOpenPicture"));
        const std::string input = sandbox.root.File("photo.bmp");
        WritePicture(input, 400, 300, 3);
        h.chooser.pictures.push_back(input);
        h.c.Btn_File_Open->click();
        QCOMPARE(h.window->InputWidth(), 400);
        h.c.Btn_Next->click();
        QCOMPARE(LastMessageKey(h.dialogs), QString("NoSavePicture"));
        const std::string output = sandbox.root.File("mosaic");
        h.chooser.mosaics.push_back(output);
        h.c.Btn_File_Save->click();
        h.c.CheckBox_File_CreateSourcesTable->setChecked(true);
        h.c.Btn_Next->click();
        QVERIFY(h.window->LayerActive("Layer_ChooseDataBase"));
        QCOMPARE(h.c.ListBox_DB->count(), 1);
        QCOMPARE(h.c.ListBox_DB->currentRow(), 0);
        h.c.Btn_Next->click();
        QCOMPARE(LastMessageKey(h.dialogs), QString("NoDataBaseChoosen"));
        QVERIFY(h.window->LayerActive("Layer_ChooseDataBase"));
        h.c.ListBox_DB->item(0)->setCheckState(Qt::Checked);
        h.c.Btn_Next->click();
        QVERIFY(h.window->LayerActive("Layer_Options"));
        QVERIFY(!h.c.Label_PictureSize->text().isEmpty());

        // 100 tiles from 4 with a use limit of 5: the supply warning, first No, then Yes.
        h.c.Spin_TileCount->setValue(100);
        h.c.Spin_TileResolution->setValue(8);
        h.dialogs.Answer(kResultNo);
        h.c.Btn_Next->click();
        QCOMPARE(LastMessageKey(h.dialogs), QString("MoreTilesAsInDatabase"));
        QVERIFY(h.window->LayerActive("Layer_Options"));
        QVERIFY(!FileExists(output + ".bmp"));
        QVERIFY(h.c.Layer_Options->isEnabled());
        h.dialogs.Answer(kResultYes);
        h.c.Btn_Next->click();
        QVERIFY(h.window->LayerActive("Layer_Blend"));
        QCOMPARE(h.window->OutputPath(), output + ".bmp");
        Bitmap mosaic;
        QVERIFY(LoadPicture(output + ".bmp", mosaic));
        const GridSize cells = CalcTileGrid(400, 300, 100, 2);
        const TilePixels tile = MosaicTileSize(8 * 6, 2);
        QCOMPARE(mosaic.Width(), cells.Columns * tile.width);
        QCOMPARE(mosaic.Height(), cells.Rows * tile.height);
        const std::string csv = testing::ReadFileText(output + ".bmp.source.csv");
        QVERIFY(!csv.empty());
        QVERIFY(csv.find("picture") != std::string::npos);
        QVERIFY(!h.c.Image_Preview->Picture().Empty());
        QVERIFY(h.c.TrackBar_BlendFactor->isEnabled());

        // "Zurück" shows the options usable with a fresh grid; a second render comes back here.
        h.c.Btn_Prev->click();
        QVERIFY(h.window->LayerActive("Layer_Options"));
        QVERIFY(h.c.Layer_Options->isEnabled() && h.c.Spin_TileCount->isEnabled());
        QVERIFY(!h.c.Label_PictureSize->text().isEmpty());
        h.dialogs.Answer(kResultYes);
        h.c.Btn_Next->click();
        QVERIFY(h.window->LayerActive("Layer_Blend"));

        // The cross-fade: the label follows the track bar, the preview changes, "Weiter" saves.
        h.c.TrackBar_BlendFactor->setValue(50);
        QCOMPARE(h.c.Label_Blend->text(), QString("50 %"));
        const Bitmap before = h.c.Image_Preview->Picture();
        h.c.Btn_Blend_Preview->click();
        QVERIFY(!(h.c.Image_Preview->Picture() == before));
        QVERIFY(LoadPicture(output + ".bmp", mosaic));
        h.c.Btn_Next->click();
        QVERIFY(h.window->LayerActive("Layer_Done"));
        QCOMPARE(h.c.Btn_Next->text(), QString::fromStdString(GetLanguageWord("Const", "Close")));
        QVERIFY(h.c.Image_Preview->Picture().Empty());
        Bitmap blended;
        QVERIFY(LoadPicture(output + ".bmp", blended));
        QCOMPARE(blended.Width(), mosaic.Width());
        QVERIFY(!(blended == mosaic));

        // The last page: "Zurück" starts over on the welcome page.
        h.c.Btn_Prev->click();
        QVERIFY(h.window->LayerActive("Layer_Welcome"));
        QCOMPARE(h.c.Btn_Next->text(), QString::fromStdString(GetLanguageWord("Const", "Next")));
        QVERIFY(!h.c.Btn_Prev->isEnabled());
        QVERIFY(h.errors.isEmpty());
    }

    void aMosaicThatIsGoneCannotBeBlended() {
        Sandbox sandbox;
        Harness h(sandbox);
        h.c.Btn_Next->click();
        const std::string pictures = PictureFolder(sandbox, 3);
        AddFromFolder(h, "Tiere", pictures);
        const std::string input = sandbox.root.File("photo.bmp");
        WritePicture(input, 200, 150, 1);
        h.chooser.pictures.push_back(input);
        h.chooser.mosaics.push_back(sandbox.root.File("gone.bmp"));
        h.c.Btn_File_Open->click();
        h.c.Btn_File_Save->click();
        h.c.Btn_Next->click();
        h.c.ListBox_DB->item(0)->setCheckState(Qt::Checked);
        h.c.Btn_Next->click();
        h.c.Spin_TileCount->setValue(50);
        h.dialogs.Answer(kResultYes);
        h.c.Btn_Next->click();
        QVERIFY(h.window->LayerActive("Layer_Blend"));
        RemoveFile(sandbox.root.File("gone.bmp"));
        h.c.Btn_Blend_Preview->click();
        QCOMPARE(LastMessageKey(h.dialogs), QString("CanNotBlend"));
        QCOMPARE(h.dialogs.requests.back().kind, int(kDlgError));
        QVERIFY(!h.window->Busy());
        h.c.Btn_Next->click();
        QCOMPARE(LastMessageKey(h.dialogs), QString("CanNotBlend"));
        QVERIFY(h.window->LayerActive("Layer_Done"));
        QVERIFY(!FileExists(sandbox.root.File("gone.bmp")));
    }

    void anIndexThatCannotBeReadEndsTheHandlerOnItsPage() {
        Sandbox sandbox;
        Harness h(sandbox);
        h.c.Btn_Next->click();
        AddFromFolder(h, "Weg", PictureFolder(sandbox, 2));
        h.c.Btn_Prev->click();
        h.c.Btn_Prev->click();
        QVERIFY(h.window->LayerActive("Layer_DBWelcome"));
        h.c.CheckBox_DBWelcome_DelDataBase->click();
        ClosePopups();
        RemoveFile(sandbox.documents + "/Pixadra/Weg.idx");
        h.c.Btn_Next->click();
        QCOMPARE(h.errors.size(), 1);
        QVERIFY(h.window->LayerActive("Layer_DBWelcome"));
        QVERIFY(!h.window->Busy());
        QVERIFY(h.c.Layer_DBWelcome->isEnabled());
        QVERIFY(h.c.Btn_Next->isEnabled());
    }

    void exportedTilesEndInBmpAndOverwritingAsksFirst() {
        Sandbox sandbox;
        Harness h(sandbox);
        h.c.Btn_Next->click();
        AddFromFolder(h, "Export", PictureFolder(sandbox, 2));
        h.c.Btn_Prev->click();
        h.c.Btn_Prev->click();
        h.c.CheckBox_DBWelcome_DelDataBase->click();
        ClosePopups();
        h.c.Btn_Next->click();
        QVERIFY(h.window->LayerActive("Layer_DBDel"));
        h.c.ListBox_DataBase->setCurrentRow(1);
        const struct {
            const char* typed;
            const char* written;
        } names[] = {{"tile.jpg", "tile.jpg.bmp"}, {"tile.BMP", "tile.BMP"}};
        for (const auto& n : names) {
            h.chooser.tileBitmaps.push_back(sandbox.root.File(n.typed));
            h.c.Btn_DBDel_SavePicture->click();
            Bitmap exported;
            QVERIFY2(LoadPicture(sandbox.root.File(n.written), exported), n.written);
            QCOMPARE(QString("%1x%2").arg(exported.Width()).arg(exported.Height()), h.c.Label_Resolution->text());
        }
        // Over an existing file: No keeps it, Yes replaces it.
        testing::WriteFile(sandbox.root.File("tile.jpg.bmp"), "keep me");
        h.chooser.tileBitmaps.push_back(sandbox.root.File("tile.jpg"));
        h.dialogs.Answer(kResultNo);
        h.c.Btn_DBDel_SavePicture->click();
        QCOMPARE(LastMessageKey(h.dialogs), QString("ConfirmFileOverwrite"));
        QCOMPARE(testing::ReadFileText(sandbox.root.File("tile.jpg.bmp")), std::string("keep me"));
        h.chooser.tileBitmaps.push_back(sandbox.root.File("tile.jpg"));
        h.dialogs.Answer(kResultYes);
        h.c.Btn_DBDel_SavePicture->click();
        QVERIFY(FileSize(sandbox.root.File("tile.jpg.bmp")) > 7);

        // Deleting the whole database: No keeps it, Yes removes its files and goes back.
        h.dialogs.Answer(kResultNo);
        h.c.Btn_DBDel_DelDatabase->click();
        QVERIFY(h.window->LayerActive("Layer_DBDel"));
        QVERIFY(FileExists(sandbox.documents + "/Pixadra/Export.idx"));
        h.dialogs.Answer(kResultYes);
        h.c.Btn_DBDel_DelDatabase->click();
        QVERIFY(h.window->LayerActive("Layer_DBWelcome"));
        QVERIFY(!FileExists(sandbox.documents + "/Pixadra/Export.idx"));
        QVERIFY(!FileExists(sandbox.documents + "/Pixadra/Export.dat"));
        QCOMPARE(h.c.Combo_Existing_Del->count(), 0);
    }

    void closingTheWindowWhileAddingStopsBeforeTheNextPicture() {
        Sandbox sandbox;
        Harness h(sandbox);
        h.c.Btn_Next->click();
        const std::string pictures = PictureFolder(sandbox, 8);
        bool releasedWhileAdding = true;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            if (!h.c.Btn_Cancel->isVisible()) return;
            watch.stop();
            h.window->close();
            releasedWhileAdding = h.window->ResourcesReleased();
        });
        watch.start(0);
        AddFromFolder(h, "Halb", pictures);
        watch.stop();
        QVERIFY(!releasedWhileAdding);
        QVERIFY(h.window->ResourcesReleased());
        QVERIFY(IndexRecords(sandbox.documents + "/Pixadra/Halb") < 8);
        QVERIFY(!CancelFlag());  // the adding's "Weiter" cleared it after the run
        QVERIFY(h.errors.isEmpty());
    }

    void enterInTheDatabasePageActsAsWeiter() {
        Sandbox sandbox;
        Harness h(sandbox);
        h.c.Btn_Next->click();
        h.c.CheckBox_DBWelcome_SearchDataBase->click();
        h.c.Edit_NewDB->setText("Neu");
        QTest::keyClick(h.c.Edit_NewDB, Qt::Key_Return);
        QVERIFY(h.window->LayerActive("Layer_ChooseSource"));
        QTest::keyClick(h.c.Radio_ChooseSource_Folder, Qt::Key_Enter);
        QVERIFY(h.window->LayerActive("Layer_DBAdd"));
    }

    void anEmptySearchFolderAddsNothingAndMovesOn() {
        Sandbox sandbox;
        Harness h(sandbox);
        h.c.Btn_Next->click();
        AddFromFolder(h, "Leer", sandbox.root.File("no such folder"));
        QVERIFY(h.window->LayerActive("Layer_File"));
        QVERIFY(!FileExists(sandbox.documents + "/Pixadra/Leer.idx"));
        QVERIFY(h.dialogs.requests.empty());
    }
};

PIXADRA_UI_TEST(WalkThroughTest);

}  // namespace pixadra::uitest

#include "WalkThroughTest.moc"
