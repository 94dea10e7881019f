#include "app/ThemeCommand.h"

#include "app/Dialogs.h"
#include "model/DockTheme.h"
#include "platform/Log.h"

ThemeCommand::ThemeCommand(const QString& text, DockTheme& theme, std::unique_ptr<AsideFile> before,
                           std::unique_ptr<AsideFile> after, Dialogs& dialogs, QWidget* window)
    : QUndoCommand(text),
      theme_(theme),
      before_(std::move(before)),
      after_(std::move(after)),
      dialogs_(dialogs),
      window_(window) {}

qint64 ThemeCommand::keptBytes() const {
    return AsideFile::sizeOf(before_.get()) + AsideFile::sizeOf(after_.get());
}

void ThemeCommand::release() {
    before_.reset();
    after_.reset();
    setObsolete(true);
}

bool ThemeCommand::failed(const QString& title) {
    const QString why = QString::fromStdString(theme_.errorString());
    Log::write("Cannot " + text().toStdString() + ": " + theme_.errorString());
    setObsolete(true);
    dialogs_.beep();
    dialogs_.alert(window_, title, tr("OK"),
                   tr("“%1” did not reach the theme: %2.").arg(text(), why));
    return false;
}
