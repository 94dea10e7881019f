#include "app/BundleFileCommand.h"

#include <QFile>

#include "model/DockTheme.h"
#include "model/ThemeBundle.h"
#include "platform/BundleFolder.h"

BundleFileCommand::BundleFileCommand(const QString& text, DockTheme& theme, std::string name,
                                     std::unique_ptr<AsideFile> before,
                                     std::unique_ptr<AsideFile> after, std::function<void()> shown,
                                     Dialogs& dialogs, QWidget* window)
    : ThemeCommand(text, theme, dialogs, window),
      name_(std::move(name)),
      before_(std::move(before)),
      after_(std::move(after)),
      shown_(std::move(shown)) {}

bool BundleFileCommand::applies(bool done) const {
    const AsideFile* expected = done ? after_.get() : before_.get();
    const auto& bundle = *theme().bundleFolder();
    if (!expected) {
        return bundle.entryAt(name_) == BundleFolder::Entry::None;
    }
    QFile kept(expected->path());
    const std::optional<std::string> there = bundle.readFile(name_, ThemeBundle::kMaxImageBytes);
    return there && kept.open(QIODevice::ReadOnly) &&
           kept.readAll() == QByteArray::fromStdString(*there);
}

qint64 BundleFileCommand::keptBytes() const {
    return AsideFile::sizeOf(before_.get()) + AsideFile::sizeOf(after_.get());
}

void BundleFileCommand::release() {
    before_.reset();
    after_.reset();
    ThemeCommand::release();
}

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
