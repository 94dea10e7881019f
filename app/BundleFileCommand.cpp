#include "app/BundleFileCommand.h"

#include <QFile>

#include "model/DockTheme.h"
#include "model/ThemeBundle.h"
#include "platform/BundleFolder.h"

BundleFileCommand::BundleFileCommand(const QString& text, DockTheme& theme, std::string name,
                                     std::unique_ptr<AsideFile> before,
                                     std::unique_ptr<AsideFile> after, std::function<void()> shown,
                                     Dialogs& dialogs, QWidget* window)
    : ThemeCommand(text, theme, std::move(before), std::move(after), dialogs, window),
      name_(std::move(name)),
      shown_(std::move(shown)) {}

bool BundleFileCommand::applies(bool done) const {
    const AsideFile* expected = done ? after() : before();
    const auto& bundle = *theme().bundleFolder();
    if (!expected) {
        return bundle.entryAt(name_) == BundleFolder::Entry::None;
    }
    QFile kept(expected->path());
    const std::optional<std::string> there = bundle.readFile(name_, ThemeBundle::kMaxImageBytes);
    return there && kept.open(QIODevice::ReadOnly) &&
           kept.readAll() == QByteArray::fromStdString(*there);
}

void BundleFileCommand::undo() {
    put(before());
}

void BundleFileCommand::redo() {
    put(after());
}

void BundleFileCommand::put(const AsideFile* file) {
    bool ok = file ? theme().putBundleFile(name_, file->path().toStdString())
                   : theme().removeBundleFile(name_);
    if (!ok) {
        failed(tr("Picture Not Replaced"));
    }
    shown_();
}
