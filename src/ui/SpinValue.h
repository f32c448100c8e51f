#pragma once
// Number fields read the way the wizard expects: text that is not a whole number reads as
// the field's minimum, and every value is kept within the field's range.
#include <QSpinBox>
#include <cstdint>

namespace pixadra {

// The field's number as its text says now (also while the user is typing).
int64_t SpinValue(const QSpinBox* spin);
// Sets the value clamped to the field's range; the text shows it even when the value was
// already that number (an emptied field gets its number back).
void SetSpinValue(QSpinBox* spin, int64_t value);

}  // namespace pixadra
