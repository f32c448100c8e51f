#include "VideoWindow.h"

#include <QPainter>

#include "MovieFrameSource.h"

namespace pixadra {

VideoWindow::VideoWindow(QWidget* parent) : QWidget(parent) {
    setFixedSize(kWidth, kHeight);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void VideoWindow::setSource(MovieFrameSource* source) {
    if (source_) disconnect(source_, nullptr, this, nullptr);
    source_ = source;
    if (source_) connect(source_, &MovieFrameSource::frameChanged, this, qOverload<>(&QWidget::update));
    update();
}

QRect VideoWindow::FittedRect(QSize frame, QSize box) {
    if (frame.isEmpty() || box.isEmpty()) return QRect();
    const QSize fitted = frame.scaled(box, Qt::KeepAspectRatio);
    return QRect(QPoint((box.width() - fitted.width()) / 2, (box.height() - fitted.height()) / 2), fitted);
}

void VideoWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    if (!source_) return;
    const QImage frame = source_->newestFrame();
    if (frame.isNull()) return;
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(FittedRect(frame.size(), size()), frame);
}

}  // namespace pixadra
