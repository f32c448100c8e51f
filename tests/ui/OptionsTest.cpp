// The options page: tile proportions, the mosaic's size figure and its colour, the grid
// preview, and the resolution label of the adding page.
#include <QLineEdit>
#include <QtTest>

#include "PreviewView.h"
#include "UiTestSupport.h"

namespace pixadra::uitest {
namespace {

QLineEdit* EditOf(QSpinBox* spin) { return spin->findChild<QLineEdit*>(); }

// A started window with a chosen picture of the given size.
void ChoosePicture(Harness& h, int width, int height) {
    const std::string path = h.sandbox.root.File("input.bmp");
    WritePicture(path, width, height);
    h.chooser.pictures.push_back(path);
    h.c.Btn_File_Open->click();
}

QRadioButton* ShapeRadio(Harness& h, int shape) {
    return shape == 2 ? h.c.Radio_Options_FormatType_Landscape
           : shape == 1 ? h.c.Radio_Options_FormatType_Portrait
                        : h.c.Radio_Options_FormatType_Square;
}

}  // namespace

class OptionsTest : public QObject {
    Q_OBJECT

private slots:
    void shapesKeepTheTileInProportion() {
        Sandbox sandbox;
        Harness h(sandbox);
        QCOMPARE(h.window->FormatType(), 2);
        const struct {
            int shape;
            int width, height;
        } steps[] = {{0, 28, 28}, {1, 27, 36}, {2, 24, 18}, {0, 24, 24}, {2, 24, 18}};
        for (const auto& s : steps) {
            ShapeRadio(h, s.shape)->click();
            QCOMPARE(h.window->FormatType(), s.shape);
            QCOMPARE(h.c.Spin_TileResolution->value(), s.width);
            QCOMPARE(h.c.Spin_TileResolution_2->value(), s.height);
        }
    }

    void widthsSnapToTheShapesStep_data() {
        QTest::addColumn<int>("shape");
        QTest::addColumn<int>("typed");  // as the spin arrows or the settings set it
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::newRow("landscape 30") << 2 << 30 << 28 << 21;
        QTest::newRow("landscape 31") << 2 << 31 << 28 << 21;
        QTest::newRow("landscape 32") << 2 << 32 << 32 << 24;
        QTest::newRow("landscape below minimum") << 2 << 3 << 4 << 3;
        QTest::newRow("portrait 31") << 1 << 31 << 30 << 40;
        QTest::newRow("square 31") << 0 << 31 << 31 << 31;
    }
    void widthsSnapToTheShapesStep() {
        QFETCH(int, shape);
        QFETCH(int, typed);
        QFETCH(int, width);
        QFETCH(int, height);
        Sandbox sandbox;
        Harness h(sandbox);
        ShapeRadio(h, shape)->click();
        h.c.Spin_TileResolution->setValue(typed);
        QCOMPARE(h.c.Spin_TileResolution->value(), width);
        QCOMPARE(h.c.Spin_TileResolution_2->value(), height);
        QCOMPARE(EditOf(h.c.Spin_TileResolution)->text(), QString::number(width));
    }

    void anEmptiedWidthFieldGetsItsMinimumAtOnce() {
        Sandbox sandbox;
        Harness h(sandbox);
        QLineEdit* edit = EditOf(h.c.Spin_TileResolution);
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        QCOMPARE(edit->text(), QString("4"));
        QCOMPARE(h.c.Spin_TileResolution_2->value(), 3);
    }

    void fromSquareWidthTwoToPortraitClampsToTheMinimum() {
        Sandbox sandbox;
        Harness h(sandbox);
        h.c.Radio_Options_FormatType_Square->click();
        h.c.Spin_TileResolution->setValue(2);
        QCOMPARE(h.c.Spin_TileResolution_2->value(), 2);
        h.c.Radio_Options_FormatType_Portrait->click();
        QCOMPARE(h.c.Spin_TileResolution->value(), 3);
        QCOMPARE(h.c.Spin_TileResolution_2->value(), 4);
    }

    void sizeFigureIsBlackOnlyWhenTheMemoryHoldsTheMosaic_data() {
        QTest::addColumn<qint64>("available");
        QTest::addColumn<bool>("red");
        QTest::newRow("exactly the need") << qint64(2881200) << true;
        QTest::newRow("one byte more") << qint64(2881201) << false;
        QTest::newRow("nothing") << qint64(0) << true;
    }
    void sizeFigureIsBlackOnlyWhenTheMemoryHoldsTheMosaic() {
        QFETCH(qint64, available);
        QFETCH(bool, red);
        Sandbox sandbox;
        Harness h(sandbox);
        h.availableMemory = available;
        ChoosePicture(h, 1000, 750);
        h.window->ActivateLayer("Layer_Options");
        h.window->Spin_TileCountChange(h.c.Spin_TileCount);
        QCOMPARE(h.c.Label_PictureSize->text(), QString("Größe des Mosaiks: 980 x 735 Pixel"));
        const QColor colour = h.c.Label_PictureSize->palette().color(QPalette::WindowText);
        QCOMPARE(colour, red ? QColor(Qt::red) : QColor(Qt::black));
    }

