// The preferences sheet and its user defaults, the external editor and the web pages.
#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QMainWindow>
#include <QStandardPaths>
#include <QUrl>

#include "app/Dialogs.h"
#include "app/ExternalEditor.h"
#include "app/MainController.h"
#include "app/SlotListModel.h"
#include "app/UserDefaults.h"
#include "platform/SystemPaths.h"

namespace {

QCheckBox* autoDockStyleBox(QDialog* sheet) {
    return sheet->findChild<QCheckBox*>(QStringLiteral("pref_autoDockStyle"));
}

QUrl page(const char* name) {
    return QUrl::fromLocalFile(
        QString::fromStdString((SystemPaths::resourceFolder() / name).string()));
}

}  // namespace

void MainController::connectPreferences() {
    connect(tbar_openIn, &QAction::triggered, this, [this] { btn_toolbar_openWith(); });
    connect(menu_openWith, &QAction::triggered, this, [this] { btn_toolbar_openWith(); });
    auto* change = edit_window->findChild<QAction*>(QStringLiteral("action_changeEditor"));
    connect(change, &QAction::triggered, this, [this] { btn_toolbar_changeEditor(); });
    auto* home = edit_window->findChild<QAction*>(QStringLiteral("action_home"));
    connect(home, &QAction::triggered, this, [this] { btn_Home(); });
    auto* donate = edit_window->findChild<QAction*>(QStringLiteral("action_donate"));
    connect(donate, &QAction::triggered, this, [this] { btn_change_donate(); });
}

void MainController::btn_show_preferences() {
    _makePreferencesWindow();
    // Every check box shows what is stored.
    pref_startWithEditor->setChecked(defaults_->isSet(UserDefaults::kStartWithEditor));
    autoDockStyleBox(preferences_window)
        ->setChecked(defaults_->isSet(UserDefaults::kAutoDockStyle));
    pref_generateUUID->setChecked(defaults_->isSet(UserDefaults::kGenerateUUID));
    preferences_window->setWindowModality(Qt::WindowModal);
    preferences_window->open();
}

void MainController::btn_close_preferences() {
    if (preferences_window) {
        preferences_window->hide();
    }
}

void MainController::btn_prefs_startWithEditor(QCheckBox* sender) {
    defaults_->setBool(UserDefaults::kStartWithEditor, sender->isChecked());
}

void MainController::btn_preferences_changeDockStyleAutomatically(QCheckBox* sender) {
    // The check box always stores its state, so it can be switched off and on again.
    defaults_->setBool(UserDefaults::kAutoDockStyle, sender->isChecked());
}

void MainController::btn_prefs_generateUUID(QCheckBox* sender) {
    defaults_->setBool(UserDefaults::kGenerateUUID, sender->isChecked());
}

void MainController::btn_toolbar_openWith() {
    if (std::optional<QString> editor = standardEditorPath()) {
        QList<int> rows = selectedSlots();
        if (!currentTheme || rows.size() != 1) {
            return;
        }
        QString path = QString::fromStdString(slots_->item(rows.first())->path());
        if (!ExternalEditor::open(*editor, path)) {
            dialogs_.beep();
        }
        return;
    }
    Dialogs::OpenPanel panel;
    panel.title = QStringLiteral("Choose an external editor");
    panel.prompt = QStringLiteral("Choose");
    panel.directory =
        QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation).value(0);
    if (std::optional<QString> chosen = dialogs_.runOpenPanel(edit_window, panel)) {
        defaults_->setString(UserDefaults::kEditor, ExternalEditor::storedValue(*chosen));
    }
    _updateMenuEditor();
}

void MainController::btn_toolbar_changeEditor() {
    defaults_->remove(UserDefaults::kEditor);
    btn_toolbar_openWith();
}

void MainController::btn_Home() {
    dialogs_.openUrl(page("Home.html"));
}

void MainController::btn_change_donate() {
    dialogs_.openUrl(page("Donate.html"));
}
