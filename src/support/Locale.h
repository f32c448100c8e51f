#pragma once
// The user's number format as the engine needs it. Front ends set the separator from the
// user's locale; until then it comes from the environment's locale.
#include <string>

namespace pixadra {

// The decimal separator used in texts shown to the user ("," or "." ...).
std::string DecimalSeparator();
void SetDecimalSeparator(const std::string& separator);

}  // namespace pixadra
