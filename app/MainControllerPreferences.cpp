// The preferences sheet and its user defaults.
#include <QCheckBox>
#include <QDialog>

#include "app/MainController.h"
#include "app/UserDefaults.h"

void MainController::btn_show_preferences() {
    pref_startWithEditor->setChecked(defaults_->isSet(UserDefaults::kStartWithEditor));
    preferences_window->setWindowModality(Qt::WindowModal);
    preferences_window->open();
}

void MainController::btn_close_preferences() {
    preferences_window->hide();
}

void MainController::btn_prefs_startWithEditor(QCheckBox* sender) {
    defaults_->setBool(UserDefaults::kStartWithEditor, sender->isChecked());
}

void MainController::btn_preferences_changeDockStyleAutomatically(QCheckBox* sender) {
    // The check box always stores its state, so it can be switched off and on again.
    defaults_->setBool(UserDefaults::kAutoDockStyle, sender->isChecked());
}
