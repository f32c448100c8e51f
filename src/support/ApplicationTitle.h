#pragma once
// The application title shown after the kind word in every dialog title ("Pixadra 4.1.0").
#include <string>

namespace pixadra {

void SetApplicationTitle(const std::string& title);
std::string ApplicationTitle();

}  // namespace pixadra
