#include "app/ExternalEditor.h"

#include <QFileInfo>
#include <QStandardPaths>

#include "app/DesktopEntry.h"
#include "platform/Log.h"
#include "platform/Process.h"

namespace {

const QLatin1String kDesktopSuffix(".desktop");

}  // namespace

QString ExternalEditor::storedValue(const QString& chosen) {
    QFileInfo info(chosen);
    return chosen.endsWith(kDesktopSuffix) ? info.fileName() : info.absoluteFilePath();
}

QString ExternalEditor::displayName(const QString& editor) {
    if (editor.endsWith(kDesktopSuffix)) {
        if (std::optional<QString> path = DesktopEntry::find(editor)) {
            std::optional<DesktopEntry> entry = DesktopEntry::read(*path);
            if (entry && !entry->name.isEmpty()) {
                return entry->name;
            }
        }
    }
    return QFileInfo(editor).fileName();
}

std::optional<std::vector<std::string>> ExternalEditor::command(const QString& editor,
                                                                const QString& file) {
    std::optional<QStringList> arguments;
    if (editor.endsWith(kDesktopSuffix)) {
        std::optional<QString> path = DesktopEntry::find(editor);
        std::optional<DesktopEntry> entry = path ? DesktopEntry::read(*path) : std::nullopt;
        if (entry) {
            arguments = DesktopEntry::arguments(entry->exec, file);
        }
    } else {
        arguments = QStringList{editor, file};
    }
    if (!arguments) {
        return std::nullopt;
    }
    QString program = arguments->first();
    if (!program.contains(QLatin1Char('/'))) {
        program = QStandardPaths::findExecutable(program);
    }
    QFileInfo info(program);
    if (program.isEmpty() || !info.isAbsolute() || !info.isFile() || !info.isExecutable()) {
        return std::nullopt;
    }
    (*arguments)[0] = program;
    std::vector<std::string> argv;
    for (const QString& argument : *arguments) {
        argv.push_back(argument.toStdString());
    }
    return argv;
}

bool ExternalEditor::open(const QString& editor, const QString& file) {
    std::optional<std::vector<std::string>> argv = command(editor, file);
    if (!argv || Process::startDetached(*argv) < 0) {
        Log::write("Cannot open " + Log::escaped(file.toStdString()) + " with " +
                   Log::escaped(editor.toStdString()));
        return false;
    }
    return true;
}
