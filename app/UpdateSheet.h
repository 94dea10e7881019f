#pragma once

#include <QObject>
#include <QString>

#include <memory>
#include <string>

#include "update/ThemeUpdater.h"

class Dialogs;
class QDialog;
class QWidget;
class ThemeHost;
namespace Ui {
class ProgressSheet;
}

// The sheet of Dock > Check Theme for Update… (the progress window): it checks
// the open theme's feed (ThemeUpdater), says "Checking for updates of <name>…"
// with an indeterminate bar, then the result: up to date, or the release
// available with its notes (plain text), signed by its author or not, and
// Install Update / Later; while the release downloads, a bar with its bytes
// and Cancel. An unsigned release installs only after the user confirmed
// "This update is not signed by its author. Install it anyway?". The install
// puts the new version in place of the theme through the host
// (ThemeHost::changeThemeFolder), which asks about unsaved edits first and
// opens the theme again once it is there; the old version goes to the trash.
//
// Owns its form and the updater; the sheet is a window-modal dialog over the
// window given, which owns it. Nothing is written but by the updater's
// install (see ThemeUpdater): a failure or cancel changes nothing. GUI thread
// only; the transfers never block it.
class UpdateSheet : public QObject {
    Q_OBJECT

public:
    UpdateSheet(ThemeHost& host, Dialogs& dialogs, QWidget* window, QObject* parent = nullptr);
    ~UpdateSheet() override;

    // Opens the sheet and checks the theme at bundlePath, called name.
    void start(const std::string& bundlePath, const QString& name);
    // Stop, Cancel or Later: ends what runs (a transfer is cancelled, nothing
    // changes) and closes the sheet.
    void stop();
    // Install Update: asks first for an unsigned release, then installs.
    void install();
    bool isOpen() const;

signals:
    // An install ended; ok when the new version is in place.
    void installed(bool ok);

private:
    void checked(const UpdateCheck& result);
    void showProgress(qint64 received, qint64 total);
    void ended(bool ok, const QString& why);
    // The text, and which of the bar, the notes and the buttons show.
    void show(const QString& text, bool busy, bool offer);
    // The sentence the sheet says, also as the label's accessible name.
    void setText(const QString& text);

    ThemeHost& host_;
    Dialogs& dialogs_;
    std::unique_ptr<Ui::ProgressSheet> ui_;
    QDialog* sheet_;
    ThemeUpdater* updater_;
    std::string bundlePath_;
    QString name_;
    UpdateCheck found_;
    bool stopping_ = false;
};