    void aHugeMosaicIsRedInsteadOfOverflowing() {
        Sandbox sandbox;
        Harness h(sandbox);
        h.availableMemory = int64_t{1} << 62;
        ChoosePicture(h, 1000, 750);
        h.window->ActivateLayer("Layer_Options");
        // 35 x 35 tiles of 10^8 x 7.5 x 10^7 pixels need about 10^21 bytes.
        h.c.Spin_TileResolution->setValue(100000000);
        h.window->Spin_TileCountChange(h.c.Spin_TileCount);
        QVERIFY(h.c.Label_PictureSize->text().contains("3500000000 x 2625000000"));
        QCOMPARE(h.c.Label_PictureSize->palette().color(QPalette::WindowText), QColor(Qt::red));
    }

    void theFigureIsOnlyWrittenOnTheOptionsPage() {
        Sandbox sandbox;
        Harness h(sandbox);
        ChoosePicture(h, 1000, 750);
        h.window->ActivateLayer("Layer_File");
        h.c.Spin_TileResolution->setValue(40);
        QVERIFY(h.c.Label_PictureSize->text().isEmpty());
        QCOMPARE(h.c.Spin_TileResolution_2->value(), 30);
    }

    void lettersInTheTileCountReadAsItsMinimum() {
        Sandbox sandbox;
        Harness h(sandbox);
        ChoosePicture(h, 1000, 750);
        h.window->ActivateLayer("Layer_Options");
        h.c.Spin_TileCount->setValue(10);
        const QString atMinimum = h.c.Label_PictureSize->text();
        h.c.Spin_TileCount->setValue(1000);
        QVERIFY(h.c.Label_PictureSize->text() != atMinimum);
        EditOf(h.c.Spin_TileCount)->setText("abc");
        h.window->Spin_TileCountChange(h.c.Spin_TileCount);
        QCOMPARE(h.c.Label_PictureSize->text(), atMinimum);
    }

    void theTileCountDrawsTheGridIntoThePreview() {
        Sandbox sandbox;
        Harness h(sandbox);
        ChoosePicture(h, 1000, 750);
        const Bitmap chosen = h.c.Image_Preview->Picture();
        QCOMPARE(chosen.Width(), 237);
        h.window->ActivateLayer("Layer_Options");
        h.window->Spin_TileCountChange(h.c.Spin_TileCount);  // 35 x 35 cells: blocks of 6 x 5 pixels
        const Bitmap grid = h.c.Image_Preview->Picture();
        QCOMPARE(grid.Width(), 237);
        QVERIFY(!(grid == chosen));
        for (int y = 0; y < 5; ++y) {
            for (int x = 0; x < 6; ++x) {
                QVERIFY(std::equal(grid.Row(y) + 3 * x, grid.Row(y) + 3 * x + 3, grid.Row(0)));
            }
        }
        // A tile width change only updates the figure; the grid stays as it was.
        h.c.Spin_TileResolution->setValue(40);
        QVERIFY(h.c.Image_Preview->Picture() == grid);
    }

    void gridsFinerThanThePreviewLeaveThePictureAlone_data() {
        QTest::addColumn<int>("tileCount");
        QTest::newRow("more columns than pixels") << 400000;
        QTest::newRow("no cell at all") << 100000000;
    }
    void gridsFinerThanThePreviewLeaveThePictureAlone() {
        QFETCH(int, tileCount);
        Sandbox sandbox;
        Harness h(sandbox);
        ChoosePicture(h, 1000, 750);
        const Bitmap chosen = h.c.Image_Preview->Picture();
        h.window->ActivateLayer("Layer_Options");
        h.c.Spin_TileCount->setValue(tileCount);
        QVERIFY(h.c.Image_Preview->Picture() == chosen);
    }

    void resolutionLabelShowsMegapixelsInTheLocalesForm_data() {
        QTest::addColumn<int>("side");
        QTest::addColumn<QString>("figure");
        QTest::newRow("300") << 300 << "0,09";
        QTest::newRow("50") << 50 << "0,0025";
        QTest::newRow("55") << 55 << "0,003";
        QTest::newRow("333") << 333 << "0,1109";
        QTest::newRow("1000") << 1000 << "1";
    }
    void resolutionLabelShowsMegapixelsInTheLocalesForm() {
        QFETCH(int, side);
        QFETCH(QString, figure);
        Sandbox sandbox;
        Harness h(sandbox);
        h.c.TrackBar_DBResolution->setValue(side == 300 ? 301 : 300);
        h.c.TrackBar_DBResolution->setValue(side);
        QCOMPARE(h.c.Label_DBResolution->text(),
                 QString("%1 MegaPixel (ca. %2x%2 Pixel)").arg(figure).arg(side));
    }
};

PIXADRA_UI_TEST(OptionsTest);

}  // namespace pixadra::uitest

#include "OptionsTest.moc"
