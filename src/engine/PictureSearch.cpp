// Collecting the picture files of a folder, and dropping those a database holds already.
#include <sys/stat.h>

#include <set>
#include <unordered_map>
#include <utility>

#include "engine/AddPictures.h"
#include "engine/LoadedTiles.h"
#include "support/FileSystem.h"
#include "support/Language.h"
#include "support/Rounding.h"
#include "support/Text.h"

namespace pixadra {
namespace {

bool IsPictureExtension(const std::string& upperExtension) {
    static const char* const kExtensions[] = {".HPI", ".PNG", ".BMP", ".JPG", ".JPEG", ".GIF"};
    for (const char* extension : kExtensions) {
        if (upperExtension == extension) return true;
    }
    return false;
}

using FolderIdentity = std::pair<dev_t, ino_t>;

void SearchFolder(const std::string& base, std::vector<std::string>& list, bool recursive,
                  std::set<FolderIdentity>& visited) {
    const FolderEntries entries = ListFolder(base);
    for (const std::string& name : entries.files) {
        if (IsPictureExtension(UpperExtension(name))) list.push_back(base + name);
    }
    if (!recursive) return;
    for (const std::string& name : entries.folders) {
        if (name.empty() || name[0] == '.') continue;
        const std::string sub = base + name + "/";
        struct stat st {};
        // A link back to a folder above would otherwise be searched without end.
        if (::stat(sub.c_str(), &st) != 0 || !visited.insert({st.st_dev, st.st_ino}).second) continue;
        SearchFolder(sub, list, recursive, visited);
    }
}

}  // namespace

void SearchPictureFiles(const std::string& folder, std::vector<std::string>& list, bool recursive) {
    const std::string base = WithTrailingSlash(folder);
    std::set<FolderIdentity> visited;
    struct stat st {};
    if (::stat(base.empty() ? "." : base.c_str(), &st) == 0) visited.insert({st.st_dev, st.st_ino});
    SearchFolder(base, list, recursive, visited);
}

void SyncDataBase(const std::string& databasePath, std::vector<std::string>& list, const Progress& progress) {
    LoadDataBase(true, databasePath, true, progress);
    if (progress.Both()) progress.Begin(GetLanguageWord("GaugeMessages", "SyncDataBase"));

    // The result of walking the tiles from the first for each path, found by hashing: each
    // folded name keeps its non-empty entries in ascending order and hands out the next one.
    struct Entries {
        std::vector<std::size_t> indices;
        std::size_t next = 0;
    };
    LoadedTileList& tiles = LoadedTiles();
    std::unordered_map<std::string, Entries> byName;
    byName.reserve(tiles.size());
    for (std::size_t i = 0; i < tiles.size(); ++i) {
        if (tiles[i]) byName[FoldCase(tiles[i]->FileName)].indices.push_back(i);
    }

    std::vector<std::string> kept;
    const auto total = static_cast<int64_t>(list.size());
    for (int64_t i = 0; i < total; ++i) {
        std::string& path = list[static_cast<std::size_t>(i)];
        const auto found = byName.find(FoldCase(path));
        if (found != byName.end() && found->second.next < found->second.indices.size()) {
            tiles[found->second.indices[found->second.next++]].reset();
        } else {
            kept.push_back(std::move(path));
        }
        if (progress.Both()) progress.Update(static_cast<int>(Trunc((i + 1) / (total / 100.0L))));
    }
    list = std::move(kept);
    if (progress.Both()) {
        progress.bar->SetPosition(0);
        progress.label->SetText(std::string());
    }
}

}  // namespace pixadra
