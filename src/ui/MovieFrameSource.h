#pragma once
// The movie player of the movie page: plays one movie file into a video sink (with sound when
// the machine has an audio output) and keeps the newest decoded frame for painting and grabbing.
#include <QImage>
#include <QObject>
#include <QString>
#include <QVideoFrame>
#include <cstdint>
#include <memory>

class QAudioOutput;
class QMediaPlayer;
class QVideoSink;

namespace pixadra {

class Bitmap;

class MovieFrameSource : public QObject {
    Q_OBJECT

public:
    // Picks the Qt Multimedia backend that plays reliably here (FFmpeg) unless the environment
    // names one already. Call before the application object is created.
    static void ChooseBackend();

    explicit MovieFrameSource(QObject* parent = nullptr);
    ~MovieFrameSource() override;

    // Releases the current movie and prepares a fresh player for `path`; nothing plays yet.
    // Whether the file can be played is not examined: an unplayable file simply delivers no frames.
    void open(const QString& path);
    // Starts or continues playback at normal speed; does nothing before open().
    void play();
    // Pauses playback; the newest frame stays, and play() continues from here.
    void stop();

    // Copies the newest frame into `frame` at the video's own size (24-bit BGR). Returns false,
    // leaving `frame` untouched, when no frame has been played since open(). Throws SizeError for a
    // frame too large for a Bitmap.
    bool grab(Bitmap& frame) const;
    // The newest frame as a picture; null when there is none.
    QImage newestFrame() const;
    bool hasFrame() const { return newest_.isValid(); }
    bool hasAudio() const { return audio_ != nullptr; }

signals:
    // The newest frame has changed (to none on open()).
    void frameChanged();

private:
    void release();
    void takeFrame(uint64_t generation, const QVideoFrame& frame);

    // Declared in this order so that the player goes before the sink and audio output it uses.
    std::unique_ptr<QVideoSink> sink_;
    std::unique_ptr<QAudioOutput> audio_;
    std::unique_ptr<QMediaPlayer> player_;

    // Frames arrive through queued signals; the generation drops those of a released player.
    uint64_t generation_ = 0;
    bool played_ = false;  // play() was called since open()
    QVideoFrame newest_;
    mutable QImage converted_;  // newest_ as an image, made on first use
};

}  // namespace pixadra
