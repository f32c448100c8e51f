#pragma once
// The preview view shared by the wizard's pages, as the engine sees it.
#include "imaging/Bitmap.h"

namespace pixadra {

class PreviewImage {
public:
    virtual ~PreviewImage() = default;
    virtual int Width() const = 0;   // the view's size: pictures are fitted into it
    virtual int Height() const = 0;
    virtual void Show(const Bitmap& picture) = 0;  // an already fitted picture
    virtual void Clear() = 0;
};

}  // namespace pixadra
