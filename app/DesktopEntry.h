#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// An application of the desktop, as its desktop entry (a ".desktop" file of
// the XDG application folders) describes it: its name and how to start it,
// and what a file manager's "Open With" list looks at. Plain data; reading
// and listing touch only the application folders. Any thread.
class DesktopEntry {
public:
    QString id;       // the desktop file id: its path below applications/, "/" as "-"
    QString name;     // "Name" of the [Desktop Entry] group, in the user's language when given
    QString exec;     // "Exec", with the string escapes (\s, \n, \t, \r, \\) undone
    QString icon;     // "Icon": a theme icon's name or a file's path
    QString type;     // "Type"
    QString tryExec;  // "TryExec"
    QStringList mimeTypes;
    bool hidden = false;     // "Hidden": the entry counts as deleted
    bool noDisplay = false;  // "NoDisplay"
    bool terminal = false;   // "Terminal": it needs a terminal to run in

    // The entry in the file at path; nothing when it can't be read or lacks
    // a [Desktop Entry] group with an Exec line.
    static std::optional<DesktopEntry> read(const QString& path);
    // The path of the entry with the desktop file id in the XDG application
    // folders ($XDG_DATA_HOME/applications first, then those of
    // $XDG_DATA_DIRS, by default /usr/local/share and /usr/share).
    static std::optional<QString> find(const QString& id);
    // The applications that open files of mimeType, as "Open With" lists
    // them: one entry per desktop file id (the first folder's, so the user's
    // own wins, even when it is hidden), Type=Application, not Hidden or
    // NoDisplay, not run in a terminal, its TryExec program found; sorted by
    // name.
    static std::vector<DesktopEntry> applicationsFor(const QString& mimeType);
    // The absolute path of the executable program (a path, or a name looked
    // up in $PATH); nothing when there is none.
    static std::optional<QString> programPath(const QString& program);
    // The arguments that open file: exec split by the quoting rules of
    // desktop entries (double quotes, and within them "\"",
    // "\`", "\$" and "\\"), with %f, %F, %u and %U replaced by file, "%%" by
    // "%" and other field codes dropped; the file is added at the end when
    // exec names none. Nothing when exec is empty or a quote is left open.
    static std::optional<QStringList> arguments(const QString& exec, const QString& file);
};
