#include "app/SlotImageCommand.h"

#include "model/DockTheme.h"
#include "model/MiscKit.h"
#include "platform/Beep.h"
#include "platform/Log.h"

SlotImageCommand::SlotImageCommand(DockTheme& theme, Slot slot, std::unique_ptr<AsideFile> before,
                                   std::string oldName, std::unique_ptr<AsideFile> after,
                                   std::string newName, Shown shown)
    : theme_(theme),
      slot_(std::move(slot)),
      before_(std::move(before)),
      oldName_(std::move(oldName)),
      after_(std::move(after)),
      newName_(std::move(newName)),
      shown_(std::move(shown)) {
    std::string name = MiscKit::sharedFiles().getNaturalNameForKey(slot_.key).value_or(slot_.key);
    setText(QStringLiteral("Replace %1").arg(QString::fromStdString(name)));
}

void SlotImageCommand::undo() {
    put(*before_, oldName_);
}

void SlotImageCommand::redo() {
    if (done_) {
        done_ = false;  // the replacement was made before the command
        return;
    }
    put(*after_, newName_);
}

void SlotImageCommand::put(const AsideFile& image, const std::string& name) {
    std::optional<std::string> path =
        theme_.setFileName(image.path().toStdString(), slot_.key, slot_.category, name);
    if (!path) {
        Beep::beep();
        Log::write("Cannot copy " + image.path().toStdString());
        return;
    }
    theme_.reloadItemAtIndex(slot_.row, *path, slot_.key, slot_.category);
    shown_(slot_.row, slot_.category);
}
