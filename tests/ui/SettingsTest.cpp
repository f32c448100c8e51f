// Settings kept between runs: what a first start stores, what a later start reads back, and
// where a damaged or older settings file stops the reading.
#include <QSettings>
#include <QtTest>

#include "UiTestSupport.h"
#include "support/FileSystem.h"
#include "support/SystemInfo.h"

namespace pixadra::uitest {
namespace {

QString Stored(const Sandbox& sandbox, const char* name) {
    QSettings settings(QString::fromStdString(sandbox.SettingsFile()), QSettings::IniFormat);
    return settings.value(name, QStringLiteral("<missing>")).toString();
}

// A settings file as an older or damaged run might have left it.
void WriteSettings(const Sandbox& sandbox, const std::string& lines) {
    CreateFolders(sandbox.settings + "/Pixadra");
    testing::WriteFile(sandbox.SettingsFile(), "[General]\n" + lines);
}

const char* const kCompleteSettings =
    "Version=4.1.0\nTileCount=3000\nTileResolution=40\nTileMaxCount=7\nDatabaseSearchDir=/pictures\n"
    "RekursiveSearch=1\nDatabaseSync=0\nDatabasePreview=1\nBlendFactor=37\nCreateSourcesTable=1\n"
    "DatabaseResolution=600\nRenderMovie_Time=9\n";

}  // namespace

class SettingsTest : public QObject {
    Q_OBJECT

private slots:
    void firstStartStoresTheInitialValues() {
        Sandbox sandbox;
        Harness h(sandbox);
        const struct {
            const char* name;
            const char* value;
        } expected[] = {
            {"Version", "4.1.0"},       {"TileCount", "1000"},         {"TileResolution", "28"},
            {"TileMaxCount", "5"},      {"DatabaseSearchDir", ""},     {"RekursiveSearch", "0"},
            {"DatabaseSync", "0"},      {"DatabasePreview", "0"},      {"BlendFactor", "0"},
            {"CreateSourcesTable", "0"}, {"DatabaseResolution", "300"}, {"RenderMovie_Time", "5"},
            {"OpenDir", "<missing>"},   {"SaveDir", "<missing>"},      {"OpenDir_Movie", "<missing>"},
        };
        for (const auto& e : expected) QCOMPARE(Stored(sandbox, e.name), QString(e.value));
        const std::string databases = sandbox.documents + "/Pixadra/";
        QVERIFY(FolderExists(databases));
        QCOMPARE(h.window->DataBaseFolder(), databases);
        QCOMPARE(Stored(sandbox, "DBDir"), QString::fromStdString(databases));
        QCOMPARE(h.c.Spin_TileResolution->value(), 28);
        QCOMPARE(h.c.Spin_TileResolution_2->value(), 21);
        QVERIFY(h.window->LayerActive("Layer_Welcome"));
        QVERIFY(!h.c.Btn_Prev->isEnabled());
    }

    void valuesPersistAcrossTwoStarts() {
        Sandbox sandbox;
        {
            Harness first(sandbox);
            first.c.Spin_TileCount->setValue(2500);
            first.c.Spin_TileResolution->setValue(40);
            first.c.Spin_MaxCount->setValue(9);
            first.c.Edit_DBSearchDir->setText("/somewhere/pictures");
            first.c.CheckBox_DBAdd_Rekursive->setChecked(true);
            first.c.CheckBox_DBAdd_Preview->setChecked(true);
            first.c.TrackBar_BlendFactor->setValue(37);
            first.c.CheckBox_File_CreateSourcesTable->setChecked(true);
            first.c.TrackBar_DBResolution->setValue(500);
            first.c.Spin_RenderMovie_1->setValue(12);
            first.c.Btn_Next->click();
        }
        Harness second(sandbox);
        QCOMPARE(second.c.Spin_TileCount->value(), 2500);
        QCOMPARE(second.c.Spin_TileResolution->value(), 40);
        QCOMPARE(second.c.Spin_TileResolution_2->value(), 30);
        QCOMPARE(second.c.Spin_MaxCount->value(), 9);
        QCOMPARE(second.c.Edit_DBSearchDir->text(), QString("/somewhere/pictures"));
        QVERIFY(second.c.CheckBox_DBAdd_Rekursive->isChecked());
        QVERIFY(!second.c.CheckBox_DBAdd_Sync->isChecked());
        QVERIFY(second.c.CheckBox_DBAdd_Preview->isChecked());
        QCOMPARE(second.c.TrackBar_BlendFactor->value(), 37);
        QVERIFY(second.c.CheckBox_File_CreateSourcesTable->isChecked());
        QCOMPARE(second.c.TrackBar_DBResolution->value(), 500);
        QVERIFY(second.c.Label_DBResolution->text().startsWith("0,25 MegaPixel"));
        QCOMPARE(second.c.Label_Blend->text(), QString("37 %"));
        QCOMPARE(second.c.Spin_RenderMovie_1->value(), 12);
        QCOMPARE(second.window->DataBaseFolder(), sandbox.documents + "/Pixadra/");
    }

    void changesWithoutWeiterAreNotKept() {
        Sandbox sandbox;
        {
            Harness first(sandbox);
            first.c.Spin_MaxCount->setValue(9);
        }
        Harness second(sandbox);
        QCOMPARE(second.c.Spin_MaxCount->value(), 5);
    }

