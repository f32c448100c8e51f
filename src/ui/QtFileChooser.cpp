#include <QFileDialog>
#include <QFileSystemModel>
#include <QStringList>

#include "FileChooser.h"

namespace pixadra {
namespace {

QStringList Descriptions(const std::vector<FileFilter>& filters) {
    QStringList list;
    for (const auto& f : filters) list << QString::fromStdString(f.description);
    return list;
}

// Qt reads the patterns of an entry from its description and splits them at blanks only, so
// "(*.jpg;*.bmp)" would match nothing; the dialog's model gets the patterns from our table.
void ApplyPatterns(QFileDialog& dialog, const std::vector<FileFilter>& filters, const QString& selected) {
    auto* model = dialog.findChild<QFileSystemModel*>();
    if (!model) return;
    for (const auto& f : filters) {
        if (QString::fromStdString(f.description) != selected) continue;
        QStringList patterns;
        for (const auto& p : f.patterns) patterns << QString::fromStdString(p);
        model->setNameFilters(patterns);
    }
}

std::optional<std::string> RunFileDialog(QWidget* parent, QFileDialog::AcceptMode mode,
                                         const std::vector<FileFilter>* filters, const std::string& initialDir) {
    QFileDialog dialog(parent);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(QFileDialog::AnyFile);  // neither dialog requires the file to exist
    if (!initialDir.empty()) dialog.setDirectory(QString::fromStdString(initialDir));
    if (filters) {
        dialog.setNameFilters(Descriptions(*filters));
        ApplyPatterns(dialog, *filters, dialog.selectedNameFilter());
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                         [&dialog, filters](const QString& f) { ApplyPatterns(dialog, *filters, f); });
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().first().toStdString();
}

}  // namespace

const std::vector<FileFilter>& PictureFilters() {
    static const std::vector<FileFilter> filters = {
        {"Alle (*.jpg;*.jpeg;*.bmp;*.gif;*.png;*.hpi)", {"*.jpg", "*.jpeg", "*.bmp", "*.gif", "*.png", "*.hpi"}},
        {"JPEG-Grafikdatei (*.jpg)", {"*.jpg"}},
        {"JPEG-Grafikdatei (*.jpeg)", {"*.jpeg"}},
        {"Bitmaps (*.bmp)", {"*.bmp"}},
        {"GIF-Grafikdatei (*.gif)", {"*.gif"}},
        {"PNG-Grafikdatei (*.png)", {"*.png"}},
        {"HPI-Grafikdatei (*.hpi) ", {"*.hpi"}},
    };
    return filters;
}

const std::vector<FileFilter>& BitmapFilters() {
    static const std::vector<FileFilter> filters = {{"Bitmaps (*.bmp)", {"*.bmp"}}};
    return filters;
}

std::optional<std::string> QtFileChooser::OpenPicture(const std::string& initialDir) {
    return RunFileDialog(parent_, QFileDialog::AcceptOpen, &PictureFilters(), initialDir);
}

std::optional<std::string> QtFileChooser::SaveMosaic(const std::string& initialDir) {
    return RunFileDialog(parent_, QFileDialog::AcceptSave, &BitmapFilters(), initialDir);
}

std::optional<std::string> QtFileChooser::ChooseFolder(const std::string& prompt) {
    const QString folder = QFileDialog::getExistingDirectory(
        parent_, QString::fromStdString(prompt), QString(),
        QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
    if (folder.isEmpty()) return std::nullopt;
    return folder.toStdString();
}

std::optional<std::string> QtFileChooser::OpenMovie(const std::string& initialDir) {
    return RunFileDialog(parent_, QFileDialog::AcceptOpen, nullptr, initialDir);
}

std::optional<std::string> QtFileChooser::SaveTileBitmap() {
    return RunFileDialog(parent_, QFileDialog::AcceptSave, &BitmapFilters(), std::string());
}

}  // namespace pixadra
