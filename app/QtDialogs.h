#pragma once

#include <QCoreApplication>

#include "app/Dialogs.h"

class QTableWidget;

// The real dialogs: Qt's file dialogs (a ".docktheme" bundle is picked as one
// item and other files are hidden; a panel starts where the last one was left,
// at first in the home folder), window-modal message boxes as sheets,
// QApplication::beep and QDesktopServices. GUI thread only.
class QtDialogs : public Dialogs {
    Q_DECLARE_TR_FUNCTIONS(QtDialogs)

public:
    std::optional<QString> runOpenPanel(QWidget* window, const OpenPanel& panel) override;
    std::optional<QString> runSavePanel(QWidget* window, const SavePanel& panel) override;
    void alert(QWidget* window, const QString& title, const QString& button,
               const QString& message) override;
    bool ask(QWidget* window, const QString& title, const QString& defaultButton,
             const QString& alternateButton, const QString& message) override;
    // A window-modal dialog with the message over a table of the findings
    // (severity, image, what); a double-click on a row closes it with that row.
    FindingsAnswer showFindings(QWidget* window, const FindingsSheet& sheet) override;
    // A window-modal list of the applications, the other item last; Return
    // or a double-click chooses.
    std::optional<int> chooseApplication(QWidget* window, const ApplicationChoice& choice) override;
    SaveAnswer askSaveChanges(QWidget* window) override;
    void beep() override;
    void openUrl(const QUrl& address) override;

    // The findings sheet's table, unowned: a row a finding (severity, image,
    // what), a slot's image by its readable name with its key as the tooltip.
    static QTableWidget* findingsTable(const std::vector<ThemeFinding>& findings);
    // Where a panel starts: asked when given, else last when it is a folder, else home.
    static QString startFolder(const QString& asked, const QString& last);

private:
    // Remembers the folder that holds chosen, for the next panel.
    void chose(const QString& chosen);

    QString lastFolder_;
};
