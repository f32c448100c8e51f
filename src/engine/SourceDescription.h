#pragma once
// The source description of a picture: its path, or the description that the
// "sources.list.txt" of its folder gives it ("name;description" per line).
#include <string>

namespace pixadra {

// The picture's description. The last list file read is cached for the whole run and read
// again only for a list file of another path (compared without case). Throws FileError when
// an existing list file cannot be read.
std::string SourceDescription(const std::string& picturePath);

// Forgets the cached list (for a run that must see edited list files).
void ClearSourcesCache();

}  // namespace pixadra
