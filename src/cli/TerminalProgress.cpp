#include "cli/TerminalProgress.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

namespace pixadra::cli {
namespace {

constexpr int kBarCells = 20;

int TerminalColumns() {
    winsize size{};
    if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
    return 0;
}

// The first `count` characters of UTF-8 text (continuation bytes are not counted).
std::string FirstCharacters(const std::string& text, std::size_t count) {
    std::size_t seen = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
            if (seen == count) return text.substr(0, i);
            ++seen;
        }
    }
    return text;
}

void WriteToStandardError(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fflush(stderr);
}

}  // namespace

std::string FormatProgressLine(int percent, const std::string& label, int columns) {
    const int clamped = std::clamp(percent, 0, 100);
    const int filled = clamped * kBarCells / 100;
    char number[8];
    std::snprintf(number, sizeof number, "%3d%%", clamped);
    std::string line = "[" + std::string(filled, '#') + std::string(kBarCells - filled, ' ') + "] " + number;
    if (!label.empty()) {
        // One column stays free so that the cursor never wraps onto a new line.
        const int room = columns > 0 ? columns - 1 - static_cast<int>(line.size()) - 1 : 1 << 30;
        if (room > 0) line += " " + FirstCharacters(label, static_cast<std::size_t>(room));
    }
    return line;
}

bool StandardErrorIsTerminal() {
    return ::isatty(STDERR_FILENO) == 1;
}

TerminalProgress::TerminalProgress(bool interactive) : interactive_(interactive) {}

TerminalProgress::~TerminalProgress() {
    ClearLine();
}

void TerminalProgress::SetPosition(int percent) {
    if (percent == position_) return;
    position_ = percent;
    if (interactive_ && !label_.empty()) Draw();
}

void TerminalProgress::SetText(const std::string& text) {
    if (text == label_) return;
    label_ = text;
    if (label_.empty()) {
        ClearLine();
    } else if (interactive_) {
        Draw();
    } else {
        WriteToStandardError(label_ + "\n");
    }
}

void TerminalProgress::ClearLine() {
    if (!drawn_) return;
    drawn_ = false;
    WriteToStandardError("\r\033[K");
}

void TerminalProgress::Draw() {
    drawn_ = true;
    WriteToStandardError("\r" + FormatProgressLine(position_, label_, TerminalColumns()) + "\033[K");
}

Progress TerminalProgress::Outputs() {
    return Progress{this, this, nullptr};
}

}  // namespace pixadra::cli
