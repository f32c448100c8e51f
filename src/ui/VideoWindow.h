#pragma once
// The movie page's video view: the player's newest frame fitted into 260 x 195 pixels on black.
#include <QPointer>
#include <QRect>
#include <QWidget>

namespace pixadra {

class MovieFrameSource;

class VideoWindow : public QWidget {
    Q_OBJECT

public:
    static constexpr int kWidth = 260;
    static constexpr int kHeight = 195;

    explicit VideoWindow(QWidget* parent = nullptr);

    // Shows the frames of `source` from now on (null: only black).
    void setSource(MovieFrameSource* source);

    // Where a frame of the given size is drawn: as large as fits, aspect kept, centred.
    static QRect FittedRect(QSize frame, QSize box);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPointer<MovieFrameSource> source_;
};

}  // namespace pixadra
