#pragma once
// The language file "Default.lang" beside the executable: an INI file whose sections and keys
// match without regard to case. Every text the program shows at run time is looked up here.
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace pixadra {

class IniFile {
public:
    // Parses INI text: "[Section]" lines, "key=value" lines (key = text before the first "="),
    // ";" comments. Keys keep their file order within a section.
    static IniFile Parse(const std::string& text);
    // Reads a file; nullopt when it cannot be read.
    static std::optional<IniFile> Load(const std::string& path);

    std::optional<std::string> Value(const std::string& section, const std::string& key) const;
    // Keys of a section in file order (empty when the section is missing).
    std::vector<std::string> Keys(const std::string& section) const;

private:
    struct Section {
        std::string name;
        std::vector<std::pair<std::string, std::string>> entries;
    };
    std::vector<Section> sections_;
};

// Path of Default.lang in the folder of the running executable.
std::string LanguageFilePath();

// Reads the language file into memory. False when it is missing (the caller stops the
// program with FatalLanguageFileMessage()).
bool LoadLanguageFile();
bool LoadLanguageFileFrom(const std::string& path);
void FreeLanguageFile();
// "Fatal Error - LanguageFile "<path>" not found. Exiting program."
std::string FatalLanguageFileMessage(const std::string& path);

// The word with "#13#10" turned into CR LF and blanks and control characters trimmed; on a
// missing word, complains through ShowLanguageDialog and returns "#ERROR#".
std::string GetLanguageWord(const std::string& section, const std::string& key);

// Replaces each "%s" in order by the next argument.
std::string FormatPattern(const std::string& pattern, const std::vector<std::string>& args);
// GetLanguageWord followed by FormatPattern.
std::string FormatLanguageWord(const std::string& section, const std::string& key,
                               const std::vector<std::string>& args);

// The n-th field (1-based) of text split at separator; empty when there are fewer fields.
std::string GetField(const std::string& text, char separator, int n);

// Leading and trailing blanks and control characters removed.
std::string TrimBlanksAndControls(const std::string& text);

}  // namespace pixadra
