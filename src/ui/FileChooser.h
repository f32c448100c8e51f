#pragma once
// The wizard's file and folder choices. Each returns the chosen path, or nullopt when the
// user cancelled. The window uses QFileDialog; tests answer from a script.
#include <optional>
#include <string>
#include <vector>

class QWidget;

namespace pixadra {

class FileChooser {
public:
    virtual ~FileChooser() = default;
    virtual std::optional<std::string> OpenPicture(const std::string& initialDir) = 0;
    virtual std::optional<std::string> SaveMosaic(const std::string& initialDir) = 0;
    virtual std::optional<std::string> ChooseFolder(const std::string& prompt) = 0;
    virtual std::optional<std::string> OpenMovie(const std::string& initialDir) = 0;
    virtual std::optional<std::string> SaveTileBitmap() = 0;
};

// One entry of a file dialog's type list: what it says and the patterns it shows.
struct FileFilter {
    std::string description;
    std::vector<std::string> patterns;
};

// The picture dialog's entries, in the order the list shows them.
const std::vector<FileFilter>& PictureFilters();
const std::vector<FileFilter>& BitmapFilters();

// Qt's own file dialogs (the same look on every desktop).
class QtFileChooser : public FileChooser {
public:
    explicit QtFileChooser(QWidget* parent) : parent_(parent) {}
    std::optional<std::string> OpenPicture(const std::string& initialDir) override;
    std::optional<std::string> SaveMosaic(const std::string& initialDir) override;
    std::optional<std::string> ChooseFolder(const std::string& prompt) override;
    std::optional<std::string> OpenMovie(const std::string& initialDir) override;
    std::optional<std::string> SaveTileBitmap() override;

private:
    QWidget* parent_;
};

}  // namespace pixadra
