#include "SpinValue.h"

#include <algorithm>

namespace pixadra {

int64_t SpinValue(const QSpinBox* spin) {
    bool ok = false;
    const qlonglong typed = spin->cleanText().trimmed().toLongLong(&ok);
    const int64_t value = ok ? typed : spin->minimum();
    return std::clamp<int64_t>(value, spin->minimum(), spin->maximum());
}

void SetSpinValue(QSpinBox* spin, int64_t value) {
    spin->setValue(static_cast<int>(std::clamp<int64_t>(value, spin->minimum(), spin->maximum())));
}

}  // namespace pixadra