    void readingStopsAtTheFirstValueThatIsMissingOrBad_data() {
        QTest::addColumn<QString>("settings");
        QTest::addColumn<int>("tileCount");
        QTest::addColumn<int>("maxCount");
        QTest::addColumn<int>("resolution");
        QTest::addColumn<int>("movieTime");
        QTest::addColumn<bool>("databaseFolderSettled");
        const QString all = kCompleteSettings;
        QTest::newRow("complete") << all << 3000 << 7 << 600 << 9 << true;
        QTest::newRow("no RenderMovie_Time") << QString(all).remove("RenderMovie_Time=9\n") << 3000 << 7 << 600 << 5
                                             << false;
        QTest::newRow("TileMaxCount not a number")
            << QString(all).replace("TileMaxCount=7", "TileMaxCount=seven") << 3000 << 5 << 300 << 5 << false;
        QTest::newRow("TileCount missing") << QString(all).remove("TileCount=3000\n") << 1000 << 5 << 300 << 5
                                           << false;
        QTest::newRow("missing search folder reads as empty")
            << QString(all).remove("DatabaseSearchDir=/pictures\n") << 3000 << 7 << 600 << 9 << true;
    }
    void readingStopsAtTheFirstValueThatIsMissingOrBad() {
        QFETCH(QString, settings);
        QFETCH(int, tileCount);
        QFETCH(int, maxCount);
        QFETCH(int, resolution);
        QFETCH(int, movieTime);
        QFETCH(bool, databaseFolderSettled);
        Sandbox sandbox;
        const std::string dbDir = sandbox.root.File("databases");
        CreateFolders(dbDir);
        WriteSettings(sandbox, settings.toStdString() + "DBDir=" + dbDir + "\n");
        Harness h(sandbox);
        QCOMPARE(h.c.Spin_TileCount->value(), tileCount);
        QCOMPARE(h.c.Spin_MaxCount->value(), maxCount);
        QCOMPARE(h.c.TrackBar_DBResolution->value(), resolution);
        QCOMPARE(h.c.Spin_RenderMovie_1->value(), movieTime);
        if (databaseFolderSettled) {
            QCOMPARE(h.window->DataBaseFolder(), dbDir + "/");
            QCOMPARE(h.c.Edit_ChooseSource_DBDir->text().toStdString(), dbDir + "/");
        } else {
            QCOMPARE(h.window->DataBaseFolder(), ExecutableFolder());
            QVERIFY(h.c.Edit_ChooseSource_DBDir->text().isEmpty());
            // The start-up's "Weiter" stored every value, so the next start reads them all.
            QCOMPARE(Stored(sandbox, "RenderMovie_Time"), QString::number(movieTime));
            QCOMPARE(Stored(sandbox, "DBDir").toStdString(), dbDir);
        }
    }

    void aBooleanStoredAsTwoReadsTrueAndIsWrittenBackAsOne() {
        Sandbox sandbox;
        WriteSettings(sandbox, QString(kCompleteSettings).replace("RekursiveSearch=1", "RekursiveSearch=2").toStdString());
        Harness h(sandbox);
        QVERIFY(h.c.CheckBox_DBAdd_Rekursive->isChecked());
        QCOMPARE(Stored(sandbox, "RekursiveSearch"), QString("1"));
    }

    void valuesOutsideARangeAreClampedByTheControl() {
        Sandbox sandbox;
        WriteSettings(sandbox, QString(kCompleteSettings)
                                   .replace("TileCount=3000", "TileCount=5")
                                   .replace("DatabaseResolution=600", "DatabaseResolution=5000")
                                   .toStdString());
        Harness h(sandbox);
        QCOMPARE(h.c.Spin_TileCount->value(), 10);
        QCOMPARE(h.c.TrackBar_DBResolution->value(), 1000);
    }

    void aStoredDatabaseFolderThatIsGoneIsReplaced() {
        Sandbox sandbox;
        WriteSettings(sandbox, std::string(kCompleteSettings) + "DBDir=" + sandbox.root.File("gone") + "/\n");
        Harness h(sandbox);
        QCOMPARE(h.window->DataBaseFolder(), sandbox.documents + "/Pixadra/");
        QCOMPARE(Stored(sandbox, "DBDir").toStdString(), sandbox.documents + "/Pixadra/");
    }

    void dialogFoldersAreStoredOnlyForChosenFiles() {
        Sandbox sandbox;
        const std::string picture = sandbox.root.File("pictures/photo.bmp");
        CreateFolders(sandbox.root.File("pictures"));
        WritePicture(picture, 40, 30);
        {
            Harness first(sandbox);
            first.window->ActivateLayer("Layer_File");
            first.chooser.pictures.push_back(picture);
            first.chooser.mosaics.push_back(sandbox.root.File("out/mosaic"));
            first.c.Btn_File_Open->click();
            first.c.Btn_File_Save->click();
            first.c.Btn_Next->click();
        }
        QCOMPARE(Stored(sandbox, "OpenDir").toStdString(), sandbox.root.File("pictures"));
        QCOMPARE(Stored(sandbox, "SaveDir").toStdString(), sandbox.root.File("out"));
        QCOMPARE(Stored(sandbox, "OpenDir_Movie"), QString("<missing>"));
        Harness second(sandbox);
        second.window->ActivateLayer("Layer_File");
        second.c.Btn_File_Open->click();
        second.c.Btn_File_Save->click();
        QCOMPARE(second.chooser.initialDirs,
                 (std::vector<std::string>{sandbox.root.File("pictures"), sandbox.root.File("out")}));
    }
};

PIXADRA_UI_TEST(SettingsTest);

}  // namespace pixadra::uitest

#include "SettingsTest.moc"
