#include "app/ThemeCommand.h"

#include "app/Dialogs.h"
#include "model/DockTheme.h"
#include "platform/Log.h"

ThemeCommand::ThemeCommand(const QString& text, DockTheme& theme, Dialogs& dialogs, QWidget* window)
    : QUndoCommand(text), theme_(theme), dialogs_(dialogs), window_(window) {}

bool ThemeCommand::failed(const QString& title) {
    const QString why = QString::fromStdString(theme_.errorString());
    Log::write("Cannot " + text().toStdString() + ": " + theme_.errorString());
    setObsolete(true);
    dialogs_.beep();
    dialogs_.alert(window_, title, QStringLiteral("OK"),
                   QStringLiteral("“%1” did not reach the theme: %2.").arg(text(), why));
    return false;
}
