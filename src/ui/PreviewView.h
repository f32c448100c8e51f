#pragma once
// Image_Preview: the picture view shared by all pages, its picture centred. The engine
// draws into it through PreviewImage (pictures are fitted to Width() x Height() first).
#include <QLabel>

#include "engine/PreviewImage.h"

namespace pixadra {

class PreviewView : public QLabel, public PreviewImage {
    Q_OBJECT

public:
    explicit PreviewView(QWidget* parent = nullptr);

    int Width() const override { return width(); }
    int Height() const override { return height(); }
    void Show(const Bitmap& picture) override;
    void Clear() override;

    // The picture shown now (empty when cleared).
    const Bitmap& Picture() const { return picture_; }

private:
    Bitmap picture_;
};

// The bitmap as a Qt image (a deep copy).
QImage ToQImage(const Bitmap& bitmap);

}  // namespace pixadra
