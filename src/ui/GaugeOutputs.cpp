#include "GaugeOutputs.h"

#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>

namespace pixadra {

void GaugeOutputs::Bind(QProgressBar* bar, QLabel* label) {
    bar_ = bar;
    label_ = label;
}

int GaugeOutputs::Position() const { return bar_ ? bar_->value() : 0; }

void GaugeOutputs::SetPosition(int percent) {
    if (bar_) bar_->setValue(percent);
}

void GaugeOutputs::SetText(const std::string& text) {
    if (label_) label_->setText(QString::fromStdString(text));
}

Progress GaugeOutputs::Outputs() {
    return Progress{this, this, [] { QCoreApplication::processEvents(); }};
}

}  // namespace pixadra
