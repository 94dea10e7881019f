#include "app/ExternalEditor.h"

#include <QFileInfo>
#include <QStandardPaths>

#include "app/DesktopEntry.h"
#include "app/Dialogs.h"
#include "platform/Log.h"
#include "platform/Process.h"

namespace {

const QLatin1String kDesktopSuffix(".desktop");
const QLatin1String kPrograms("/usr/bin");

}  // namespace

QString ExternalEditor::storedValue(const QString& chosen) {
    QFileInfo info(chosen);
    return chosen.endsWith(kDesktopSuffix) ? info.fileName() : info.absoluteFilePath();
}

std::optional<QString> ExternalEditor::choose(Dialogs& dialogs, QWidget* window) {
    const std::vector<DesktopEntry> editors =
        DesktopEntry::applicationsFor(QStringLiteral("image/png"));
    Dialogs::ApplicationChoice choice;
    choice.title = tr("Choose an external editor");
    choice.message = editors.empty() ? tr("No application of the desktop opens PNG images. "
                                          "Choose a program with Other….")
                                     : tr("Open the theme's images in:");
    for (const DesktopEntry& entry : editors) {
        choice.applications.push_back({entry.name.isEmpty() ? entry.id : entry.name, entry.icon});
    }
    choice.otherItem = tr("Other…");
    const std::optional<int> chosen = dialogs.chooseApplication(window, choice);
    if (chosen && *chosen >= 0 && std::size_t(*chosen) < editors.size()) {
        return editors[std::size_t(*chosen)].id;
    }
    if (chosen != Dialogs::kOtherApplication) {
        return std::nullopt;
    }
    Dialogs::OpenPanel panel;
    panel.title = tr("Choose an external editor");
    panel.prompt = tr("Choose");
    // Where the system's programs are.
    panel.directory = QFileInfo(kPrograms).isDir() ? QString(kPrograms) : QString();
    const std::optional<QString> program = dialogs.runOpenPanel(window, panel);
    return program ? std::optional<QString>(storedValue(*program)) : std::nullopt;
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
    std::optional<QString> program = DesktopEntry::programPath(arguments->first());
    if (!program) {
        return std::nullopt;
    }
    (*arguments)[0] = *program;
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
