#include "Settings.h"

#include <QSettings>

#include "TPixadra_Main.h"
#include "engine/Maintenance.h"
#include "support/Errors.h"
#include "support/FileSystem.h"
#include "support/SystemInfo.h"
#include "support/Text.h"
#include "ui_TPixadra_Main.h"

namespace pixadra {
namespace {

QSettings OpenSettings() { return QSettings(QSettings::IniFormat, QSettings::UserScope, "Pixadra", "Pixadra"); }

QString Q(const std::string& text) { return QString::fromStdString(text); }

// Why a load stopped early: the values before it stay applied.
struct StopLoading {};

}  // namespace

bool ParseSetting(SettingType type, const QVariant& stored, QVariant& parsed) {
    if (type == SettingType::String) {
        if (!stored.canConvert<QString>()) return false;
        parsed = stored.toString();
        return true;
    }
    bool ok = false;
    const int number = stored.toString().trimmed().toInt(&ok);
    if (!ok) return false;
    parsed = type == SettingType::Boolean ? QVariant(number != 0) : QVariant(number);
    return true;
}

std::string FolderWithoutSlash(const std::string& fileName) {
    std::string folder = FolderOf(fileName);
    if (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    return folder;
}

std::vector<SettingEntry> TPixadra_Main::SettingsTable() {
    auto& c = *ui_;
    const auto integer = [](QSpinBox* spin) {
        return std::pair{[spin] { return QVariant(spin->value()); },
                         [spin](const QVariant& v) { spin->setValue(v.toInt()); }};
    };
    const auto boolean = [](QCheckBox* box) {
        return std::pair{[box] { return QVariant(box->isChecked() ? 1 : 0); },
                         [box](const QVariant& v) { box->setChecked(v.toBool()); }};
    };
    const auto slider = [](QSlider* slider) {
        return std::pair{[slider] { return QVariant(slider->value()); },
                         [slider](const QVariant& v) { slider->setValue(v.toInt()); }};
    };
    const auto [tileCountGet, tileCountSet] = integer(c.Spin_TileCount);
    const auto [tileResGet, tileResSet] = integer(c.Spin_TileResolution);
    const auto [maxCountGet, maxCountSet] = integer(c.Spin_MaxCount);
    const auto [recursiveGet, recursiveSet] = boolean(c.CheckBox_DBAdd_Rekursive);
    const auto [syncGet, syncSet] = boolean(c.CheckBox_DBAdd_Sync);
    const auto [previewGet, previewSet] = boolean(c.CheckBox_DBAdd_Preview);
    const auto [blendGet, blendSet] = slider(c.TrackBar_BlendFactor);
    const auto [tableGet, tableSet] = boolean(c.CheckBox_File_CreateSourcesTable);
    const auto [resolutionGet, resolutionSet] = slider(c.TrackBar_DBResolution);
    const auto [movieTimeGet, movieTimeSet] = integer(c.Spin_RenderMovie_1);
    const auto folderOf = [](const std::string& name) { return QVariant(Q(FolderWithoutSlash(name))); };

    return {
        {"Version", SettingType::String, [] { return QVariant(QStringLiteral("4.1.0")); }, nullptr,
         [](const QVariant&) {}},
        {"TileCount", SettingType::Integer, tileCountGet, nullptr, tileCountSet},
        {"TileResolution", SettingType::Integer, tileResGet, nullptr,
         [this, set = tileResSet](const QVariant& v) {
             set(v);
             Spin_TileCountChange(this);  // brings width and height to the current shape
         }},
        {"TileMaxCount", SettingType::Integer, maxCountGet, nullptr, maxCountSet},
        {"DatabaseSearchDir", SettingType::String, [&c] { return QVariant(c.Edit_DBSearchDir->text()); }, nullptr,
         [&c](const QVariant& v) { c.Edit_DBSearchDir->setText(v.toString()); }, false, true},
        {"RekursiveSearch", SettingType::Boolean, recursiveGet, nullptr, recursiveSet},
        {"DatabaseSync", SettingType::Boolean, syncGet, nullptr, syncSet},
        {"DatabasePreview", SettingType::Boolean, previewGet, nullptr, previewSet},
        {"BlendFactor", SettingType::Integer, blendGet, nullptr, blendSet},
        {"CreateSourcesTable", SettingType::Boolean, tableGet, nullptr, tableSet},
        {"OpenDir", SettingType::String, [this, folderOf] { return folderOf(lastPictureName_); },
         [this] { return FileExists(lastPictureName_); },
         [this](const QVariant& v) { openDir_ = v.toString().toStdString(); }, true},
        {"SaveDir", SettingType::String, [this, folderOf] { return folderOf(lastMosaicName_); },
         [this] { return !lastMosaicName_.empty(); },
         [this](const QVariant& v) { saveDir_ = v.toString().toStdString(); }, true},
        {"OpenDir_Movie", SettingType::String, [this, folderOf] { return folderOf(lastMovieName_); },
         [this] { return FileExists(lastMovieName_); },
         [this](const QVariant& v) { openDirMovie_ = v.toString().toStdString(); }, true},
        {"DatabaseResolution", SettingType::Integer, resolutionGet, nullptr,
         [this, set = resolutionSet](const QVariant& v) {
             set(v);
             TrackBar_DBResolutionChange();
         }},
        {"RenderMovie_Time", SettingType::Integer, movieTimeGet, nullptr, movieTimeSet},
        {"DBDir", SettingType::String, [&c] { return QVariant(c.Edit_ChooseSource_DBDir->text()); },
         [&c] {
             const std::string text = c.Edit_ChooseSource_DBDir->text().toStdString();
             return !text.empty() && FolderExists(text);
         },
         [this](const QVariant& v) { SettleDataBaseFolder(v.toString().toStdString()); }, false, true},
    };
}

void TPixadra_Main::SaveToRegistry() {
    QSettings settings = OpenSettings();
    for (const SettingEntry& entry : SettingsTable()) {
        if (entry.writeIf && !entry.writeIf()) continue;  // a skipped value keeps what was stored
        settings.setValue(entry.name, entry.value());
    }
    settings.sync();
    if (settings.status() != QSettings::NoError) {
        throw FileError("The settings could not be written to \"" + settings.fileName().toStdString() + "\"");
    }
}

void TPixadra_Main::LoadFromRegistry() {
    QSettings settings = OpenSettings();
    if (!settings.contains("Version")) SaveToRegistry();
    // Any value that is missing or not of its type ends the loading silently; what was read
    // before it stays applied and the "Weiter" at the end of the start-up stores everything.
    try {
        for (const SettingEntry& entry : SettingsTable()) {
            const bool present = settings.contains(entry.name);
            if (!present && entry.readOnlyWhenPresent) continue;
            QVariant parsed;
            if (!present) {
                if (!entry.missingReadsEmpty) throw StopLoading{};
                parsed = QString();
            } else if (!ParseSetting(entry.type, settings.value(entry.name), parsed)) {
                throw StopLoading{};
            }
            entry.apply(parsed);
        }
    } catch (const StopLoading&) {
    } catch (const std::exception&) {
    }
}

void TPixadra_Main::SettleDataBaseFolder(const std::string& storedFolder) {
    std::string folder = storedFolder;
    if (folder.empty() || !FolderExists(folder)) {
        if (ProgramFolderHasDataBases()) {
            folder = ExecutableFolder();
        } else {
            const std::string documents = services_.documentsFolder ? services_.documentsFolder() : std::string();
            // Without a documents folder, or when "Pixadra" cannot be made in it, the databases
            // stay in the program's folder rather than in whatever the working folder is.
            if (documents.empty()) throw StopLoading{};
            folder = WithTrailingSlash(documents) + "Pixadra";
            if (!FolderExists(folder) && !CreateFolders(folder)) throw StopLoading{};
        }
    }
    databaseFolder_ = WithTrailingSlash(folder);
    ui_->Edit_ChooseSource_DBDir->setText(Q(databaseFolder_));
}

}  // namespace pixadra
