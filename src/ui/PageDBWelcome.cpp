// The database page: choosing to add to a database or to edit one, and the database lists
// that every page showing databases shares.
#include <QListWidget>

#include "TPixadra_Main.h"
#include "WindowScopes.h"
#include "engine/DatabaseFiles.h"
#include "ui_TPixadra_Main.h"

namespace pixadra {
namespace {

QStringList ValidDataBases(const std::string& folder) {
    std::vector<std::string> valid;
    ListDataBases(folder, &valid, nullptr);
    QStringList names;
    for (const auto& name : valid) names << QString::fromStdString(name);
    return names;
}

// Focus and open a list; nothing happens for a disabled one.
void FocusAndOpen(QComboBox* combo) {
    if (!combo->isEnabled()) return;
    combo->setFocus();
    combo->showPopup();
}

}  // namespace

void TPixadra_Main::RefreshDataBaseLists() {
    // Each list reads the folder for itself, so all three show the folder as it is now.
    for (QComboBox* combo : {ui_->Combo_Existing_Add, ui_->Combo_Existing_Del}) {
        combo->clear();
        combo->addItems(ValidDataBases(databaseFolder_));
        if (combo->count() > 0) combo->setCurrentIndex(0);
    }
    QListWidget* list = ui_->ListBox_DB;
    list->clear();
    for (const QString& name : ValidDataBases(databaseFolder_)) {
        auto* item = new QListWidgetItem(name, list);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
}

std::string TPixadra_Main::TargetDataBasePath() const {
    if (ui_->Radio_DBWelcome_Existing->isChecked()) {
        return databaseFolder_ + ui_->Combo_Existing_Add->currentText().toStdString();
    }
    return databaseFolder_ + CleanDataBaseName(ui_->Edit_NewDB->text().toStdString());
}

void TPixadra_Main::CheckBox_DBWelcome_SearchDataBaseClick() {
    auto& c = *ui_;
    if (c.CheckBox_DBWelcome_SearchDataBase->isChecked()) {
        c.CheckBox_DBWelcome_DelDataBase->setChecked(false);
        for (QWidget* w : std::initializer_list<QWidget*>{c.Radio_DBWelcome_Existing, c.Combo_Existing_Add,
                                                          c.Radio_DBWelcome_New, c.Edit_NewDB}) {
            w->setEnabled(true);
        }
        c.Combo_Existing_Del->setEnabled(false);
        if (c.Combo_Existing_Add->count() > 0) {
            FocusAndOpen(c.Combo_Existing_Add);
        } else {
            // No database yet: the only choice is a new one, with a name proposed.
            c.Radio_DBWelcome_Existing->setEnabled(false);
            c.Combo_Existing_Add->setEnabled(false);
            c.Radio_DBWelcome_New->setChecked(true);
            c.Edit_NewDB->setText(Word("Const", "New"));
            c.Edit_NewDB->setFocus();
        }
    } else {
        for (QWidget* w : std::initializer_list<QWidget*>{c.Radio_DBWelcome_Existing, c.Combo_Existing_Add,
                                                          c.Radio_DBWelcome_New, c.Edit_NewDB}) {
            w->setEnabled(false);
        }
    }
}

void TPixadra_Main::CheckBox_DBWelcome_DelDataBaseClick() {
    auto& c = *ui_;
    if (c.CheckBox_DBWelcome_DelDataBase->isChecked()) {
        c.CheckBox_DBWelcome_SearchDataBase->setChecked(false);
        CheckBox_DBWelcome_SearchDataBaseClick();
        c.Combo_Existing_Del->setEnabled(true);
        FocusAndOpen(c.Combo_Existing_Del);
    } else {
        c.Combo_Existing_Del->setEnabled(false);
    }
}

void TPixadra_Main::Combo_Existing_AddClick() { ui_->Radio_DBWelcome_Existing->setChecked(true); }

void TPixadra_Main::Edit_NewDBClick() { ui_->Radio_DBWelcome_New->setChecked(true); }

void TPixadra_Main::Radio_DBWelcome_ExistingClick() { FocusAndOpen(ui_->Combo_Existing_Add); }

void TPixadra_Main::Radio_DBWelcome_NewClick() {
    if (ui_->Edit_NewDB->isEnabled()) ui_->Edit_NewDB->setFocus();
}

}  // namespace pixadra
