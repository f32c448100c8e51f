#include "MovieFrameSource.h"

#include <QAudioDevice>
#include <QAudioOutput>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QUrl>
#include <QVideoSink>
#include <cstring>

#include "imaging/Bitmap.h"

namespace pixadra {

void MovieFrameSource::ChooseBackend() {
    // The GStreamer backend of Qt 6.4 corrupts the heap at exit; FFmpeg's ships in the same package.
    if (qEnvironmentVariableIsEmpty("QT_MEDIA_BACKEND")) qputenv("QT_MEDIA_BACKEND", "ffmpeg");
}

MovieFrameSource::MovieFrameSource(QObject* parent) : QObject(parent) {}

MovieFrameSource::~MovieFrameSource() {
    release();
}

void MovieFrameSource::release() {
    ++generation_;
    if (player_) player_->stop();
    player_.reset();
    audio_.reset();
    sink_.reset();
    played_ = false;
    newest_ = QVideoFrame();
    converted_ = QImage();
}

void MovieFrameSource::open(const QString& path) {
    release();
    emit frameChanged();
    sink_ = std::make_unique<QVideoSink>();
    // A movie with sound stalls when an audio output without a device is attached (headless
    // machines), so sound plays only where there is somewhere to play it.
    if (!QMediaDevices::audioOutputs().isEmpty()) audio_ = std::make_unique<QAudioOutput>();
    player_ = std::make_unique<QMediaPlayer>();
    player_->setVideoSink(sink_.get());
    if (audio_) player_->setAudioOutput(audio_.get());

    // The sink may signal from the decoder's thread; the context object queues the frame to ours.
    const uint64_t generation = generation_;
    connect(sink_.get(), &QVideoSink::videoFrameChanged, this,
            [this, generation](const QVideoFrame& frame) { takeFrame(generation, frame); });
    player_->setSource(QUrl::fromLocalFile(path));
}

void MovieFrameSource::play() {
    if (!player_) return;
    played_ = true;
    player_->play();
}

void MovieFrameSource::stop() {
    if (player_ && player_->playbackState() == QMediaPlayer::PlayingState) player_->pause();
}

void MovieFrameSource::takeFrame(uint64_t generation, const QVideoFrame& frame) {
    // The player hands an empty frame when it stops or ends; the last picture stays the newest.
    // Frames before the first play() (a backend may show one on loading) do not count.
    if (generation != generation_ || !played_ || !frame.isValid()) return;
    newest_ = frame;
    converted_ = QImage();
    emit frameChanged();
}

QImage MovieFrameSource::newestFrame() const {
    if (converted_.isNull() && newest_.isValid()) {
        converted_ = newest_.toImage().convertToFormat(QImage::Format_BGR888);
    }
    return converted_;
}

bool MovieFrameSource::grab(Bitmap& frame) const {
    const QImage image = newestFrame();
    if (image.isNull()) return false;
    Bitmap copy(image.width(), image.height());
    for (int y = 0; y < image.height(); ++y) {
        std::memcpy(copy.Row(y), image.constScanLine(y), copy.Stride());
    }
    frame = std::move(copy);
    return true;
}

}  // namespace pixadra
