// SetLanguage: the captions of labels, buttons, check boxes, radio buttons and panels from
// section "Components" of a fresh read of the language file.
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include "TPixadra_Main.h"
#include "support/Language.h"
#include "support/Text.h"

namespace pixadra {
namespace {

// The control of that name (without regard to case) if it is of the prefix's kind.
bool SetCaption(QWidget& window, const std::string& prefix, const std::string& name, const QString& caption) {
    for (QWidget* control : window.findChildren<QWidget*>()) {
        if (!EqualsIgnoreCase(control->objectName().toStdString(), name)) continue;
        if (prefix == "LABEL") {
            if (auto* label = qobject_cast<QLabel*>(control)) return label->setText(caption), true;
        } else if (prefix == "BTN") {
            if (auto* button = qobject_cast<QPushButton*>(control)) return button->setText(caption), true;
        } else if (prefix == "CHECKBOX") {
            if (auto* box = qobject_cast<QCheckBox*>(control)) return box->setText(caption), true;
        } else if (prefix == "RADIO") {
            if (auto* radio = qobject_cast<QRadioButton*>(control)) return radio->setText(caption), true;
        } else if (prefix == "PANEL") {
            // A plain panel shows no text of its own; the caption names it for assistive tools.
            if (control->metaObject()->className() == QByteArray("QFrame")) {
                return control->setAccessibleName(caption), true;
            }
        }
        return false;
    }
    return false;
}

}  // namespace

void TPixadra_Main::SetLanguage() { SetLanguageFrom(LanguageFilePath()); }

void TPixadra_Main::SetLanguageFrom(const std::string& languageFile) {
    const auto ini = IniFile::Load(languageFile);
    if (!ini) return;
    static const char* const kPrefixes[] = {"LABEL", "BTN", "CHECKBOX", "RADIO", "PANEL"};
    for (const std::string& key : ini->Keys("Components")) {
        try {
            const std::string prefix = FoldCase(GetField(key, '_', 1));
            for (const char* known : kPrefixes) {
                if (prefix != known) continue;
                // Captions keep "#13#10" as written; only looked-up words turn it into a break.
                const std::string value = TrimBlanksAndControls(ini->Value("Components", key).value_or("#Error#"));
                SetCaption(*this, prefix, key, QString::fromStdString(value));
            }
        } catch (const std::exception&) {
            // A key that does not fit any control is skipped; the walk goes on.
        }
    }
}

}  // namespace pixadra
