#pragma once
// The settings the wizard keeps between runs: one table of name, type, the control it
// belongs to and the condition for writing it, read and written by one piece of code over
// QSettings (INI format, user scope: ~/.config/Pixadra/Pixadra.ini).
#include <QString>
#include <QVariant>
#include <functional>

namespace pixadra {

enum class SettingType { String, Integer, Boolean };

struct SettingEntry {
    const char* name;
    SettingType type;
    std::function<QVariant()> value;               // what a save writes
    std::function<bool()> writeIf;                 // null: always written
    std::function<void(const QVariant&)> apply;    // what a load does with the value read
    bool readOnlyWhenPresent = false;              // a missing value is skipped, not a failure
    bool missingReadsEmpty = false;                // a missing string reads as empty
};

// A stored value as its type: integers and Booleans must be whole numbers (any non-zero
// number is true); false when it does not parse.
bool ParseSetting(SettingType type, const QVariant& stored, QVariant& parsed);

// "/a/b/x.jpg" -> "/a/b"; the root keeps its "/".
std::string FolderWithoutSlash(const std::string& fileName);

}  // namespace pixadra
