#include "engine/SourceDescription.h"

#include <utility>
#include <vector>

#include "support/FileSystem.h"
#include "support/Language.h"
#include "support/Text.h"

namespace pixadra {
namespace {

struct SourcesCache {
    std::string listPath;  // empty: nothing cached
    std::vector<std::pair<std::string, std::string>> pairs;
};

SourcesCache& Cache() {
    static SourcesCache cache;
    return cache;
}

// Lines as a text-file reader splits them: CR LF, LF or CR end a line; a break at the very
// end does not start another line.
std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

}  // namespace

std::string SourceDescription(const std::string& picturePath) {
    const std::string listPath = FolderOf(picturePath) + "sources.list.txt";
    if (!FileExists(listPath)) return picturePath;
    SourcesCache& cache = Cache();
    if (cache.listPath.empty() || FoldCase(cache.listPath) != FoldCase(listPath)) {
        const std::vector<uint8_t> bytes = ReadWholeFile(listPath);
        std::vector<std::pair<std::string, std::string>> pairs;
        for (const std::string& line : SplitLines(std::string(bytes.begin(), bytes.end()))) {
            pairs.emplace_back(GetField(line, ';', 1), GetField(line, ';', 2));
        }
        // Only a list that was read completely replaces the cache.
        cache.pairs = std::move(pairs);
        cache.listPath = listPath;
    }
    const std::string name = FoldCase(FileNameOf(picturePath));
    for (const auto& [fileName, description] : cache.pairs) {
        if (FoldCase(fileName) == name) return description;
    }
    return picturePath;
}

void ClearSourcesCache() {
    Cache().listPath.clear();
    Cache().pairs.clear();
}

}  // namespace pixadra
