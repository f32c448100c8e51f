// Walks the wizard as a user would, with generated pictures, and saves a PNG of the whole
// window on every page: a new database being filled, the edit page with its tiles, the
// options with the grid preview, the cross-fade of a rendered mosaic.
// Run by scripts/screenshots under Xvfb: pixadra_screenshot_tour <folder>.
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QListWidget>
#include <QPainter>
#include <QPainterPath>
#include <QProgressBar>
#include <QRadialGradient>
#include <QTemporaryDir>
#include <QTimer>
#include <cmath>
#include <cstdio>

#include "PreviewView.h"
#include "UiTestSupport.h"
#include "support/FileSystem.h"
#include "support/Language.h"

using namespace pixadra;

namespace {

QString g_folder;
int g_number = 0;

void Settle() {
    for (int i = 0; i < 10; ++i) QCoreApplication::processEvents();
}

void Shoot(QWidget& window, const QString& name) {
    Settle();
    const QString path = QString("%1/%2-%3.png").arg(g_folder).arg(++g_number, 2, 10, QChar('0')).arg(name);
    if (!window.grab().save(path)) std::fprintf(stderr, "could not write %s\n", qPrintable(path));
    std::printf("%s\n", qPrintable(path));
}

// A tile picture in a colour of the photograph: a soft gradient with a brighter disc, as a
// holiday snapshot would look from afar.
void WriteTilePicture(const std::string& path, const QColor& base, int index) {
    QImage image(180, 135, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 180, 135);
    g.setColorAt(0, base.lighter(115));
    g.setColorAt(1, base.darker(120));
    p.fillRect(image.rect(), g);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor::fromHsv((base.hsvHue() + 30 + index * 11) % 360, 60, std::min(255, base.value() + 60), 120));
    p.drawEllipse(QPointF(40 + (index * 29) % 100, 30 + (index * 17) % 70), 24, 24);
    p.end();
    image.save(QString::fromStdString(path), "BMP");
}

