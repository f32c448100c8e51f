#pragma once
// The engine's dialogs as modal message boxes: the title, text and icon of the request, its
// buttons in order with their captions, Enter and Escape as the request says, and closing
// by the title bar giving the request's close result.
#include "support/Dialogs.h"

class QWidget;

namespace pixadra {

class MessageBoxPresenter : public DialogPresenter {
public:
    explicit MessageBoxPresenter(QWidget* parent = nullptr) : parent_(parent) {}
    void SetParent(QWidget* parent) { parent_ = parent; }
    int Present(const DialogRequest& request) override;
    void PresentPlain(const std::string& text) override;

private:
    QWidget* parent_;
};

}  // namespace pixadra
