#include "support/Text.h"

#include <cmath>
#include <cstdio>

namespace pixadra {

std::string FoldCase(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto b = static_cast<unsigned char>(text[i]);
        if (b >= 'a' && b <= 'z') {
            out += static_cast<char>(b - 32);
        } else if (b == 0xC3 && i + 1 < text.size()) {
            // U+00E0..U+00FE (except U+00F7) are the lower-case Latin-1 letters: C3 A0..BE -> C3 80..9E.
            const auto c = static_cast<unsigned char>(text[i + 1]);
            out += text[i];
            out += (c >= 0xA0 && c <= 0xBE && c != 0xB7) ? static_cast<char>(c - 0x20) : static_cast<char>(c);
            ++i;
        } else {
            out += static_cast<char>(b);
        }
    }
    return out;
}

bool EqualsIgnoreCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && FoldCase(a) == FoldCase(b);
}

bool IsValidUtf8(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto b = static_cast<unsigned char>(text[i]);
        int extra = b < 0x80 ? 0 : (b >> 5) == 0x6 ? 1 : (b >> 4) == 0xE ? 2 : (b >> 3) == 0x1E ? 3 : -1;
        if (extra < 0 || (extra == 1 && b < 0xC2) || (b > 0xF4)) return false;
        if (i + static_cast<std::size_t>(extra) >= text.size()) return false;
        uint32_t cp = extra == 0 ? b : b & (0x3F >> extra);
        for (int k = 1; k <= extra; ++k) {
            const auto c = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
            if ((c & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (c & 0x3F);
        }
        if ((extra == 2 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) || (extra == 3 && (cp < 0x10000 || cp > 0x10FFFF))) {
            return false;
        }
        i += static_cast<std::size_t>(extra) + 1;
    }
    return true;
}

std::string CutUtf8(const std::string& text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) return text;
    if (!IsValidUtf8(text)) return text.substr(0, maxBytes);
    std::size_t cut = maxBytes;
    // Step back over continuation bytes so the character that straddles the limit goes whole.
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    return text.substr(0, cut);
}

std::string ToDisplayUtf8(const std::string& text) {
    if (IsValidUtf8(text)) return text;
    // Windows-1252 bytes 0x80..0x9F differ from Latin-1; the rest map to the same code points.
    static const uint16_t k1252[32] = {0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                       0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD,
                                       0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                       0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};
    std::string out;
    for (unsigned char b : text) {
        uint32_t cp = b < 0x80 ? b : (b < 0xA0 ? k1252[b - 0x80] : b);
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    return out;
}

std::string FileNameOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FolderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string UpperExtension(const std::string& path) {
    const std::string name = FileNameOf(path);
    const auto dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : FoldCase(name.substr(dot));
}

std::string WithTrailingSlash(const std::string& folder) {
    if (folder.empty() || folder.back() == '/') return folder;
    return folder + "/";
}

std::string FormatDecimal(long double value, int decimals, const std::string& separator) {
    const long double scale = std::pow(10.0L, decimals);
    const long double rounded = std::nearbyintl(value * scale);
    const bool negative = rounded < 0;
    const auto units = static_cast<unsigned long long>(negative ? -rounded : rounded);
    const auto divisor = static_cast<unsigned long long>(scale);
    std::string text = (negative ? "-" : "") + std::to_string(units / divisor);
    std::string fraction = std::to_string(units % divisor);
    fraction.insert(0, static_cast<std::size_t>(decimals) - fraction.size(), '0');
    while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
    if (!fraction.empty()) text += separator + fraction;
    return text;
}

}  // namespace pixadra
