#pragma once

#include <QCoreApplication>
#include <QString>

#include <optional>
#include <string>
#include <vector>

class Dialogs;
class QWidget;

// The external image editor the user chose, known by what "EDITOR" stores:
// the desktop file id of a desktop entry ("org.gimp.GIMP.desktop", found in
// the XDG application folders), or the full path of a program. GUI thread only.
class ExternalEditor {
    Q_DECLARE_TR_FUNCTIONS(ExternalEditor)

public:
    // Asks for an editor: the desktop's applications that open PNG images
    // (DesktopEntry::applicationsFor), and Other… for a program chosen in a
    // file panel. What "EDITOR" is to store, or nothing when cancelled.
    static std::optional<QString> choose(Dialogs& dialogs, QWidget* window);
    // What "EDITOR" stores for the file chosen in the panel: a desktop
    // entry's file name, else the program's path.
    static QString storedValue(const QString& chosen);
    // What the labels call it: the entry's name, else the file name.
    static QString displayName(const QString& editor);
    // The argument vector that opens file in editor (its first element an
    // absolute path); nothing when the editor is gone, not executable, or
    // its desktop entry is broken.
    static std::optional<std::vector<std::string>> command(const QString& editor,
                                                           const QString& file);
    // Starts command(editor, file) without a shell and without waiting;
    // false (with a log line saying why) when it could not be started.
    static bool open(const QString& editor, const QString& file);
};
