// The preferences sheet and its user defaults, the external editor and the web pages.
#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QMainWindow>
#include <QUrl>

#include "app/Dialogs.h"
#include "app/EditorView.h"
#include "app/ExternalEditor.h"
#include "app/MainController.h"
#include "app/UserDefaults.h"
#include "model/ImageObjectView.h"
#include "platform/SystemPaths.h"
#include "ui_MainWindow.h"
#include "ui_PreferencesSheet.h"

namespace {

QUrl page(const char* name) {
    return QUrl::fromLocalFile(
        QString::fromStdString((SystemPaths::resourceFolder() / name).string()));
}

}  // namespace

void MainController::btn_show_preferences() {
    _makePreferencesWindow();
    // Every check box shows what is stored.
    Ui::PreferencesSheet& sheet = *preferences_;
    sheet.pref_startWithEditor->setChecked(defaults_->isSet(UserDefaults::kStartWithEditor));
    sheet.pref_autoDockStyle->setChecked(defaults_->isSet(UserDefaults::kAutoDockStyle));
    sheet.pref_generateUUID->setChecked(defaults_->isSet(UserDefaults::kGenerateUUID));
    preferencesWindow_->setWindowModality(Qt::WindowModal);
    preferencesWindow_->open();
}

void MainController::btn_close_preferences() {
    if (preferencesWindow_) {
        preferencesWindow_->hide();
    }
}

void MainController::btn_prefs_startWithEditor(bool on) {
    defaults_->setBool(UserDefaults::kStartWithEditor, on);
}

void MainController::btn_preferences_changeDockStyleAutomatically(bool on) {
    // The check box always stores its state, so it can be switched off and on again.
    defaults_->setBool(UserDefaults::kAutoDockStyle, on);
}

void MainController::btn_prefs_generateUUID(bool on) {
    defaults_->setBool(UserDefaults::kGenerateUUID, on);
}

void MainController::btn_toolbar_openWith() {
    if (std::optional<QString> editor = standardEditorPath()) {
        const ImageObjectView* item = editor_->selectedItem();
        if (!item) {
            return;
        }
        QString path = QString::fromStdString(item->path());
        if (!ExternalEditor::open(*editor, path)) {
            dialogs_.beep();
        }
        return;
    }
    if (std::optional<QString> chosen = ExternalEditor::choose(dialogs_, window_)) {
        defaults_->setString(UserDefaults::kEditor, *chosen);
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

void MainController::connectPreferences() {
    Ui::MainWindow& main = *ui_;
    connect(main.tbar_openIn, &QAction::triggered, this, [this] { btn_toolbar_openWith(); });
    connect(main.menu_openWith, &QAction::triggered, this, [this] { btn_toolbar_openWith(); });
    connect(main.action_changeEditor, &QAction::triggered, this,
            [this] { btn_toolbar_changeEditor(); });
    connect(main.action_home, &QAction::triggered, this, [this] { btn_Home(); });
    connect(main.action_donate, &QAction::triggered, this, [this] { btn_change_donate(); });
}
