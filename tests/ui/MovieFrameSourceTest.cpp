// The movie player on its own: nothing to grab before a movie plays, frames at the movie's own
// size, the newest frame kept when playback pauses, a fresh player for every movie, and the
// view painting the frame fitted on black.
#include <QSignalSpy>
#include <QtTest>

#include "MovieClips.h"
#include "MovieFrameSource.h"
#include "UiTestSupport.h"
#include "VideoWindow.h"
#include "imaging/Bitmap.h"

namespace pixadra::uitest {
namespace {

QString Clip(const char* name) {
    return ClipPath(name);
}

QRgb PixelOf(const Bitmap& bitmap, int x, int y) {
    const uint8_t* p = bitmap.Row(y) + 3 * x;
    return qRgb(p[2], p[1], p[0]);
}

constexpr int kFrameTimeoutMs = 20000;  // generous: two cores shared with other builds

}  // namespace

class MovieFrameSourceTest : public QObject {
    Q_OBJECT

private slots:
    void nothingToGrabUntilAMoviePlays() {
        MovieFrameSource source;
        Bitmap frame(2, 2);
        frame.Fill(1, 2, 3);
        const Bitmap before = frame;
        source.play();  // no movie yet
        QVERIFY(!source.grab(frame));

        source.open(Clip("clip.mp4"));
        QTest::qWait(700);
        QVERIFY(!source.grab(frame));
        QVERIFY(source.newestFrame().isNull());
        QCOMPARE(frame, before);
    }

    void playsFramesAtTheMoviesOwnSize_data() {
        QTest::addColumn<QString>("clip");
        QTest::newRow("video only") << Clip("clip.mp4");
        QTest::newRow("with a sound track") << Clip("clip-with-sound.mp4");
    }

    void playsFramesAtTheMoviesOwnSize() {
        QFETCH(QString, clip);
        MovieFrameSource source;
        QSignalSpy changes(&source, &MovieFrameSource::frameChanged);
        source.open(clip);
        source.play();
        Bitmap frame;
        QTRY_VERIFY_WITH_TIMEOUT(source.grab(frame), kFrameTimeoutMs);
        QVERIFY(changes.count() >= 1);
        QCOMPARE(frame.Width(), 320);
        QCOMPARE(frame.Height(), 240);
        // Colours come through in the right order: the top half is red, the moving pattern below is not.
        QVERIFY(NearClipRed(PixelOf(frame, 160, 30)));
        QVERIFY(NearClipRed(PixelOf(frame, 10, 110)));
        int redBelow = 0;
        for (int x = 0; x < 320; x += 8) redBelow += NearClipRed(PixelOf(frame, x, 180)) ? 1 : 0;
        QVERIFY(redBelow < 20);
        // The grab is a copy: it matches the picture the view paints.
        const QImage image = source.newestFrame();
        QCOMPARE(image.size(), QSize(320, 240));
        QCOMPARE(image.pixelColor(160, 30).rgb(), PixelOf(frame, 160, 30));
    }

    void stopKeepsTheNewestFrame() {
        MovieFrameSource source;
        source.open(Clip("clip.mp4"));
        source.play();
        Bitmap frame;
        QTRY_VERIFY_WITH_TIMEOUT(source.grab(frame), kFrameTimeoutMs);
        source.stop();
        QTest::qWait(300);  // frames already on their way may still land
        Bitmap paused;
        QVERIFY(source.grab(paused));
        QTest::qWait(600);
        Bitmap later;
        QVERIFY(source.grab(later));
        QCOMPARE(later, paused);  // nothing plays any more, and the frame stays
        source.stop();            // twice is harmless
        QVERIFY(source.grab(later));
    }

    void openingAnotherFileStartsAfresh() {
        MovieFrameSource source;
        source.open(Clip("clip.mp4"));
        source.play();
        QTRY_VERIFY_WITH_TIMEOUT(source.hasFrame(), kFrameTimeoutMs);

        Sandbox sandbox;
        const std::string notAMovie = sandbox.root.File("not a movie.mp4");
        testing::WriteFile(notAMovie, "these bytes are no movie");
        QSignalSpy changes(&source, &MovieFrameSource::frameChanged);
        source.open(QString::fromStdString(notAMovie));
        QCOMPARE(changes.count(), 1);  // the view turns black
        Bitmap frame;
        QVERIFY(!source.grab(frame));
        source.play();
        QTest::qWait(1500);
        QVERIFY(!source.grab(frame));
    }

    void fittedRectKeepsTheAspectCentred_data() {
        QTest::addColumn<QSize>("frame");
        QTest::addColumn<QRect>("expected");
        QTest::newRow("same shape fills the box") << QSize(320, 240) << QRect(0, 0, 260, 195);
        QTest::newRow("small frames grow") << QSize(32, 24) << QRect(0, 0, 260, 195);
        QTest::newRow("wide: bars above and below") << QSize(1920, 800) << QRect(0, 43, 260, 108);
        QTest::newRow("tall: bars left and right") << QSize(480, 720) << QRect(65, 0, 130, 195);
        QTest::newRow("no frame") << QSize(0, 0) << QRect();
    }

    void fittedRectKeepsTheAspectCentred() {
        QFETCH(QSize, frame);
        QFETCH(QRect, expected);
        QCOMPARE(VideoWindow::FittedRect(frame, QSize(VideoWindow::kWidth, VideoWindow::kHeight)), expected);
    }

    void videoWindowPaintsTheNewestFrameOnBlack() {
        MovieFrameSource source;
        VideoWindow view;
        QCOMPARE(view.size(), QSize(260, 195));
        view.setSource(&source);
        view.show();
        const QImage empty = view.grab().toImage();
        QCOMPARE(empty.pixelColor(130, 40).rgb(), qRgb(0, 0, 0));
        QCOMPARE(empty.pixelColor(259, 194).rgb(), qRgb(0, 0, 0));

        source.open(Clip("clip.mp4"));
        source.play();
        QTRY_VERIFY_WITH_TIMEOUT(source.hasFrame(), kFrameTimeoutMs);
        QTRY_VERIFY_WITH_TIMEOUT(NearClipRed(view.grab().toImage().pixel(130, 40)), 5000);

        source.open(Clip("clip.mp4"));  // a fresh movie shows black until it plays
        QCOMPARE(view.grab().toImage().pixelColor(130, 40).rgb(), qRgb(0, 0, 0));
    }
};

PIXADRA_UI_TEST(MovieFrameSourceTest);

}  // namespace pixadra::uitest

#include "MovieFrameSourceTest.moc"