// The photograph of the mosaic: an evening sea with a sun and a sailing boat.
void WritePhoto(const std::string& path) {
    QImage image(960, 720, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 430);
    sky.setColorAt(0, QColor(28, 61, 90));
    sky.setColorAt(0.6, QColor(228, 110, 70));
    sky.setColorAt(1, QColor(246, 190, 100));
    p.fillRect(0, 0, 960, 430, sky);
    QRadialGradient sun(QPointF(600, 380), 90);
    sun.setColorAt(0, QColor(255, 240, 190));
    sun.setColorAt(1, QColor(250, 170, 80, 0));
    p.setBrush(sun);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(600, 380), 90, 90);
    QLinearGradient sea(0, 430, 0, 720);
    sea.setColorAt(0, QColor(40, 120, 140));
    sea.setColorAt(1, QColor(20, 50, 80));
    p.fillRect(0, 430, 960, 290, sea);
    for (int y = 440; y < 720; y += 14) {
        p.fillRect(QRectF(600 - (y - 400) * 0.4, y, (y - 400) * 0.8, 4), QColor(250, 190, 110, 140));
    }
    QPainterPath hull;
    hull.moveTo(250, 470);
    hull.lineTo(390, 470);
    hull.lineTo(365, 495);
    hull.lineTo(270, 495);
    hull.closeSubpath();
    p.setBrush(QColor(30, 30, 40));
    p.drawPath(hull);
    QPainterPath sail;
    sail.moveTo(318, 465);
    sail.lineTo(318, 330);
    sail.lineTo(380, 460);
    sail.closeSubpath();
    p.setBrush(QColor(245, 240, 230));
    p.drawPath(sail);
    p.end();
    image.save(QString::fromStdString(path), "BMP");
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <folder for the PNG files>\n", argv[0]);
        return 2;
    }
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    QApplication app(argc, argv);
    QApplication::setStyle("Fusion");
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    g_folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(g_folder);
    LoadLanguageFile();

    uitest::Sandbox sandbox;
    const std::string photo = sandbox.root.File("Abendsegler am Meer.bmp");
    WritePhoto(photo);
    // Tiles in the colours of the photograph, so the mosaic shows its picture.
    const QImage scene(QString::fromStdString(photo));
    const std::string pictures = sandbox.root.File("Urlaubsbilder");
    CreateFolders(pictures);
    const char* const places[] = {"Strand", "Hafen", "Düne", "Leuchtturm", "Abendrot", "Segelboot"};
    std::string sources;
    for (int i = 0; i < 96; ++i) {
        const QColor base = scene.pixelColor((i % 12) * 80 + 40, (i / 12) * 90 + 45);
        const std::string name = "IMG_" + std::to_string(1000 + i) + ".bmp";
        WriteTilePicture(pictures + "/" + name, base, i);
        sources += name + ";" + places[i % 6] + ", Tag " + std::to_string(1 + i / 12) + "\r\n";
    }
    testing::WriteFile(pictures + "/sources.list.txt", sources);

    uitest::Harness h(sandbox);
    TPixadra_Main& w = *h.window;
    auto& c = h.c;
    Shoot(w, "Welcome");

    c.Btn_Next->click();
    c.CheckBox_DBWelcome_SearchDataBase->click();
    uitest::ClosePopups();
    c.Edit_NewDB->setText("Urlaub 2024");
    Shoot(w, "DBWelcome-new-database");
    c.Btn_Next->click();
    Shoot(w, "ChooseSource");
    c.Btn_Next->click();
    c.Edit_DBSearchDir->setText(QString::fromStdString(pictures));
    c.CheckBox_DBAdd_Preview->setChecked(true);
    c.TrackBar_DBResolution->setValue(250);
    Shoot(w, "DBAdd");
    // One picture of the window while the pictures are being added.
    QTimer watch;
    int ticks = 0;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (!c.Btn_Cancel->isVisible() || c.Image_Preview->pixmap().isNull() || ++ticks < 20) return;
        watch.stop();
        Shoot(w, "DBAdd-adding");
    });
    watch.start(0);
    c.Btn_Next->click();
    watch.stop();
    Shoot(w, "File-empty");

    // The edit page with the new database's tiles, one of them selected.
    c.Btn_Prev->click();
    c.Btn_Prev->click();
    c.CheckBox_DBWelcome_DelDataBase->click();
    uitest::ClosePopups();
    Shoot(w, "DBWelcome-edit");
    c.Btn_Next->click();
    c.ListBox_DataBase->clearSelection();
    c.ListBox_DataBase->item(3)->setSelected(true);
    c.ListBox_DataBase->item(4)->setSelected(true);
    c.Btn_DBDel_Del->click();
    c.ListBox_DataBase->setCurrentRow(7);
    Shoot(w, "DBDel");
    c.Btn_Prev->click();
    c.CheckBox_DBWelcome_DelDataBase->click();

    // The movie page, as it looks before a movie is opened.
    w.ActivateLayer("Layer_RenderMovie");
    Shoot(w, "RenderMovie");
    w.ActivateLayer("Layer_DBWelcome");

    // A picture and an output file, the database ticked, the options with the grid preview.
    c.Btn_Next->click();
    h.chooser.pictures.push_back(photo);
    h.chooser.mosaics.push_back(sandbox.root.File("Mosaike/Abendsegler als Mosaik"));
    CreateFolders(sandbox.root.File("Mosaike"));
    c.Btn_File_Open->click();
    c.Btn_File_Save->click();
    c.CheckBox_File_CreateSourcesTable->setChecked(true);
    Shoot(w, "File");
    c.Btn_Next->click();
    c.ListBox_DB->item(0)->setCheckState(Qt::Checked);
    Shoot(w, "ChooseDataBase");
    c.Btn_Next->click();
    c.Spin_TileCount->setValue(1200);
    c.Spin_TileResolution->setValue(16);
    c.Spin_MaxCount->setValue(20);
    Shoot(w, "Options");

    // The render, then the cross-fade page with the mosaic and a preview at 30 %.
    h.dialogs.Answer(kResultYes);
    h.dialogs.Answer(kResultYes);
    c.Btn_Next->click();
    Shoot(w, "Blend-mosaic");
    c.TrackBar_BlendFactor->setValue(30);
    c.Btn_Blend_Preview->click();
    Shoot(w, "Blend-preview");
    c.Btn_Next->click();
    Shoot(w, "Done");
    if (!h.errors.isEmpty()) {
        std::fprintf(stderr, "the tour met errors: %s\n", qPrintable(h.errors.join("; ")));
        return 1;
    }
    return 0;
}
