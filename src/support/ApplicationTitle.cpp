#include "support/ApplicationTitle.h"

namespace pixadra {
namespace {
std::string& Title() {
    static std::string title = "Pixadra 4.1.0";
    return title;
}
}  // namespace

void SetApplicationTitle(const std::string& title) { Title() = title; }
std::string ApplicationTitle() { return Title(); }

}  // namespace pixadra
