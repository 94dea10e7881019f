#include "app/BundleFileCommand.h"

#include <QFile>

#include "platform/Beep.h"
#include "platform/Log.h"

BundleFileCommand::BundleFileCommand(const QString& text, QString target,
                                     std::unique_ptr<AsideFile> before,
                                     std::unique_ptr<AsideFile> after, std::function<void()> shown)
    : QUndoCommand(text),
      target_(std::move(target)),
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
    bool ok = file ? file->restoreTo(target_) : (!QFile::exists(target_) || QFile::remove(target_));
    if (!ok) {
        Beep::beep();
        Log::write("Cannot copy " + (file ? file->path() : target_).toStdString());
    }
    shown_();
}
