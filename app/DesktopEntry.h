#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// An application of the desktop, as its desktop entry (a ".desktop" file of
// the XDG application folders) describes it: its name and how to start it.
// Plain data; any thread.
class DesktopEntry {
public:
    QString name;  // "Name" of the [Desktop Entry] group
    QString exec;  // "Exec", with the string escapes (\s, \n, \t, \r, \\) undone

    // The entry in the file at path; nothing when it can't be read or lacks
    // a [Desktop Entry] group with an Exec line.
    static std::optional<DesktopEntry> read(const QString& path);
    // The path of the entry fileName in the XDG application folders
    // ($XDG_DATA_HOME/applications first, then those of $XDG_DATA_DIRS).
    static std::optional<QString> find(const QString& fileName);
    // The arguments that open file: exec split by the quoting rules of
    // desktop entries (double quotes, and within them "\"",
    // "\`", "\$" and "\\"), with %f, %F, %u and %U replaced by file, "%%" by
    // "%" and other field codes dropped; the file is added at the end when
    // exec names none. Nothing when exec is empty or a quote is left open.
    static std::optional<QStringList> arguments(const QString& exec, const QString& file);
};
