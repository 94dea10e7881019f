#include "app/BundleFileCommand.h"

#include "model/DockTheme.h"
#include "platform/Beep.h"
#include "platform/Log.h"

BundleFileCommand::BundleFileCommand(const QString& text, DockTheme& theme, std::string name,
                                     std::unique_ptr<AsideFile> before,
                                     std::unique_ptr<AsideFile> after, std::function<void()> shown)
    : QUndoCommand(text),
      theme_(theme),
      name_(std::move(name)),
      before_(std::move(before)),
      after_(std::move(after)),
      shown_(std::move(shown)) {}

void BundleFileCommand::undo() {
    put(before_.get());
}

void BundleFileCommand::redo() {
    if (done_) {
        done_ = false;  // the file was replaced before the command
        return;
    }
    put(after_.get());
}

void BundleFileCommand::put(const AsideFile* file) {
    bool ok = file ? theme_.putBundleFile(name_, file->path().toStdString())
                   : theme_.removeBundleFile(name_);
    if (!ok) {
        Beep::beep();
        Log::write("Cannot change " + name_ + ": " + theme_.errorString());
    }
    shown_();
}
