#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>
#include <vector>

#include "model/ThemeCheck.h"

class QWidget;

// Everything the editor asks of the user or tells the user through the
// system: open and save panels, alerts, the one question, the beep and the
// opening of web addresses. Controllers talk to the user only through this
// interface, so tests answer as a user would (a scripted implementation) and
// the shipped program shows the real Qt dialogs (QtDialogs).
//
// Panels and the question run modally and return the answer; an alert is a
// window-modal sheet on its window and returns at once. GUI thread only.
class Dialogs {
public:
    // An open panel: a file, a folder, or a bundle of one of fileTypes (a
    // folder whose name ends in "." and the type, picked as one item).
    struct OpenPanel {
        QString title;
        QString prompt;
        bool canChooseDirectories = false;
        bool canChooseFiles = true;
        QStringList fileTypes;       // empty: any file
        bool themeArchives = false;  // also lists and takes theme archives (files)
        QString directory;           // where it starts; empty: the last folder used, or home
    };
    // A save panel: the returned path is the chosen folder joined with the
    // typed name, as typed (the caller adds any extension).
    struct SavePanel {
        QString title;
        QString directory;  // where it starts; empty: the last folder used, or home
        QString proposedName;
        QStringList fileTypes = {QStringLiteral("docktheme")};  // what it lists besides folders
    };
    enum class SaveAnswer { Save, DontSave, Cancel };
    // What a theme's check found, as a sheet with a table of severity, image and what.
    struct FindingsSheet {
        QString title;
        QString message;
        std::vector<ThemeFinding> findings;
        QString proceedButton;  // empty: the sheet only tells, with closeButton alone
        QString closeButton = QCoreApplication::translate("Dialogs", "Cancel");
    };
    struct FindingsAnswer {
        bool proceed = false;      // the proceed button was pressed
        std::optional<int> shown;  // the finding double-clicked, which closed the sheet
    };

    // A choice among the desktop's applications, as "Open With" offers it,
    // with a last item for a program of the user's own.
    struct ApplicationChoice {
        struct Application {
            QString name;
            QString icon;  // a theme icon's name or a file's path; may be empty
        };
        QString title;
        QString message;
        std::vector<Application> applications;
        QString otherItem;  // the last item: a program chosen otherwise
    };
    // The answer for ApplicationChoice::otherItem.
    static constexpr int kOtherApplication = -1;

    virtual ~Dialogs() = default;

    // The chosen path, or nothing when the panel was cancelled.
    virtual std::optional<QString> runOpenPanel(QWidget* window, const OpenPanel& panel) = 0;
    virtual std::optional<QString> runSavePanel(QWidget* window, const SavePanel& panel) = 0;
    // An alert sheet with one button.
    virtual void alert(QWidget* window, const QString& title, const QString& button,
                       const QString& message) = 0;
    // An alert sheet with a default and an alternate button: true when the
    // user pressed the default one. Without an implementation of its own the
    // answer is the alternate button, which never changes anything.
    virtual bool ask(QWidget* /*window*/, const QString& /*title*/,
                     const QString& /*defaultButton*/, const QString& /*alternateButton*/,
                     const QString& /*message*/) {
        return false;
    }
    // The findings sheet, modal on window; without an implementation of its
    // own it closes at once, which never changes anything.
    virtual FindingsAnswer showFindings(QWidget* /*window*/, const FindingsSheet& /*sheet*/) {
        return {};
    }
    // The application chosen, as its index, kOtherApplication, or nothing when
    // cancelled; without an implementation of its own it is cancelled.
    virtual std::optional<int> chooseApplication(QWidget* /*window*/,
                                                 const ApplicationChoice& /*choice*/) {
        return std::nullopt;
    }
    // "Save changes to the theme information?" with Save, Don't Save and Cancel.
    virtual SaveAnswer askSaveChanges(QWidget* window) = 0;
    // The system beep: a command that can't run.
    virtual void beep() = 0;
    // Hands address to the desktop's default handler (the web browser).
    virtual void openUrl(const QUrl& address) = 0;
};
