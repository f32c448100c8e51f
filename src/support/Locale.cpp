#include "support/Locale.h"

#include <locale>

namespace pixadra {
namespace {

std::string EnvironmentSeparator() {
    try {
        return std::string(1, std::use_facet<std::numpunct<char>>(std::locale("")).decimal_point());
    } catch (const std::exception&) {
        return ".";  // the environment names no usable locale
    }
}

std::string& Separator() {
    static std::string separator = EnvironmentSeparator();
    return separator;
}

}  // namespace

std::string DecimalSeparator() {
    return Separator();
}
void SetDecimalSeparator(const std::string& separator) {
    Separator() = separator;
}

}  // namespace pixadra
