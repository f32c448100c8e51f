#include "PreviewView.h"

#include <QImage>
#include <QPixmap>

namespace pixadra {

QImage ToQImage(const Bitmap& bitmap) {
    if (bitmap.Empty()) return QImage();
    const QImage view(bitmap.Data(), bitmap.Width(), bitmap.Height(), static_cast<qsizetype>(bitmap.Stride()),
                      QImage::Format_BGR888);
    return view.copy();
}

PreviewView::PreviewView(QWidget* parent) : QLabel(parent) { setAlignment(Qt::AlignCenter); }

void PreviewView::Show(const Bitmap& picture) {
    picture_ = picture;
    setPixmap(QPixmap::fromImage(ToQImage(picture_)));
}

void PreviewView::Clear() {
    picture_ = Bitmap();
    clear();
}

}  // namespace pixadra
