#include "app/BundleFileCommand.h"

#include "model/DockTheme.h"

BundleFileCommand::BundleFileCommand(const QString& text, DockTheme& theme, std::string name,
                                     std::unique_ptr<AsideFile> before,
                                     std::unique_ptr<AsideFile> after, std::function<void()> shown,
                                     Dialogs& dialogs, QWidget* window)
    : ThemeCommand(text, theme, dialogs, window),
      name_(std::move(name)),
      before_(std::move(before)),
      after_(std::move(after)),
      shown_(std::move(shown)) {}

void BundleFileCommand::undo() {
    put(before_.get());
}

void BundleFileCommand::redo() {
    put(after_.get());
}

void BundleFileCommand::put(const AsideFile* file) {
    bool ok = file ? theme().putBundleFile(name_, file->path().toStdString())
                   : theme().removeBundleFile(name_);
    if (!ok) {
        failed(QStringLiteral("Picture Not Replaced"));
    }
    shown_();
}
