#include "support/Language.h"

#include <fstream>
#include <memory>
#include <sstream>

#include "support/Dialogs.h"
#include "support/SystemInfo.h"
#include "support/Text.h"

namespace pixadra {
namespace {

std::unique_ptr<IniFile>& LoadedLanguage() {
    static std::unique_ptr<IniFile> file;
    return file;
}

bool IsBlankOrControl(unsigned char c) { return c <= ' ' || c == 0x7F; }

std::string ReplaceAll(std::string text, const std::string& what, const std::string& with) {
    for (std::size_t pos = text.find(what); pos != std::string::npos; pos = text.find(what, pos + with.size())) {
        text.replace(pos, what.size(), with);
    }
    return text;
}

// Old language files may be Windows-1252; everything inside the program is UTF-8.
std::string AsUtf8(const std::string& text) { return IsValidUtf8(text) ? text : ToDisplayUtf8(text); }

}  // namespace

IniFile IniFile::Parse(const std::string& rawText) {
    IniFile ini;
    std::string text = AsUtf8(rawText);
    if (text.rfind("\xEF\xBB\xBF", 0) == 0) text.erase(0, 3);
    Section* current = nullptr;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::string trimmed = TrimBlanksAndControls(line);
        if (trimmed.empty() || trimmed[0] == ';') continue;
        if (trimmed.front() == '[' && trimmed.back() == ']') {
            const std::string name = trimmed.substr(1, trimmed.size() - 2);
            current = nullptr;
            for (auto& s : ini.sections_) {
                if (EqualsIgnoreCase(s.name, name)) current = &s;
            }
            if (!current) {
                ini.sections_.push_back({name, {}});
                current = &ini.sections_.back();
            }
            continue;
        }
        const auto eq = line.find('=');
        if (!current || eq == std::string::npos) continue;
        current->entries.emplace_back(line.substr(0, eq), line.substr(eq + 1));
    }
    return ini;
}

std::optional<IniFile> IniFile::Load(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream content;
    content << in.rdbuf();
    return Parse(content.str());
}

std::optional<std::string> IniFile::Value(const std::string& section, const std::string& key) const {
    for (const auto& s : sections_) {
        if (!EqualsIgnoreCase(s.name, section)) continue;
        for (const auto& [k, v] : s.entries) {
            if (EqualsIgnoreCase(k, key)) return v;
        }
    }
    return std::nullopt;
}

std::vector<std::string> IniFile::Keys(const std::string& section) const {
    std::vector<std::string> keys;
    for (const auto& s : sections_) {
        if (!EqualsIgnoreCase(s.name, section)) continue;
        for (const auto& entry : s.entries) keys.push_back(entry.first);
    }
    return keys;
}

std::string LanguageFilePath() { return ExecutableFolder() + "Default.lang"; }

bool LoadLanguageFileFrom(const std::string& path) {
    auto ini = IniFile::Load(path);
    if (!ini) return false;
    LoadedLanguage() = std::make_unique<IniFile>(std::move(*ini));
    return true;
}

bool LoadLanguageFile() { return LoadLanguageFileFrom(LanguageFilePath()); }

void FreeLanguageFile() { LoadedLanguage().reset(); }

std::string FatalLanguageFileMessage(const std::string& path) {
    return "Fatal Error - LanguageFile \"" + path + "\" not found. Exiting program.";
}

std::string TrimBlanksAndControls(const std::string& text) {
    std::size_t begin = 0, end = text.size();
    while (begin < end && IsBlankOrControl(static_cast<unsigned char>(text[begin]))) ++begin;
    while (end > begin && IsBlankOrControl(static_cast<unsigned char>(text[end - 1]))) --end;
    return text.substr(begin, end - begin);
}

std::string GetLanguageWord(const std::string& section, const std::string& key) {
    static const std::string kError = "#ERROR#";
    std::optional<std::string> value;
    if (LoadedLanguage()) value = LoadedLanguage()->Value(section, key);
    std::string word = TrimBlanksAndControls(ReplaceAll(value.value_or(kError), "#13#10", "\r\n"));
    if (word == kError) {
        // The complaint needs the dialog words of "Const" itself; when one of those is the
        // missing word, it goes to the plain message instead so it does not ask again.
        static thread_local int depth = 0;
        const std::string complaint = "Language word for \"" + section + "\",\"" + key + "\" not found !";
        if (depth == 0) {
            ++depth;
            ShowLanguageDialog(complaint, 1, 4);
            --depth;
        } else {
            ShowPlainMessage(complaint);
        }
    }
    return word;
}

std::string FormatPattern(const std::string& pattern, const std::vector<std::string>& args) {
    std::string out;
    std::size_t next = 0;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] == 's') {
            if (next < args.size()) out += args[next];
            ++next;
            ++i;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

std::string FormatLanguageWord(const std::string& section, const std::string& key,
                               const std::vector<std::string>& args) {
    return FormatPattern(GetLanguageWord(section, key), args);
}

std::string GetField(const std::string& text, char separator, int n) {
    int i = 1;
    std::string field;
    std::string remaining = text;
    if (!text.empty()) {
        while (i <= n) {
            const auto pos = remaining.find(separator);
            if (pos == std::string::npos) {
                field = remaining;
                break;
            }
            field = remaining.substr(0, pos);
            remaining = remaining.substr(pos + 1);
            ++i;
        }
    }
    return i < n ? std::string() : field;
}

}  // namespace pixadra
